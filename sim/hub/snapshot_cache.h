// The device tree snapshots handed out by CreateDeviceTreeUI. The same snapshot comes back
// while the bench is unchanged; a change makes a new one. Old snapshots live on until
// FinishedUsingDeviceTreeUI, which frees all but the newest, so a tree the tool is walking
// never changes or vanishes under it, and asking again and again costs no memory.
#pragma once

#include "sim/hub/device_snapshot.h"
#include "sim/hub/live_bench.h"

#include <memory>
#include <vector>

namespace simhub {

class SnapshotCache {
public:
    // The snapshot of the bench as it is now.
    DeviceSnapshot* Current(const LiveBench& bench);
    // Frees every snapshot but the newest.
    void KeepNewestOnly();
    std::size_t Count() const { return snapshots_.size(); }

private:
    std::vector<std::unique_ptr<DeviceSnapshot>> snapshots_; // oldest first
};

} // namespace simhub
