// tessaro-kdx-screenshots: renders the running window to PNG files, for the documentation.
// Run it like the program (scripts/screenshots prepares a scratch folder with the example
// topology remembered); it writes into the folder named as its argument:
//   config-page.png             the configuration page, a hub selected (configuration drawing)
//   execution-page.png          the execution page before a run (execution drawing)
//   execution-page-running.png  the same while a hub is being programmed
//   execution-page-after-run.png the execution page after programming once
//   about-box.png               the About box
// Message boxes and file dialogs are answered by the test hook, so nothing waits for a user.
#include "app/sheet.h"
#include "app/topology_tree_model.h"
#include "hub/device_data.h"
#include "hub/hub_abi.h"
#include "ui/about_dlg.h"
#include "ui/main_window.h"
#include "ui/operator_dialogs.h"
#include "ui/programmer_page.h"
#include "ui/velmora_tree.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QThread>

#include <cstdio>
#include <functional>

namespace {

void Pump(int milliseconds) {
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    return true;
}

bool Save(QWidget& widget, const QDir& folder, const char* name) {
    widget.repaint();
    const QString path = folder.absoluteFilePath(QString::fromLatin1(name));
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "tessaro-kdx-screenshots: cannot write %s\n", qUtf8Printable(path));
        return false;
    }
    std::printf("%s\n", qUtf8Printable(path));
    return true;
}

// The hub item whose internal port name is `topology`, or null.
TreeItem* FindItem(CSheet& sheet, const QString& topology) {
    for (TreeItem* item : sheet.GetTreeCtrl().AllItems()) {
        if (item->Record() != nullptr && item->Record()->GetInternalPortName() == topology) {
            return item;
        }
    }
    return nullptr;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tessaro-kdx-screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    QDir folder(QString::fromLocal8Bit(argv[1]));
    folder.mkpath(QStringLiteral("."));
    OperatorDialogs::EnableTestHook();

    MainWindow window;
    window.OnInitDialog();
    window.show();
    Pump(200);
    CSheet& sheet = window.Sheet();
    if (!sheet.IsTopologySaved()) {
        std::fprintf(stderr, "tessaro-kdx-screenshots: the remembered topology did not load\n");
        return 1;
    }

    bool ok = true;
    if (TreeItem* hub = FindItem(sheet, QStringLiteral("1-1-2"))) {
        sheet.SelectTreeItem(hub);
    }
    Pump(100);
    ok = Save(window, folder, "config-page.png") && ok;

    if (!sheet.RequestActivePage(kProgrammerPage)) {
        std::fprintf(stderr, "tessaro-kdx-screenshots: the execution page was refused\n");
        return 1;
    }
    if (TreeItem* hub = FindItem(sheet, QStringLiteral("1-2-3"))) {
        sheet.SelectTreeItem(hub);
    }
    Pump(100);
    ok = Save(window, folder, "execution-page.png") && ok;

    auto* start = window.ProgrammerPage().ControlAs<QAbstractButton>(1025);
    start->click();
    // Catch a hub while it is being programmed (orange, "Do Not Remove").
    const bool busy = PumpUntil(
        [&] {
            for (TreeItem* item : sheet.GetTreeCtrl().AllItems()) {
                CDeviceData* record = item->Record();
                if (record == nullptr || record->GetDeviceType() != hubabi::kDeviceTypeHub) {
                    continue;
                }
                const int status = record->GetHubStatus();
                if (status == hubabi::kStatusProgramming || status == hubabi::kStatusVerifying ||
                    status == hubabi::kStatusProgrammingAndVerifying) {
                    return true;
                }
            }
            return false;
        },
        10000);
    if (busy) {
        ok = Save(window, folder, "execution-page-running.png") && ok;
    }
    const bool ended = PumpUntil([&] { return sheet.LastRun().ended; }, 60000);
    Pump(300);
    if (!ended) {
        std::fprintf(stderr, "tessaro-kdx-screenshots: the run did not end within 60 s\n");
        ok = false;
    }
    ok = Save(window, folder, "execution-page-after-run.png") && ok;

    AboutDlg& about = window.AboutBox();
    about.OnInitDialog();
    about.show();
    Pump(100);
    ok = Save(about, folder, "about-box.png") && ok;
    about.hide();
    return ok ? 0 : 1;
}
