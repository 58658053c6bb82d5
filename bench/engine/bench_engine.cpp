// bench_engine: the engine on a bench of 1,000 hubs.
//   enum_usb_*            time of one CSheet::EnumUSB over the whole tree
//   event_delay_*         library callback (DeviceStatusNotifier on a thread of its own) to
//                         status line, with event 1 arriving steadily at 2,000 per second
//   event_queue_*         events posted and not yet handled during that run
//   burst_*               10,000 events posted at once: posting, draining, throughput
//   repaint_*             library calls a repaint of the execution page makes when it asks
//                         every hub for its device type, hub status and removability
#include "app/device_event.h"
#include "app/sheet.h"
#include "counting_library.h"
#include "hub/device_data.h"
#include "large_bench.h"
#include "timing_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kHubs = 1000;
constexpr int kControllers = 10;
constexpr int kEnumRounds = 15;
constexpr int kSteadyRate = 2000; // events per second
constexpr int kSteadyEvents = 10000;
constexpr int kBurstEvents = 10000;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

void* StatusBlock(const QString& path, int32_t status) {
    auto* block = static_cast<hubabi::StatusBlock*>(std::malloc(sizeof(hubabi::StatusBlock)));
    std::memset(block, 0, sizeof *block);
    const auto units = std::min<std::size_t>(static_cast<std::size_t>(path.size()),
                                             hubabi::kStatusBlockPathUnits - 1);
    std::memcpy(block->devicePath, path.utf16(), units * sizeof(char16_t));
    block->hubStatus = status;
    return block;
}

// Runs the event loop as the window's would until `lines` status lines arrived (or 60 s).
bool HandleEventsUntil(const TimingWindow& window, std::size_t lines) {
    QEventLoop loop;
    QTimer poll;
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (window.Lines() >= lines || Clock::now() > deadline) {
            loop.quit();
        }
    });
    poll.start(5);
    if (window.Lines() < lines) {
        loop.exec();
    }
    return window.Lines() >= lines;
}

void Report(const char* name, double value, const char* unit, const char* target = nullptr) {
    if (target != nullptr) {
        std::printf("%s ours=%.3f%s target=%s\n", name, value, unit, target);
    } else {
        std::printf("%s ours=%.3f%s\n", name, value, unit);
    }
    std::fflush(stdout);
}

void BenchEnumeration(CSheet& sheet) {
    for (const int page : {kConfigPage, kProgrammerPage}) {
        sheet.RequestActivePage(page);
        std::vector<double> times;
        for (int round = 0; round < kEnumRounds; ++round) {
            const auto start = Clock::now();
            sheet.EnumUSB();
            times.push_back(Ms(Clock::now() - start));
        }
        const bool config = page == kConfigPage;
        Report(config ? "enum_usb_1000_hubs_config_page" : "enum_usb_1000_hubs_execution_page",
               Percentile(times, 0.5), "ms", "<100ms");
        Report(config ? "enum_usb_1000_hubs_config_page_max"
                      : "enum_usb_1000_hubs_execution_page_max",
               *std::max_element(times.begin(), times.end()), "ms");
    }
}

void BenchSteadyEvents(TimingWindow& window, const QStringList& paths) {
    window.Expect(kSteadyEvents);
    std::vector<Clock::time_point> sent(kSteadyEvents);
    std::vector<std::size_t> queue; // sampled every 10 events
    queue.reserve(kSteadyEvents / 10);
    std::thread library([&] {
        const auto period = std::chrono::nanoseconds(1000000000 / kSteadyRate);
        const auto start = Clock::now() + std::chrono::milliseconds(50);
        for (int i = 0; i < kSteadyEvents; ++i) {
            std::this_thread::sleep_until(start + i * period);
            sent[static_cast<std::size_t>(i)] = Clock::now();
            DeviceStatusNotifier(StatusBlock(paths.at(i % paths.size()), 10), 1);
            if (i % 10 == 9) {
                const std::size_t handled = window.Lines();
                queue.push_back(static_cast<std::size_t>(i + 1) -
                                std::min<std::size_t>(handled, i + 1));
            }
        }
    });
    const bool done = HandleEventsUntil(window, kSteadyEvents);
    library.join();
    if (!done) {
        std::printf("event_delay_steady_2000_per_s ours=incomplete (%zu of %d lines)\n",
                    window.Lines(), kSteadyEvents);
        return;
    }
    std::vector<double> delays;
    delays.reserve(kSteadyEvents);
    for (std::size_t i = 0; i < window.Arrivals().size(); ++i) {
        delays.push_back(Ms(window.Arrivals()[i] - sent[i]));
    }
    Report("event_delay_p50_at_2000_per_s", Percentile(delays, 0.5), "ms");
    Report("event_delay_p99_at_2000_per_s", Percentile(delays, 0.99), "ms", "<16ms");
    Report("event_delay_max_at_2000_per_s", *std::max_element(delays.begin(), delays.end()), "ms");
    const auto fifth = queue.size() / 5;
    double first = 0;
    double last = 0;
    for (std::size_t i = 0; i < fifth; ++i) {
        first += static_cast<double>(queue[i]);
        last += static_cast<double>(queue[queue.size() - 1 - i]);
    }
    Report("event_queue_length_max_at_2000_per_s",
           static_cast<double>(*std::max_element(queue.begin(), queue.end())), "events");
    Report("event_queue_length_first_fifth_mean",
           fifth > 0 ? first / static_cast<double>(fifth) : 0, "events");
    Report("event_queue_length_last_fifth_mean", fifth > 0 ? last / static_cast<double>(fifth) : 0,
           "events", "no growth");
}

