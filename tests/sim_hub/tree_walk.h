// Walks a device tree the way the tool's enumeration does, naming every position by its
// topology string ("1-<controller+1>", then the parent's string and the rank among the
// parent's children in position order).
#pragma once

#include "hub/hub_abi.h"
#include "tests/sim_hub/sim_hub_fixture.h"

#include <map>
#include <string>
#include <vector>

namespace simhubtest {

struct WalkedPosition {
    int32_t controller = 0;
    int32_t position = 0;
    std::string topology;
    int32_t type = 0;
    int32_t parent = 0;
    std::string instanceId; // "(null)" for a null instance ID
    std::string description;
    std::u16string path;
};

inline std::vector<WalkedPosition> WalkTree(hubabi::IDeviceTree* tree) {
    std::vector<WalkedPosition> walked;
    for (int32_t c = 0; c < tree->GetControllerCount(); ++c) {
        const int32_t count = tree->GetDeviceCount(c);
        std::map<int32_t, std::string> topology;
        std::map<int32_t, int> nextPort;
        topology[0] = "1-" + std::to_string(c + 1);
        for (int32_t p = 0; p < count; ++p) {
            hubabi::IDeviceNode* node = tree->GetDevice(c, p);
            if (node == nullptr) {
                continue;
            }
            WalkedPosition entry;
            entry.controller = c;
            entry.position = p;
            entry.type = node->GetType();
            entry.parent = node->GetParentIndex();
            const char16_t* instanceId = node->GetInstanceId();
            entry.instanceId = instanceId != nullptr ? Ascii(instanceId) : "(null)";
            entry.description = Ascii(node->GetDescription());
            entry.path = node->GetDevicePath();
            if (p > 0) {
                const int port = ++nextPort[entry.parent];
                topology[p] = topology[entry.parent] + "-" + std::to_string(port);
            }
            entry.topology = topology[p];
            node->Release(1);
            walked.push_back(std::move(entry));
        }
    }
    return walked;
}

} // namespace simhubtest
