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

int RunsFor(int nodes) {
    return nodes <= 10 ? 200 : nodes <= 1000 ? 40 : 9;
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
    CTCFData store;
    double load1000 = 0;
    double load10000 = 0;
    QString largest;
    for (const int nodes : {10, 1000, 10000}) {
        const QString file =
            QDir::current().absoluteFilePath(QStringLiteral("bench_%1.tcf").arg(nodes));
        FillHubs(store, nodes);
        bool saved = true;
        const double save = BestMs(RunsFor(nodes), WallMs, [&] {
            saved = store.SaveTopology(file, QStringLiteral("2.0")) && saved;
        });
        if (!saved) {
            std::fprintf(stderr, "bench_topology: cannot write %s\n", qUtf8Printable(file));
            return 1;
        }
        const double load = BestMs(RunsFor(nodes), ThreadCpuMs, [&] {
            store.ClearTopology();
            store.LoadTopology(file);
        });
        if (store.Count() != nodes) {
            std::fprintf(stderr, "bench_topology: loaded %d of %d nodes\n", store.Count(), nodes);
            return 1;
        }
        std::printf("topology_save_%d ours=%.3fms\n", nodes, save);
        std::printf("topology_load_%d ours=%.3fms\n", nodes, load);
        if (nodes == 1000) {
            load1000 = load;
        } else if (nodes == 10000) {
            load10000 = load;
            largest = file;
        }
    }
    std::printf("topology_load_growth ours=%.2f target<=12\n", load10000 / load1000);

    const double megabytes = static_cast<double>(QFileInfo(largest).size()) / (1024.0 * 1024.0);
    const QByteArray path = largest.toLocal8Bit();
    int ourSections = 0;
    const double ours = BestMs(15, ThreadCpuMs, [&] {
        ini::IniDocument document;
        document.Read(largest);
        ourSections = document.SectionCount();
    });
    const double peer =
        BestMs(15, ThreadCpuMs, [&] { ini_parse(path.constData(), IgnoreEntry, nullptr); });
    if (ourSections != 10001) {
        std::fprintf(stderr, "bench_topology: parsed %d sections\n", ourSections);
        return 1;
    }
    std::printf("ini_parse_10000 ours=%.1fMB/s peer=%.1fMB/s ratio=%.2f target<=1.5\n",
                megabytes / (ours / 1000.0), megabytes / (peer / 1000.0), ours / peer);
    return 0;
}