void BenchBurst(TimingWindow& window, const QStringList& paths) {
    window.Expect(kBurstEvents);
    std::vector<void*> blocks;
    blocks.reserve(kBurstEvents);
    for (int i = 0; i < kBurstEvents; ++i) {
        blocks.push_back(StatusBlock(paths.at(i % paths.size()), 10));
    }
    Clock::time_point start;
    Clock::time_point posted;
    std::thread library([&] {
        start = Clock::now();
        for (void* block : blocks) {
            DeviceStatusNotifier(block, 1);
        }
        posted = Clock::now();
    });
    const bool done = HandleEventsUntil(window, kBurstEvents);
    library.join();
    if (!done) {
        std::printf("burst_10000_events_drain ours=incomplete (%zu of %d lines)\n", window.Lines(),
                    kBurstEvents);
        return;
    }
    const double drain = Ms(window.Arrivals().back() - start);
    Report("burst_10000_events_posting", Ms(posted - start), "ms");
    Report("burst_10000_events_drain", drain, "ms");
    Report("burst_10000_events_throughput", kBurstEvents / (drain / 1000.0), "events/s");
}

void BenchRepaintQueries(CSheet& sheet) {
    sheet.RequestActivePage(kProgrammerPage);
    countinglibrary::Install();
    countinglibrary::Reset();
    int hubs = 0;
    int items = 0;
    const auto start = Clock::now();
    for (const TreeItem* item : sheet.GetTreeCtrl().AllItems()) {
        CDeviceData* record = item->Record();
        if (record == nullptr) {
            continue;
        }
        ++items;
        if (record->GetDeviceType() == hubabi::kDeviceTypeHub) {
            ++hubs;
            record->GetHubStatus();
            record->IsSafeToRemove();
        }
    }
    const double elapsed = Ms(Clock::now() - start);
    const auto calls = static_cast<double>(countinglibrary::Calls());
    Report("repaint_library_calls_per_hub", hubs > 0 ? calls / hubs : 0, "calls");
    Report("repaint_library_calls_whole_tree", calls, "calls");
    Report("repaint_record_queries_whole_tree", static_cast<double>(items + 2 * hubs), "queries");
    Report("repaint_queries_time_whole_tree", elapsed, "ms");

    // For comparison: what the device records ask of the library during one enumeration.
    countinglibrary::Reset();
    sheet.EnumUSB();
    Report("enum_usb_1000_hubs_record_library_calls", static_cast<double>(countinglibrary::Calls()),
           "calls");
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const LargeBench bench = WriteLargeBench(QDir::currentPath(), kControllers, kHubs);
    if (bench.benchFile.isEmpty()) {
        std::fprintf(stderr, "bench_engine: cannot write the bench files\n");
        return 1;
    }
    qputenv("TESSARO_SIM_BENCH", bench.benchFile.toLocal8Bit());

    TimingWindow window;
    CSheet sheet(window);
    sheet.OnInitDialog();
    if (sheet.LoadTopologyFile(bench.topologyFile) != CSheet::LoadResult::Loaded ||
        !sheet.RequestActivePage(kProgrammerPage)) {
        std::fprintf(stderr, "bench_engine: the topology of the large bench did not load\n");
        return 1;
    }
    BenchEnumeration(sheet);
    BenchSteadyEvents(window, bench.hubPaths);
    BenchBurst(window, bench.hubPaths);
    BenchRepaintQueries(sheet);
    sheet.OnDestroy();
    return 0;
}
