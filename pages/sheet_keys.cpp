#include "pages/sheet_keys.h"

#include <Qt>

bool SheetConsumesKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}
