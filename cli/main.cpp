// tessaro-kdx-cli: the headless runner over the engine.
#include "cli/runner.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    return runner::Run(QCoreApplication::arguments());
}
