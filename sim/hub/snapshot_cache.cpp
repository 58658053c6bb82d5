#include "sim/hub/snapshot_cache.h"

namespace simhub {

DeviceSnapshot* SnapshotCache::Current(const LiveBench& bench) {
    if (snapshots_.empty() || snapshots_.back()->Generation() != bench.Generation()) {
        snapshots_.push_back(bench.BuildSnapshot());
    }
    return snapshots_.back().get();
}

void SnapshotCache::KeepNewestOnly() {
    if (snapshots_.size() > 1) {
        snapshots_.erase(snapshots_.begin(), snapshots_.end() - 1);
    }
}

} // namespace simhub
