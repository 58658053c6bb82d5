// bench_gui: the window on a simulated bench of 1,000 hubs, offscreen. One line per figure:
//   gui_startup_first_tree_paint   process start to the first painted tree
//   gui_execution_repaint_visible  one execution-drawing repaint of the tree as shown
//   gui_execution_repaint_queries  the library queries that repaint makes
//   gui_execution_repaint_query_time  the time those queries take alone
//   gui_execution_repaint_all      one execution-drawing paint of every item (all 1,000 hubs)
//   gui_event_latency_p99          event-loop latency while 2,000 status events a second arrive
// Run it in a scratch folder (scripts/bench does): it writes its bench file there.
#include "app/device_event.h"
#include "app/sheet.h"
#include "app/topology_tree_model.h"
#include "hub/device_data.h"
#include "hub/hub_abi.h"
#include "ui/main_window.h"
#include "ui/operator_dialogs.h"
#include "ui/programmer_page.h"
#include "ui/velmora_tree.h"
#include "ui/velmora_tree_delegate.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kControllers = 4;
constexpr int kTopHubsPerController = 25;
constexpr int kChildHubsPerTopHub = 9; // 4 * 25 * (1 + 9) = 1,000 hubs
constexpr int kEventsPerSecond = 2000;
constexpr int kLoadSeconds = 3;
constexpr int kProbeIntervalMs = 5;
constexpr int kRepaints = 20;

std::string DevicePath(int controller, int position) {
    char path[160];
    std::snprintf(path, sizeof path,
                  "\\\\\\\\?\\\\USB#VID_5A17&PID_7510#9&%02x%04x&0&1#{f18a0e88-c30c-11d0-8815-"
                  "00a0c906bed8}",
                  controller, position);
    return path;
}

// The bench file: four controllers, each with 25 hubs that have 9 hubs behind them.
QByteArray BenchJson(std::vector<std::string>& paths) {
    std::string json = "{\"programmingMs\": 20, \"controllers\": [";
    for (int c = 0; c < kControllers; ++c) {
        json += c == 0 ? "" : ",";
        json += "{\"description\": \"Bench Controller " + std::to_string(c) +
                "\", \"path\": \"\\\\\\\\?\\\\PCI#BENCH" + std::to_string(c) + "\", \"devices\": [";
        int position = 0;
        for (int top = 0; top < kTopHubsPerController; ++top) {
            const int parent = ++position;
            auto hub = [&](int pos, int par) {
                char uuid[33];
                std::snprintf(uuid, sizeof uuid, "4B454C5654455353%04X%012X", c, pos);
                const std::string path = DevicePath(c, pos);
                paths.push_back(path);
                json += (pos == 1 ? "" : ",");
                json += "{\"position\": " + std::to_string(pos) +
                        ", \"parent\": " + std::to_string(par) +
                        ", \"type\": \"hub\", \"description\": \"Kelvane Fennel USB Hub\", "
                        "\"instanceId\": \"USB\\\\VID_5A17&PID_7510\\\\" +
                        std::to_string(c) + "&" + std::to_string(pos) + "\", \"path\": \"" + path +
                        "\", \"uuid\": \"" + uuid + "\", \"storageMode\": 4}";
            };
            hub(parent, 0);
            for (int child = 0; child < kChildHubsPerTopHub; ++child) {
                hub(++position, parent);
            }
        }
        json += "]}";
    }
    json += "]}";
    return QByteArray::fromStdString(json);
}

// The device path as the library's status block carries it (JSON escapes undone).
std::u16string BlockPath(const std::string& jsonPath) {
    std::u16string path;
    for (std::size_t i = 0; i < jsonPath.size(); ++i) {
        if (jsonPath[i] == '\\' && i + 1 < jsonPath.size()) {
            ++i;
        }
        path.push_back(static_cast<char16_t>(jsonPath[i]));
    }
    return path;
}

void PumpUntil(const std::function<bool()>& done) {
    while (!done()) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// A probe posted from another thread; its latency is the time until the UI thread handles it.
class ProbeEvent : public QEvent {
public:
    static QEvent::Type Type() {
        static const int type = QEvent::registerEventType();
        return static_cast<QEvent::Type>(type);
    }
    ProbeEvent() : QEvent(Type()), posted(Clock::now()) {}
    Clock::time_point posted;
};

class ProbeReceiver : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() != ProbeEvent::Type()) {
            return QObject::event(e);
        }
        latencies.push_back(Milliseconds(Clock::now() - static_cast<ProbeEvent*>(e)->posted));
        return true;
    }
    std::vector<double> latencies;
};

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

} // namespace

