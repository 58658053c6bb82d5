#include "counting_library.h"

#include "hub/hub_library.h"

#include <atomic>

namespace countinglibrary {

namespace {

std::atomic<uint64_t> calls{0};
HubEntryPoints original;

void Count() {
    calls.fetch_add(1, std::memory_order_relaxed);
}

class CountingNode final : public hubabi::IDeviceNode {
public:
    explicit CountingNode(hubabi::IDeviceNode* node) : node_(node) {}
    int32_t GetType() override { return Count(), node_->GetType(); }
    int32_t GetParentIndex() override { return Count(), node_->GetParentIndex(); }
    const char16_t* GetInstanceId() override { return Count(), node_->GetInstanceId(); }
    const char16_t* GetDescription() override { return Count(), node_->GetDescription(); }
    const char16_t* GetDevicePath() override { return Count(), node_->GetDevicePath(); }
    void Release(int32_t flags) override {
        Count();
        node_->Release(flags);
        delete this;
    }

private:
    ~CountingNode() = default;
    hubabi::IDeviceNode* node_;
};

class CountingTree final : public hubabi::IDeviceTree {
public:
    void Wrap(hubabi::IDeviceTree* tree) { tree_ = tree; }
    int32_t GetDeviceCount(int32_t controller) override {
        return Count(), tree_->GetDeviceCount(controller);
    }
    int32_t GetControllerCount() override { return Count(), tree_->GetControllerCount(); }
    hubabi::IDeviceNode* GetDevice(int32_t controller, int32_t device) override {
        Count();
        hubabi::IDeviceNode* node = tree_->GetDevice(controller, device);
        return node != nullptr ? new CountingNode(node) : nullptr;
    }

private:
    hubabi::IDeviceTree* tree_ = nullptr;
};

CountingTree countingTree;

hubabi::IDeviceTree* CreateDeviceTreeUI() {
    Count();
    hubabi::IDeviceTree* tree = original.CreateDeviceTreeUI();
    if (tree == nullptr) {
        return nullptr;
    }
    countingTree.Wrap(tree);
    return &countingTree;
}

int32_t GetHubStatus(int32_t controller, int32_t device) {
    Count();
    return original.GetHubStatus(controller, device);
}

int32_t CanDeviceBeRemoved(int32_t controller, int32_t device) {
    Count();
    return original.CanDeviceBeRemoved(controller, device);
}

} // namespace

void Install() {
    // The records read their entry points from this process-wide table on every call.
    auto& entries = const_cast<HubEntryPoints&>(hublibrary::Entries());
    original = entries;
    entries.CreateDeviceTreeUI = &CreateDeviceTreeUI;
    entries.GetHubStatus = &GetHubStatus;
    entries.CanDeviceBeRemoved = &CanDeviceBeRemoved;
}

uint64_t Calls() {
    return calls.load(std::memory_order_relaxed);
}

void Reset() {
    calls.store(0, std::memory_order_relaxed);
}

} // namespace countinglibrary
