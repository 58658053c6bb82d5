// Cost of the trace log: one written level-2 line (on disk when the call returns) against
// the floor of one plain write() of a line of the same length to a file beside it, and the
// cost of a level-3 line that the verbosity filters out.
#include "log/indent_write.h"
#include "log/logger.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRuns = 201;
constexpr int kLinesPerRun = 2000;
constexpr int kFilteredRuns = 51;
constexpr int kFilteredPerRun = 200000;

double MicrosecondsPer(Clock::duration elapsed, int count) {
    return std::chrono::duration<double, std::micro>(elapsed).count() / count;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One line as the log writes it for the message below, to size the floor's writes.
std::string SampleLine(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    std::string line;
    if (file != nullptr) {
        int c;
        while ((c = std::fgetc(file)) != EOF) {
            line += static_cast<char>(c);
            if (c == '\n') {
                break;
            }
        }
        std::fclose(file);
    }
    return line;
}

} // namespace

int main() {
    const char* logPath = "bench_log_ours.txt";
    const char* floorPath = "bench_log_floor.txt";
    ::unlink(logPath);
    ::unlink(floorPath);

    CIndentWrite writer(logPath);
    CLogger outer("CSheet::OnInitDialog", writer);
    CLogger scope("CSheet::EnumUSB", writer); // depth 2, as inside a typical operation

    scope.Log(2, "Cleared existing USB information %d", 10000);
    const std::string line = SampleLine(logPath);
    const int floorFd = ::open(floorPath, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (line.empty() || floorFd < 0) {
        std::fprintf(stderr, "bench_log: cannot write beside %s\n", logPath);
        return 1;
    }

    std::vector<double> ours;
    std::vector<double> floor;
    for (int run = 0; run < kRuns; ++run) {
        // Both files start each run empty, so neither grows towards the 10 MiB limit.
        if (::truncate(logPath, 0) != 0 || ::ftruncate(floorFd, 0) != 0) {
            return 1;
        }
        Clock::time_point start = Clock::now();
        for (int i = 0; i < kLinesPerRun; ++i) {
            scope.Log(2, "Cleared existing USB information %d", 10000 + i % 90000);
        }
        ours.push_back(MicrosecondsPer(Clock::now() - start, kLinesPerRun));

        start = Clock::now();
        for (int i = 0; i < kLinesPerRun; ++i) {
            if (::write(floorFd, line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
                return 1;
            }
        }
        floor.push_back(MicrosecondsPer(Clock::now() - start, kLinesPerRun));
    }
    ::close(floorFd);

    std::vector<double> filtered;
    for (int run = 0; run < kFilteredRuns; ++run) {
        const Clock::time_point start = Clock::now();
        for (int i = 0; i < kFilteredPerRun; ++i) {
            scope.Log(3, "%s--->{", scope.Name());
        }
        filtered.push_back(MicrosecondsPer(Clock::now() - start, kFilteredPerRun));
    }

    const double oursMedian = Median(ours);
    const double floorMedian = Median(floor);
    std::printf("log_line_level2 ours=%.2fus peer=%.2fus ratio=%.2f target=ours<=peer+1us\n",
                oursMedian, floorMedian, oursMedian / floorMedian);
    std::printf("log_line_level3_filtered ours=%.3fus\n", Median(filtered));
    ::unlink(logPath);
    ::unlink(floorPath);
    return 0;
}
