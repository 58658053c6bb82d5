// The real main window on the simulated bench, for tests on the offscreen platform. Message
// boxes and file dialogs go to the dialog wrapper's test hook, so nothing modal ever runs.
#pragma once

#include "app/sheet.h"
#include "hub/device_data.h"
#include "tests/support/sim_bench.h"
#include "topology/tcf_data.h"
#include "ui/config_page.h"
#include "ui/main_window.h"
#include "ui/operator_dialogs.h"
#include "ui/programmer_page.h"
#include "ui/sheet_tabs.h"
#include "ui/status_box.h"
#include "ui/velmora_tree.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTest>

#include <memory>

namespace uitest {

// The QApplication of the test process (made before any widget).
inline QApplication& EnsureApplication() {
    if (QApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "tessaro-ui-test";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
    return *qApp;
}

// The default bench with `programmingMs` per hub, so a run can be looked at while it goes on.
inline QString UseBenchWithProgrammingTime(int programmingMs) {
    QFile file(QStringLiteral(TESSARO_SOURCE_DIR "/examples/benches/default.json"));
    if (!file.open(QIODevice::ReadOnly)) {
        return QString();
    }
    QByteArray json = file.readAll();
    const QByteArray slow = QByteArray("\"programmingMs\": ") + QByteArray::number(programmingMs);
    json.replace(QByteArray("\"programmingMs\": 20"), slow);
    return testsupport::UseBench(json);
}

class WindowBench {
public:
    WindowBench() {
        EnsureApplication();
        OperatorDialogs::EnableTestHook();
        OperatorDialogs::ResetTestHook();
        window = std::make_unique<MainWindow>();
        window->OnInitDialog();
        window->show();
        (void)QTest::qWaitForWindowExposed(window.get());
    }
    ~WindowBench() {
        CSheet& s = sheet();
        if (s.GetProgrammerStatus()) {
            s.StopProgramming();
            testsupport::PumpUntil([&s] { return s.LastRun().ended; }, 20000);
        }
    }
    WindowBench(const WindowBench&) = delete;
    WindowBench& operator=(const WindowBench&) = delete;

    CSheet& sheet() const { return window->Sheet(); }
    CVelmoraTree& tree() const { return window->Tree(); }
    CConfigPage& config() const { return window->ConfigPage(); }
    CProgrammerPage& programmer() const { return window->ProgrammerPage(); }

    TreeItem* Item(const QString& topology) const {
        for (TreeItem* item : sheet().GetTreeCtrl().AllItems()) {
            if (item->Record() != nullptr && item->Record()->GetInternalPortName() == topology) {
                return item;
            }
        }
        return nullptr;
    }
    QModelIndex Index(const QString& topology) const {
        return sheet().GetTreeCtrl().IndexOf(Item(topology));
    }
    // Loads a scratch copy of the example topology through Topology > Load.
    QString LoadExample() const {
        const QString path = testsupport::CopyExampleTopology();
        OperatorDialogs::SetNextFile(path);
        window->CommandAction(MainWindow::kTopologyLoad)->trigger();
        return path;
    }
    // Clicks the tab of `page` as the operator does.
    void ClickTab(int page) const {
        QTabBar* bar = window->Tabs().tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
    }

    // Draws the tree's text without antialiasing, so its colours can be read pixel by pixel.
    void PlainTreeText() const {
        QFont font = tree().font();
        font.setStyleStrategy(QFont::NoAntialias);
        tree().setFont(font);
    }
    // Whether the tree, painted now, shows a pixel of `color` in the row of `index`.
    bool RowShowsColor(const QModelIndex& index, const QColor& color) const {
        const QImage image = tree().viewport()->grab().toImage();
        const QRect rect = tree().visualRect(index).intersected(image.rect());
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) {
                if (image.pixel(x, y) == color.rgb()) {
                    return true;
                }
            }
        }
        return false;
    }

    std::unique_ptr<MainWindow> window;
};

} // namespace uitest
