#include "sim/hub/device_snapshot.h"

namespace simhub {

int32_t SimDeviceNode::GetType() {
    return info_->type;
}

int32_t SimDeviceNode::GetParentIndex() {
    return info_->parent;
}

const char16_t* SimDeviceNode::GetInstanceId() {
    return info_->instanceId ? info_->instanceId->c_str() : nullptr;
}

const char16_t* SimDeviceNode::GetDescription() {
    return info_->description.c_str();
}

const char16_t* SimDeviceNode::GetDevicePath() {
    return info_->path.c_str();
}

// Any flag value releases the node: the tool always passes 1.
void SimDeviceNode::Release(int32_t /*flags*/) {
    delete this;
}

int32_t DeviceSnapshot::GetDeviceCount(int32_t controller) {
    if (controller < 0 || static_cast<std::size_t>(controller) >= controllers_.size()) {
        return 0;
    }
    return static_cast<int32_t>(controllers_[static_cast<std::size_t>(controller)].size());
}

int32_t DeviceSnapshot::GetControllerCount() {
    return static_cast<int32_t>(controllers_.size());
}

hubabi::IDeviceNode* DeviceSnapshot::GetDevice(int32_t controller, int32_t device) {
    if (controller < 0 || static_cast<std::size_t>(controller) >= controllers_.size()) {
        return nullptr;
    }
    const Positions& positions = controllers_[static_cast<std::size_t>(controller)];
    if (device < 0 || static_cast<std::size_t>(device) >= positions.size()) {
        return nullptr;
    }
    const auto& info = positions[static_cast<std::size_t>(device)];
    if (!info) {
        return nullptr;
    }
    return new SimDeviceNode(info);
}

} // namespace simhub
