// tessaro-kdx: the Kelvane Tessaro KDX Hub Tool's window.
#include "ui/zephran_app.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The framework's profile name; the remembered topology has a store of its own.
    QApplication::setApplicationName(QStringLiteral("Kelvane Tessaro"));
    return CZephranApp::InitInstance(app);
}