int main(int argc, char* argv[]) {
    std::vector<std::string> paths;
    const QByteArray json = BenchJson(paths);
    const QString benchFile = QDir::current().absoluteFilePath(QStringLiteral("bench-1000.json"));
    {
        QFile file(benchFile);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(json) != json.size()) {
            std::fprintf(stderr, "bench_gui: cannot write %s\n", qUtf8Printable(benchFile));
            return 1;
        }
    }
    qputenv("TESSARO_SIM_BENCH", benchFile.toLocal8Bit());

    // Start-up: application, window, remembered topology (none), library, enumeration.
    const Clock::time_point start = Clock::now();
    QApplication app(argc, argv);
    OperatorDialogs::EnableTestHook();
    MainWindow window;
    window.OnInitDialog();
    window.show();
    CVelmoraTree& tree = window.Tree();
    PumpUntil([&] { return tree.PaintCount() > 0; });
    const double startup = Milliseconds(Clock::now() - start);
    CSheet& sheet = window.Sheet();
    const int hubs = static_cast<int>(paths.size());
    if (sheet.DeviceTable().size() != static_cast<std::size_t>(kControllers)) {
        std::fprintf(stderr, "bench_gui: the bench did not enumerate\n");
        return 1;
    }
    std::printf("gui_startup_first_tree_paint_%d_hubs ours=%.1fms\n", hubs, startup);

    // Execution drawing of the tree as the window shows it.
    sheet.SetTopologySaved(true);
    sheet.RequestActivePage(kProgrammerPage);
    QApplication::processEvents();
    CVelmoraTreeDelegate& delegate = tree.Delegate();
    tree.viewport()->repaint();
    delegate.ResetQueryCount();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kRepaints; ++i) {
        tree.viewport()->repaint();
    }
    const double repaint = static_cast<double>(timer.nsecsElapsed()) / 1e6 / kRepaints;
    const std::uint64_t queries = delegate.QueryCount() / kRepaints;
    std::printf("gui_execution_repaint_visible ours=%.2fms\n", repaint);
    std::printf("gui_execution_repaint_queries ours=%llu\n",
                static_cast<unsigned long long>(queries));

    // The same queries alone, for the rows the repaint drew.
    std::vector<CDeviceData*> visible;
    for (QModelIndex index = tree.indexAt(QPoint(1, 1)); index.isValid();
         index = tree.indexBelow(index)) {
        if (!tree.visualRect(index).intersects(tree.viewport()->rect())) {
            break;
        }
        if (TreeItem* item = tree.ItemAt(index); item != nullptr && item->Record() != nullptr) {
            visible.push_back(item->Record());
        }
    }
    timer.restart();
    int sink = 0;
    for (int i = 0; i < kRepaints; ++i) {
        for (CDeviceData* record : visible) {
            if (record->GetDeviceType() == hubabi::kDeviceTypeHub) {
                sink += record->GetHubStatus() + (record->IsSafeToRemove() ? 1 : 0);
            }
        }
    }
    const double queryTime = static_cast<double>(timer.nsecsElapsed()) / 1e6 / kRepaints;
    std::printf("gui_execution_repaint_query_time ours=%.2fms\n", queryTime + sink * 0.0);

    // Every item painted once: a tree as tall as all its rows, rendered off the window.
    {
        CVelmoraTree all(sheet);
        all.expandAll();
        const int rows = static_cast<int>(sheet.GetTreeCtrl().AllItems().size());
        const int rowHeight = all.sizeHintForRow(0) > 0 ? all.sizeHintForRow(0) : 18;
        all.resize(tree.width(), rows * rowHeight + 8);
        QImage image(all.size(), QImage::Format_ARGB32_Premultiplied);
        all.render(&image); // lays out once
        all.Delegate().ResetQueryCount();
        timer.restart();
        all.render(&image);
        const double full = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        std::printf("gui_execution_repaint_all_%d_items ours=%.1fms\n", rows, full);
        std::printf("gui_execution_repaint_all_queries ours=%llu\n",
                    static_cast<unsigned long long>(all.Delegate().QueryCount()));
    }

    // Responsiveness while the library reports 2,000 status changes a second.
    ProbeReceiver probe;
    std::atomic<bool> stop{false};
    std::atomic<int> posted{0};
    std::vector<std::u16string> blockPaths;
    blockPaths.reserve(paths.size());
    for (const std::string& path : paths) {
        blockPaths.push_back(BlockPath(path));
    }
    std::thread library([&] {
        const auto period = std::chrono::microseconds(1000000 / kEventsPerSecond);
        Clock::time_point next = Clock::now();
        for (std::size_t i = 0; !stop.load(); ++i) {
            auto* block =
                static_cast<hubabi::StatusBlock*>(std::malloc(sizeof(hubabi::StatusBlock)));
            std::memset(block, 0, sizeof *block);
            const std::u16string& path = blockPaths[i % blockPaths.size()];
            std::copy_n(path.begin(), std::min(path.size(), hubabi::kStatusBlockPathUnits - 1),
                        block->devicePath);
            const bool report = i % 2 == 1;
            block->hubStatus =
                report ? hubabi::kStatusProgrammingAndVerifying : hubabi::kStatusProgramming;
            DeviceStatusNotifier(block,
                                 report ? hubabi::kEventStatusReport : hubabi::kEventStatusChanged);
            posted.fetch_add(1);
            next += period;
            std::this_thread::sleep_until(next);
        }
    });
    std::thread prober([&] {
        while (!stop.load()) {
            QCoreApplication::postEvent(&probe, new ProbeEvent());
            std::this_thread::sleep_for(std::chrono::milliseconds(kProbeIntervalMs));
        }
    });
    QEventLoop loop;
    QTimer::singleShot(kLoadSeconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    stop.store(true);
    library.join();
    prober.join();
    QApplication::processEvents();
    std::printf("gui_event_latency_p99_%d_events_per_s ours=%.2fms target=<16ms\n",
                kEventsPerSecond, Percentile(probe.latencies, 0.99));
    std::printf("gui_event_latency_max_%d_events_per_s ours=%.2fms\n", kEventsPerSecond,
                Percentile(probe.latencies, 1.0));
    std::printf("gui_status_events_posted ours=%d\n", posted.load());
    // Every event must have reached its hub: otherwise the load measured nothing.
    const QString status = window.ProgrammerPage().Model().Status().Text();
    if (!status.contains(QStringLiteral("Status of Fennel : Programming and Verifying"))) {
        std::fprintf(stderr, "bench_gui: the status events did not reach the hubs\n");
        return 1;
    }
    return 0;
}
