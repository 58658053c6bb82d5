// tessaro-kdx: the Kelvane Tessaro KDX Hub Tool's window.
#include "ui/zephran_app.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvane Tessaro"));
    return CZephranApp::InitInstance(app);
}
