#include "sim/hub/live_bench.h"

#include "sim/hub/utf16_text.h"

namespace simhub {

LiveBench::LiveBench(const BenchDescription& bench) {
    for (std::size_t c = 0; c < bench.controllers.size(); ++c) {
        const ControllerSpec& spec = bench.controllers[c];
        LiveController controller;
        controller.node = std::make_shared<const NodeInfo>(NodeInfo{
            hubabi::kDeviceTypeController, 0, spec.instanceId, spec.description, spec.path});
        controller.positions.resize(1);
        controllers_.push_back(std::move(controller));
        byPath_[FoldCase(spec.path)] = Location{static_cast<int32_t>(c), 0};
        for (const DeviceSpec& device : spec.devices) {
            Arrive(static_cast<int32_t>(c), device, false);
        }
    }
    generation_ = 1;
}

LiveDevice* LiveBench::Find(int32_t controller, int32_t position) const {
    if (controller < 0 || static_cast<std::size_t>(controller) >= controllers_.size() ||
        position < 1) {
        return nullptr;
    }
    const auto& positions = controllers_[static_cast<std::size_t>(controller)].positions;
    if (static_cast<std::size_t>(position) >= positions.size()) {
        return nullptr;
    }
    return positions[static_cast<std::size_t>(position)].get();
}

LiveDevice* LiveBench::FindHub(int32_t controller, int32_t position) const {
    LiveDevice* device = Find(controller, position);
    return device != nullptr && device->spec.IsHub() ? device : nullptr;
}

std::optional<Location> LiveBench::Locate(std::u16string_view path) const {
    const auto it = byPath_.find(FoldCase(path));
    if (it == byPath_.end()) {
        return std::nullopt;
    }
    return it->second;
}

LiveDevice& LiveBench::Arrive(int32_t controller, const DeviceSpec& spec, bool duringRun) {
    LiveController& live = controllers_[static_cast<std::size_t>(controller)];
    const auto position = static_cast<std::size_t>(spec.position);
    if (live.positions.size() <= position) {
        live.positions.resize(position + 1);
    }
    auto device = std::make_unique<LiveDevice>();
    device->controller = controller;
    device->spec = spec;
    device->node = std::make_shared<const NodeInfo>(
        NodeInfo{spec.type, spec.parent, spec.instanceId, spec.description, spec.path});
    device->storageMode = spec.storageMode;
    device->arrivedDuringRun = duringRun;
    byPath_[FoldCase(spec.path)] = Location{controller, spec.position};
    live.positions[position] = std::move(device);
    ++generation_;
    return *live.positions[position];
}

bool LiveBench::SubtreeBusy(Location where) const {
    const LiveDevice* device = Find(where.controller, where.position);
    if (device == nullptr) {
        return false;
    }
    if (device->busy) {
        return true;
    }
    const auto& positions = controllers_[static_cast<std::size_t>(where.controller)].positions;
    for (std::size_t p = static_cast<std::size_t>(where.position) + 1; p < positions.size(); ++p) {
        if (positions[p] && positions[p]->spec.parent == where.position &&
            SubtreeBusy(Location{where.controller, static_cast<int32_t>(p)})) {
            return true;
        }
    }
    return false;
}

std::vector<std::u16string> LiveBench::Remove(Location where) {
    std::vector<std::u16string> paths;
    if (Find(where.controller, where.position) == nullptr) {
        return paths;
    }
    LiveController& controller = controllers_[static_cast<std::size_t>(where.controller)];
    RemoveSubtree(controller, where.position, paths);
    TrimPositions(controller);
    ++generation_;
    return paths;
}

void LiveBench::RemoveSubtree(LiveController& controller, int32_t position,
                              std::vector<std::u16string>& paths) {
    auto& positions = controller.positions;
    for (std::size_t p = static_cast<std::size_t>(position) + 1; p < positions.size(); ++p) {
        if (positions[p] && positions[p]->spec.parent == position) {
            RemoveSubtree(controller, static_cast<int32_t>(p), paths);
        }
    }
    auto& slot = positions[static_cast<std::size_t>(position)];
    byPath_.erase(FoldCase(slot->spec.path));
    paths.push_back(slot->spec.path);
    slot.reset();
}

void LiveBench::TrimPositions(LiveController& controller) {
    auto& positions = controller.positions;
    while (positions.size() > 1 && !positions.back()) {
        positions.pop_back();
    }
}

std::unique_ptr<DeviceSnapshot> LiveBench::BuildSnapshot() const {
    std::vector<DeviceSnapshot::Positions> controllers;
    controllers.reserve(controllers_.size());
    for (const LiveController& live : controllers_) {
        DeviceSnapshot::Positions positions(live.positions.size());
        positions[0] = live.node;
        for (std::size_t p = 1; p < live.positions.size(); ++p) {
            if (live.positions[p]) {
                positions[p] = live.positions[p]->node;
            }
        }
        controllers.push_back(std::move(positions));
    }
    return std::make_unique<DeviceSnapshot>(std::move(controllers), generation_);
}

} // namespace simhub
