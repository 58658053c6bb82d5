// Times the topology store's load and save at 10, 1,000 and 10,000 hub nodes, and the INI
// layer's parse of the 10,000-node file beside inih. Prints one line per figure.
#include "topology/ini_document.h"
#include "topology/tcf_data.h"

#include <QDir>
#include <QFileInfo>
#include <QString>

#include <ini.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <time.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double WallMs() {
    return std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch()).count();
}

// Best of `runs` calls, in milliseconds, by the given clock. Loads and parses are timed in
// this thread's CPU time, so that other work on a shared machine does not enter the figure;
// saves in wall time, since waiting for the disk is part of what a save costs.
double BestMs(int runs, double (*clock)(), const std::function<void()>& work) {
    double best = 0;
    for (int i = 0; i < runs; ++i) {
        const double start = clock();
        work();
        const double spent = clock() - start;
        best = i == 0 ? spent : std::min(best, spent);
    }
    return best;
}

// Keeps the best time of several measurements taken in turns.
struct Best {
    double ms = 0;
    bool any = false;
    void Add(double sample) {
        ms = any ? std::min(ms, sample) : sample;
        any = true;
    }
};

// Calls per measurement, best of them: enough that the smallest size is not lost in the
// clock's grain.
int RepeatsFor(int nodes) {
    return nodes <= 10 ? 8 : nodes <= 1000 ? 2 : 1;
}

// A topology of hub nodes with a counter scheme, so every node has all fourteen keys.
void FillHubs(CTCFData& store, int nodes) {
    store.ClearTopology();
    for (int i = 0; i < nodes; ++i) {
        const int index = store.SetTcfItem(
            QStringLiteral("1-%1-%2-%3").arg(i / 100 + 1).arg(i / 10 % 10 + 1).arg(i % 10 + 1),
            QStringLiteral("Bench hub %1").arg(i));
        store.SetAsHubItem(index, true);
        store.SetPartType(index, kPartAsterFamily);
        store.SetMemoryType(index, kMemorySpiPartialCfg);
        store.SetConfigFile(index, QStringLiteral("/home/bench/configurations/hub_%1.cfg").arg(i));
        store.SetVerifyOption(index, true);
        store.SetProgramRequiredOption(index, true);
        store.SetSerialType(index, kSerialSchemeDec);
        store.SetSerialParams(index, QStringLiteral("KX"), QStringLiteral("000100"),
                              QStringLiteral("999999"), 1, QStringLiteral("000150"), false);
        store.SetSaveStatus(index);
    }
}

int IgnoreEntry(void*, const char*, const char*, const char*) {
    return 1;
}

} // namespace

int main() {
    constexpr int kSizes[] = {10, 1000, 10000};
    constexpr int kRounds = 25;
    std::vector<QString> files;
    for (const int nodes : kSizes) {
        files.push_back(
            QDir::current().absoluteFilePath(QStringLiteral("bench_%1.tcf").arg(nodes)));
    }

    // Saves, then loads, each size in turn round after round, so that every size meets the
    // same conditions on a shared machine; the best round counts.
    std::vector<CTCFData> stores(std::size(kSizes));
    std::vector<Best> saves(std::size(kSizes));
    std::vector<Best> loads(std::size(kSizes));
    for (std::size_t i = 0; i < std::size(kSizes); ++i) {
        FillHubs(stores[i], kSizes[i]);
    }
    for (int round = 0; round < kRounds; ++round) {
        for (std::size_t i = 0; i < std::size(kSizes); ++i) {
            bool saved = true;
            saves[i].Add(BestMs(RepeatsFor(kSizes[i]), WallMs, [&] {
                saved = stores[i].SaveTopology(files[i], QStringLiteral("2.0")) && saved;
            }));
            if (!saved) {
                std::fprintf(stderr, "bench_topology: cannot write %s\n", qUtf8Printable(files[i]));
                return 1;
            }
        }
    }
    CTCFData store;
    for (int round = 0; round < kRounds; ++round) {
        for (std::size_t i = 0; i < std::size(kSizes); ++i) {
            loads[i].Add(BestMs(RepeatsFor(kSizes[i]), ThreadCpuMs, [&] {
                store.ClearTopology();
                store.LoadTopology(files[i]);
            }));
            if (store.Count() != kSizes[i]) {
                std::fprintf(stderr, "bench_topology: loaded %d of %d nodes\n", store.Count(),
                             kSizes[i]);
                return 1;
            }
        }
    }
    for (std::size_t i = 0; i < std::size(kSizes); ++i) {
        std::printf("topology_save_%d ours=%.3fms\n", kSizes[i], saves[i].ms);
        std::printf("topology_load_%d ours=%.3fms\n", kSizes[i], loads[i].ms);
    }
    std::printf("topology_load_growth ours=%.2f target<=12\n", loads[2].ms / loads[1].ms);

    const QString& largest = files[2];
    const double megabytes = static_cast<double>(QFileInfo(largest).size()) / (1024.0 * 1024.0);
    const QByteArray path = largest.toLocal8Bit();
    int ourSections = 0;
    Best ours;
    Best peer;
    for (int round = 0; round < kRounds; ++round) {
        ours.Add(BestMs(1, ThreadCpuMs, [&] {
            ini::IniDocument document;
            document.Read(largest);
            ourSections = document.SectionCount();
        }));
        peer.Add(
            BestMs(1, ThreadCpuMs, [&] { ini_parse(path.constData(), IgnoreEntry, nullptr); }));
    }
    if (ourSections != 10001) {
        std::fprintf(stderr, "bench_topology: parsed %d sections\n", ourSections);
        return 1;
    }
    std::printf("ini_parse_10000 ours=%.1fMB/s peer=%.1fMB/s ratio=%.2f target<=1.5\n",
                megabytes / (ours.ms / 1000.0), megabytes / (peer.ms / 1000.0), ours.ms / peer.ms);
    return 0;
}
