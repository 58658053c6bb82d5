// The tree's colour and marker decisions, per drawing mode, with the library queries they
// make.
#include "app/topology_tree_model.h"
#include "hub/device_data.h"
#include "pages/tree_colors.h"
#include "pages/tree_item_look.h"
#include "qt_print.h"

#include <gtest/gtest.h>

inline void PrintTo(const Rgb& c, std::ostream* out) {
    *out << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ")";
}

namespace {

constexpr int kConfiguration = TopologyTreeModel::kConfigurationDrawing;
constexpr int kExecution = TopologyTreeModel::kExecutionDrawing;
constexpr Rgb kGrey{127, 127, 127};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kStatusBlue{0, 77, 153};

class FakeFacts : public ITreeItemFacts {
public:
    FakeFacts(int type, int state, int status, bool removable)
        : type_(type), state_(state), status_(status), removable_(removable) {}
    int DeviceType() override { return ++queries, type_; }
    int TopologyState() override { return state_; }
    int HubStatus() override { return ++queries, status_; }
    bool SafeToRemove() override { return ++queries, removable_; }

    int queries = 0;

private:
    int type_;
    int state_;
    int status_;
    bool removable_;
};

FakeFacts Hub(int state, int status = 0, bool removable = true) {
    return FakeFacts(2, state, status, removable);
}

TEST(TreeLook, ConfigurationDrawingColoursHubsByTopologyState) {
    struct Case {
        int state;
        Rgb color;
    };
    for (const Case& c :
         {Case{1, {0, 73, 153}}, Case{2, kBlack}, Case{3, {200, 10, 10}}, Case{0, {255, 255, 255}},
          Case{4, kGrey}, Case{9, kGrey}, Case{-1, kGrey}}) {
        FakeFacts hub = Hub(c.state);
        const TreeItemLook look = DecideTreeItemLook(&hub, kConfiguration);
        EXPECT_EQ(look.color, c.color) << "state " << c.state;
        EXPECT_TRUE(look.marker.isEmpty());
        EXPECT_EQ(hub.queries, 1); // the device type only
    }
}

TEST(TreeLook, ExecutionDrawingColoursHubsByStatus) {
    const Rgb expected[14] = {{0, 77, 153},  {153, 153, 204}, {255, 140, 0}, {0, 224, 0},
                              {200, 0, 0},   {0, 224, 0},     {255, 10, 10}, {0, 224, 0},
                              {255, 10, 10}, {255, 140, 0},   {255, 140, 0}, {200, 0, 0},
                              {200, 0, 0},   {200, 0, 0}};
    for (int status = 0; status < 14; ++status) {
        FakeFacts hub = Hub(1, status);
        const TreeItemLook look = DecideTreeItemLook(&hub, kExecution);
        EXPECT_EQ(look.color, expected[status]) << "status " << status;
        EXPECT_EQ(hub.queries, 3); // type, status, removability
    }
    for (const int status : {14, -1, 1000}) {
        FakeFacts hub = Hub(1, status);
        EXPECT_EQ(DecideTreeItemLook(&hub, kExecution).color, kStatusBlue) << status;
    }
}

TEST(TreeLook, HubsOutOfTheTopologyAreBlackWhateverTheirStatus) {
    for (const int state : {2, 3}) {
        for (const int status : {0, 3, 6}) {
            FakeFacts hub = Hub(state, status);
            EXPECT_EQ(DecideTreeItemLook(&hub, kExecution).color, kBlack) << state << "/" << status;
        }
    }
}

TEST(TreeLook, MarkersFollowRemovabilityOnlyForHubsInExecutionDrawing) {
    FakeFacts removable = Hub(1, 3, true);
    FakeFacts fixed = Hub(1, 2, false);
    EXPECT_EQ(DecideTreeItemLook(&removable, kExecution).marker, QStringLiteral("   -   [R]"));
    EXPECT_EQ(DecideTreeItemLook(&fixed, kExecution).marker, QStringLiteral("   -   [X]"));
    EXPECT_TRUE(DecideTreeItemLook(&removable, kConfiguration).marker.isEmpty());
}

TEST(TreeLook, ItemsWithoutRecordOrNotHubsAreGreyWithoutMarker) {
    for (const int mode : {kConfiguration, kExecution}) {
        const TreeItemLook none = DecideTreeItemLook(nullptr, mode);
        EXPECT_EQ(none.color, kGrey);
        EXPECT_TRUE(none.marker.isEmpty());
        for (const int type : {0, 1, 6}) {
            FakeFacts device(type, 3, 3, true);
            const TreeItemLook look = DecideTreeItemLook(&device, mode);
            EXPECT_EQ(look.color, kGrey);
            EXPECT_TRUE(look.marker.isEmpty());
            EXPECT_EQ(device.queries, 1);
        }
    }
}

TEST(TreeLook, LegendsUseThePagesOwnColoursInPaintOrder) {
    ASSERT_EQ(treecolors::ConfigPageLegend.size(), 3u);
    EXPECT_EQ(treecolors::ConfigPageLegend[0].controlId, 1038);
    EXPECT_EQ(treecolors::ConfigPageLegend[1].color, (Rgb{255, 10, 10}));
    const int order[] = {1037, 1040, 1041, 1038, 1039, 1042};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(treecolors::ProgrammerPageLegend[i].controlId, order[i]);
    }
}

} // namespace
