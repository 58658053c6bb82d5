#include "pages/status_box_text.h"

qsizetype StatusBoxText::Append(const QString& line) {
    qsizetype removed = 0;
    if (text_.size() > kLimit) {
        text_.remove(0, kCut);
        removed = kCut;
    }
    text_ += line;
    text_ += QLatin1String("\r\n");
    return removed;
}
