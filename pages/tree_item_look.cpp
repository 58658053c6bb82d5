#include "pages/tree_item_look.h"

#include "app/topology_tree_model.h"
#include "hub/device_data.h"
#include "hub/hub_abi.h"
#include "pages/tree_colors.h"

int RecordFacts::DeviceType() {
    return record_.GetDeviceType();
}

int RecordFacts::TopologyState() {
    return record_.GetTopoLogy();
}

int RecordFacts::HubStatus() {
    return record_.GetHubStatus();
}

bool RecordFacts::SafeToRemove() {
    return record_.IsSafeToRemove();
}

TreeItemLook DecideTreeItemLook(ITreeItemFacts* facts, int executionMode) {
    using namespace treecolors;
    TreeItemLook look;
    look.color = HubStatusColors[kGreyIndex];
    if (facts == nullptr || facts->DeviceType() != hubabi::kDeviceTypeHub) {
        return look;
    }
    look.isHub = true;
    const int state = facts->TopologyState();
    if (executionMode == TopologyTreeModel::kConfigurationDrawing) {
        // A state outside the table (no state of the program sets one) stays grey.
        if (state >= 0 && state < static_cast<int>(TopologyStateColors.size())) {
            look.color = TopologyStateColors[static_cast<std::size_t>(state)];
        }
        return look;
    }
    look.color = HubStatusColors[0];
    // Compared as unsigned: negative codes count as large and keep colour 0.
    const auto status = static_cast<unsigned>(facts->HubStatus());
    if (status < static_cast<unsigned>(hubabi::kHubStatusCount)) {
        look.color = HubStatusColors[status];
    }
    if (state == kTopologyNoOperation || state == kTopologyNew) {
        look.color = TopologyStateColors[kTopologyNoOperation]; // black overrides the status
    }
    look.marker =
        QString::fromLatin1(facts->SafeToRemove() ? kMarkerRemovable : kMarkerNotRemovable);
    return look;
}
