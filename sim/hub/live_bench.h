// The bench as it is now: the controllers, the devices present behind them and, for every
// hub, what the tool has set (storage mode, validation method, programming flag, the
// prepared block or image) and where its programming stands. Not locked itself: the library
// guards it with its one mutex.
#pragma once

#include "sim/hub/bench_description.h"
#include "sim/hub/device_snapshot.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace simhub {

// A block or image the library accepted for a hub.
struct Payload {
    std::vector<uint8_t> bytes;
    std::string kind;   // "configuration block", "configuration file", "opaque block", "image"
    std::string serial; // UTF-8; the serial built into a configuration block, else empty
};

struct LiveDevice {
    int32_t controller = 0;
    DeviceSpec spec;
    std::shared_ptr<const NodeInfo> node;

    // Hub settings, as the tool set them (a hub arrives with the bench's storage mode,
    // programming not required and no verification).
    int32_t storageMode = hubabi::kStorageNone;
    int32_t validation = hubabi::kValidateNone;
    bool programmingRequired = false;
    int32_t status = hubabi::kStatusNewUnprogrammed;
    std::optional<Payload> prepared;
    bool busy = false;             // the programmer manager is handling it
    bool arrivedDuringRun = false; // arrived while a run was active and not handled since
};

struct Location {
    int32_t controller = 0;
    int32_t position = 0;
};

class LiveBench {
public:
    explicit LiveBench(const BenchDescription& bench);

    int32_t ControllerCount() const { return static_cast<int32_t>(controllers_.size()); }

    // The device at a position (1 and up); null for an empty or unknown position.
    LiveDevice* Find(int32_t controller, int32_t position) const;
    // The same, only when it is a hub.
    LiveDevice* FindHub(int32_t controller, int32_t position) const;
    // The position of a device or controller (position 0) by its path, ignoring case.
    std::optional<Location> Locate(std::u16string_view path) const;

    // Adds a device (the position must be free and the parent present, as the bench file
    // check guarantees).
    LiveDevice& Arrive(int32_t controller, const DeviceSpec& spec, bool duringRun);
    // True when the device at `where` or one behind it is being handled.
    bool SubtreeBusy(Location where) const;
    // Removes the device at `where` and everything behind it; their paths, children first.
    std::vector<std::u16string> Remove(Location where);

    // Every present hub in (controller, position) order.
    template <typename Fn> void ForEachHub(Fn&& fn) const {
        for (const auto& controller : controllers_) {
            for (const auto& device : controller.positions) {
                if (device && device->spec.IsHub()) {
                    fn(*device);
                }
            }
        }
    }

    // Changes with every arrival and removal.
    uint64_t Generation() const { return generation_; }
    std::unique_ptr<DeviceSnapshot> BuildSnapshot() const;

private:
    struct LiveController {
        std::shared_ptr<const NodeInfo> node;
        // Indexed by position; [0] stays empty (the controller is `node`).
        std::vector<std::unique_ptr<LiveDevice>> positions;
    };

    void RemoveSubtree(LiveController& controller, int32_t position,
                       std::vector<std::u16string>& paths);
    void TrimPositions(LiveController& controller);

    std::vector<LiveController> controllers_;
    std::unordered_map<std::u16string, Location> byPath_; // folded path
    uint64_t generation_ = 1;
};

} // namespace simhub
