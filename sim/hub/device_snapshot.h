// An immutable picture of the USB tree, handed to the tool by CreateDeviceTreeUI. Snapshots
// never change once built; the library frees old ones only in FinishedUsingDeviceTreeUI
// (snapshot_cache.h). Nodes share the node texts, so a node the tool still holds keeps its
// texts even after its snapshot is gone.
#pragma once

#include "hub/hub_abi.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace simhub {

// What a node reports about one position.
struct NodeInfo {
    int32_t type = hubabi::kDeviceTypeDevice;
    int32_t parent = 0;
    std::optional<std::u16string> instanceId;
    std::u16string description;
    std::u16string path;
};

// A node handed out by GetDevice: a fresh object each time, destroyed by its Release.
class SimDeviceNode final : public hubabi::IDeviceNode {
public:
    explicit SimDeviceNode(std::shared_ptr<const NodeInfo> info) : info_(std::move(info)) {}
    SimDeviceNode(const SimDeviceNode&) = delete;
    SimDeviceNode& operator=(const SimDeviceNode&) = delete;

    int32_t GetType() override;
    int32_t GetParentIndex() override;
    const char16_t* GetInstanceId() override;
    const char16_t* GetDescription() override;
    const char16_t* GetDevicePath() override;
    void Release(int32_t flags) override;

private:
    ~SimDeviceNode() = default;

    std::shared_ptr<const NodeInfo> info_;
};

class DeviceSnapshot final : public hubabi::IDeviceTree {
public:
    // One list per controller, indexed by position: [0] is the controller's own node, a null
    // entry is a position the tree reports as empty.
    using Positions = std::vector<std::shared_ptr<const NodeInfo>>;

    DeviceSnapshot(std::vector<Positions> controllers, uint64_t generation)
        : controllers_(std::move(controllers)), generation_(generation) {}
    DeviceSnapshot(const DeviceSnapshot&) = delete;
    DeviceSnapshot& operator=(const DeviceSnapshot&) = delete;
    ~DeviceSnapshot() = default;

    int32_t GetDeviceCount(int32_t controller) override;
    int32_t GetControllerCount() override;
    hubabi::IDeviceNode* GetDevice(int32_t controller, int32_t device) override;

    // The bench generation this snapshot shows.
    uint64_t Generation() const { return generation_; }

private:
    const std::vector<Positions> controllers_;
    const uint64_t generation_;
};

} // namespace simhub
