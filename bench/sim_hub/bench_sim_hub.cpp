// Benchmark of the simulated hub library with 1,000 hubs: a tree walk as the enumeration does
// it, and the per-item calls a repaint makes (device type, hub status, may it be removed) plus
// the lookup by device path. Prints one line per figure: NAME ours=<value>us target<=<limit>us.
#include "hub/hub_abi.h"
#include "tests/support/dl_library.h"

#include <nlohmann/json.hpp>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using nlohmann::json;
using Clock = std::chrono::steady_clock;

constexpr int kControllers = 4;
constexpr int kHubsPerController = 250;

struct Position {
    int32_t controller;
    int32_t device;
    std::u16string path;
};

std::string HubPath(int controller, int position) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "\\\\?\\USB#VID_5A17&PID_7510#7&%04x%04x&0&%d#{f18a0e88-c30c-11d0-8815-"
                  "00a0c906bed8}",
                  controller, position, position);
    return text;
}

// Four controllers of 250 hubs, ten on the root ports and the rest in tiers behind them.
std::string WriteBench(const std::filesystem::path& folder) {
    json controllers = json::array();
    for (int c = 0; c < kControllers; ++c) {
        json devices = json::array();
        for (int p = 1; p <= kHubsPerController; ++p) {
            char uuid[33];
            std::snprintf(uuid, sizeof uuid, "4B454C560000000000000000%04X%04X", c, p);
            char instanceId[64];
            std::snprintf(instanceId, sizeof instanceId, "USB\\VID_5A17&PID_7510\\7&%04x%04x&0&%d",
                          c, p, p);
            devices.push_back(json{{"position", p},
                                   {"parent", p <= 10 ? 0 : (p - 1) / 25},
                                   {"type", "hub"},
                                   {"instanceId", instanceId},
                                   {"description", "Kelvane Fennel USB Hub"},
                                   {"path", HubPath(c, p)},
                                   {"uuid", uuid}});
        }
        controllers.push_back(json{{"description", "Host controller " + std::to_string(c)},
                                   {"path", "\\\\?\\PCI#BENCH#" + std::to_string(c)},
                                   {"devices", devices}});
    }
    const auto file = folder / "bench-1000-hubs.json";
    std::ofstream(file) << json{{"controllers", controllers}}.dump();
    return file.string();
}

// Median of `rounds` timings of `body`, each divided by `per`, in microseconds.
template <typename Body> double MedianMicros(int rounds, double per, Body&& body) {
    std::vector<double> times;
    for (int r = 0; r < rounds; ++r) {
        const auto start = Clock::now();
        body();
        const std::chrono::duration<double, std::micro> took = Clock::now() - start;
        times.push_back(took.count() / per);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void Report(const char* name, double micros, double targetMicros) {
    std::printf("%s ours=%.3fus target<=%.0fus\n", name, micros, targetMicros);
}

std::string OwnFolder() {
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/exe", ec).parent_path().string();
}

} // namespace

int main() {
    const std::filesystem::path work =
        std::filesystem::temp_directory_path() / ("bench_sim_hub." + std::to_string(::getpid()));
    std::filesystem::create_directories(work);
    ::setenv("TESSARO_SIM_BENCH", WriteBench(work).c_str(), 1);
    ::setenv("TESSARO_SIM_STATE", (work / "state").c_str(), 0);
    ::setenv("TESSARO_LIB_DIR", OwnFolder().c_str(), 0);

    int status = 0;
    {
        testsupport::DlLibrary library(testsupport::LibraryPath(hubabi::kLibraryName));
        auto createTree = library.Get<CreateDeviceTreeUIFn>("CreateDeviceTreeUI");
        auto getHubStatus = library.Get<GetHubStatusFn>("GetHubStatus");
        auto canBeRemoved = library.Get<CanDeviceBeRemovedFn>("CanDeviceBeRemoved");
        auto getIndices = library.Get<GetDeviceIndicesUIFn>("GetDeviceIndicesUI");

        // The positions, as an enumeration finds them.
        std::vector<Position> positions;
        hubabi::IDeviceTree* tree = createTree();
        for (int32_t c = 0; c < tree->GetControllerCount(); ++c) {
            for (int32_t d = 1; d < tree->GetDeviceCount(c); ++d) {
                if (hubabi::IDeviceNode* node = tree->GetDevice(c, d)) {
                    positions.push_back(Position{c, d, node->GetDevicePath()});
                    node->Release(1);
                }
            }
        }
        if (positions.size() != kControllers * kHubsPerController) {
            std::fprintf(stderr, "bench_sim_hub: expected 1000 hubs, found %zu\n",
                         positions.size());
            return 1;
        }
        const double count = static_cast<double>(positions.size());
        volatile int64_t sink = 0;

        Report("sim_tree_walk_1000_hubs",
               MedianMicros(51, 1,
                            [&] {
                                hubabi::IDeviceTree* t = createTree();
                                for (int32_t c = 0; c < t->GetControllerCount(); ++c) {
                                    for (int32_t d = 0; d < t->GetDeviceCount(c); ++d) {
                                        hubabi::IDeviceNode* node = t->GetDevice(c, d);
                                        if (node == nullptr) {
                                            continue;
                                        }
                                        sink = sink + node->GetType() + node->GetParentIndex() +
                                               (node->GetInstanceId() != nullptr) +
                                               node->GetDescription()[0] + node->GetDevicePath()[0];
                                        node->Release(1);
                                    }
                                }
                            }),
               5000);
        Report("sim_device_type_query",
               MedianMicros(51, count,
                            [&] {
                                for (const Position& p : positions) {
                                    hubabi::IDeviceNode* node =
                                        createTree()->GetDevice(p.controller, p.device);
                                    sink = sink + node->GetType();
                                    node->Release(1);
                                }
                            }),
               5);
        Report("sim_get_hub_status",
               MedianMicros(51, count,
                            [&] {
                                for (const Position& p : positions) {
                                    sink = sink + getHubStatus(p.controller, p.device);
                                }
                            }),
               5);
        Report("sim_get_device_indices",
               MedianMicros(51, count,
                            [&] {
                                int32_t c = 0;
                                int32_t d = 0;
                                for (const Position& p : positions) {
                                    sink = sink + getIndices(p.path.c_str(), &c, &d) + d;
                                }
                            }),
               5);
        Report("sim_can_device_be_removed",
               MedianMicros(51, count,
                            [&] {
                                for (const Position& p : positions) {
                                    sink = sink + canBeRemoved(p.controller, p.device);
                                }
                            }),
               5);
        status = sink == 0 ? 1 : 0;
    }
    std::error_code ec;
    std::filesystem::remove_all(work, ec);
    return status;
}
