// Walking the simulated USB tree: the built-in bench, a bench file, snapshots and lookups.
#include "tests/sim_hub/sim_hub_fixture.h"
#include "tests/sim_hub/tree_walk.h"

#include <gtest/gtest.h>

#include <set>

namespace simhubtest {
namespace {

class DeviceTree : public SimHubTest {};

struct ExpectedPosition {
    const char* topology;
    int32_t controller;
    int32_t position;
    int32_t type;
    const char* usbIds; // "VID_xxxx&PID_xxxx" of the instance ID, "" for a controller
};

// The built-in bench as docs/simulator.md describes it.
const ExpectedPosition kDefaultBench[] = {
    {"1-1", 0, 0, 0, ""},
    {"1-1-1", 0, 1, 2, "VID_5A17&PID_7111"},
    {"1-1-2", 0, 2, 2, "VID_5A17&PID_7510"},
    {"1-1-1-1", 0, 3, 1, "VID_046D&PID_C31C"},
    {"1-1-1-2", 0, 4, 2, "VID_5A17&PID_7205"},
    {"1-1-1-2-1", 0, 6, 1, "VID_0781&PID_5581"},
    {"1-1-3", 0, 7, 2, "VID_5A17&PID_7305"},
    {"1-1-4", 0, 8, 2, "VID_5A17&PID_7113"},
    {"1-1-5", 0, 9, 2, "VID_1234&PID_5678"},
    {"1-2", 1, 0, 0, ""},
    {"1-2-1", 1, 1, 2, "VID_5A17&PID_7401"},
    {"1-2-2", 1, 2, 2, "VID_5A17&PID_7402"},
    {"1-2-3", 1, 3, 2, "VID_5A17&PID_7511"},
    {"1-2-3-1", 1, 4, 2, "VID_5A17&PID_7512"},
    {"1-2-3-2", 1, 5, 2, "VID_5A17&PID_7520"},
    {"1-2-4", 1, 6, 2, "VID_5A17&PID_7510"},
    {"1-2-2-1", 1, 7, 1, "VID_046D&PID_0825"},
    {"1-3", 2, 0, 0, ""},
};

void ExpectDefaultBench(hubabi::IDeviceTree* tree) {
    ASSERT_NE(tree, nullptr);
    ASSERT_EQ(tree->GetControllerCount(), 3);
    EXPECT_EQ(tree->GetDeviceCount(0), 10);
    EXPECT_EQ(tree->GetDeviceCount(1), 8);
    EXPECT_EQ(tree->GetDeviceCount(2), 1);
    EXPECT_EQ(tree->GetDevice(0, 5), nullptr) << "the gap in controller 0";

    const auto walked = WalkTree(tree);
    ASSERT_EQ(walked.size(), std::size(kDefaultBench));
    std::set<std::string> foldedPaths;
    for (std::size_t i = 0; i < walked.size(); ++i) {
        const ExpectedPosition& expected = kDefaultBench[i];
        const WalkedPosition& got = walked[i];
        SCOPED_TRACE(expected.topology);
        EXPECT_EQ(got.topology, expected.topology);
        EXPECT_EQ(got.controller, expected.controller);
        EXPECT_EQ(got.position, expected.position);
        EXPECT_EQ(got.type, expected.type);
        EXPECT_LT(got.parent, std::max(got.position, 1));
        if (expected.type != 0) {
            EXPECT_EQ(got.instanceId.rfind(std::string("USB\\") + expected.usbIds + "\\", 0), 0U)
                << got.instanceId;
        }
        EXPECT_FALSE(got.description.empty());
        EXPECT_FALSE(got.path.empty());
        EXPECT_LE(got.path.size(), 201U);
        std::string folded = Ascii(got.path);
        for (char& c : folded) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        EXPECT_TRUE(foldedPaths.insert(folded).second) << "path used twice: " << folded;
    }
}

TEST_F(DeviceTree, BuiltInBenchHasEveryKindOfPosition) {
    LoadDefault();
    ExpectDefaultBench(Api().createTree());

    // Every device has a UUID, every hub starts with storage mode 4 and status 0, and every
    // hub counts as new while no run is active.
    for (const auto& position : WalkTree(Api().createTree())) {
        if (position.position == 0) {
            continue;
        }
        uint8_t uuid[16] = {};
        EXPECT_EQ(Api().getUuid(position.controller, position.position, uuid, 16), 16);
        const bool hub = position.type == hubabi::kDeviceTypeHub;
        EXPECT_EQ(Api().getStorageMode(position.controller, position.position), 4);
        EXPECT_EQ(Api().getHubStatus(position.controller, position.position), 0);
        EXPECT_EQ(Api().isNewDevice(position.controller, position.position), hub ? 1 : 0);
        EXPECT_EQ(Api().canBeRemoved(position.controller, position.position), 1);
    }
}

TEST_F(DeviceTree, ExampleDefaultBenchFileIsTheBuiltInBench) {
    LoadBenchFile(std::string(TESSARO_SOURCE_DIR) + "/examples/benches/default.json");
    ExpectDefaultBench(Api().createTree());
}

TEST_F(DeviceTree, ExampleShiftBenchIsValid) {
    LoadBenchFile(std::string(TESSARO_SOURCE_DIR) + "/examples/benches/shift.json");
    hubabi::IDeviceTree* tree = Api().createTree();
    ASSERT_EQ(tree->GetControllerCount(), 1) << "the example no longer loads";
    std::vector<std::string> sockets;
    for (const auto& position : WalkTree(tree)) {
        if (position.instanceId.find("VID_5A17") != std::string::npos) {
            sockets.push_back(position.topology);
        }
    }
    EXPECT_EQ(sockets, (std::vector<std::string>{"1-1-1-1", "1-1-2-1", "1-1-3-1"}));
}

TEST_F(DeviceTree, BenchFileGivesPositionsParentsAndTypes) {
    json devices = json::array();
    devices.push_back(Hub(2, "top", 1, "7510"));
    devices.push_back(Hub(3, "behind", 2, "7111", {{"parent", 2}}));
    devices.push_back(json{{"position", 7},
                           {"parent", 3},
                           {"type", 5},
                           {"path", "\\\\?\\USB#odd#thing"},
                           {"description", "Odd device"}});
    devices.push_back(json{{"position", 5}, {"parent", 2}, {"type", "device"}, {"path", "dev5"}});
    LoadBench(OneControllerBench(devices));

    hubabi::IDeviceTree* tree = Api().createTree();
    ASSERT_EQ(tree->GetControllerCount(), 1);
    EXPECT_EQ(tree->GetDeviceCount(0), 8) << "highest position + 1";
    for (int32_t gap : {1, 4, 6}) {
        EXPECT_EQ(tree->GetDevice(0, gap), nullptr) << gap;
    }
    for (auto [c, d] : {std::pair{0, -1}, std::pair{0, 8}, std::pair{1, 0}, std::pair{-1, 0}}) {
        EXPECT_EQ(tree->GetDevice(c, d), nullptr) << c << "," << d;
    }
    EXPECT_EQ(tree->GetDeviceCount(1), 0);
    EXPECT_EQ(tree->GetDeviceCount(-1), 0);

    const auto walked = WalkTree(tree);
    ASSERT_EQ(walked.size(), 5U);
    EXPECT_EQ(walked[0].type, hubabi::kDeviceTypeController);
    EXPECT_EQ(walked[0].description, "Controller");
    EXPECT_EQ(walked[0].instanceId, "(null)");
    EXPECT_EQ(walked[1].topology, "1-1-1");
    EXPECT_EQ(walked[1].type, hubabi::kDeviceTypeHub);
    EXPECT_EQ(walked[1].instanceId, "USB\\VID_5A17&PID_7510\\top");
    EXPECT_EQ(walked[2].topology, "1-1-1-1");
    EXPECT_EQ(walked[2].parent, 2);
    EXPECT_EQ(walked[3].topology, "1-1-1-2");
    EXPECT_EQ(walked[3].type, hubabi::kDeviceTypeDevice);
    EXPECT_EQ(walked[3].instanceId, "(null)");
    EXPECT_EQ(walked[3].description, "USB Composite Device") << "default description";
    EXPECT_EQ(walked[4].topology, "1-1-1-1-1");
    EXPECT_EQ(walked[4].type, 5);
    EXPECT_EQ(walked[4].description, "Odd device");

    // Hub calls on positions that are no hub.
    EXPECT_NE(Api().setStorageMode(0, 5, 0), 0);
    EXPECT_NE(Api().setStorageMode(0, 4, 0), 0);
    EXPECT_EQ(Api().getStorageMode(0, 5), 4);
    EXPECT_EQ(Api().isNewDevice(0, 5), 0);
    uint8_t uuid[16];
    EXPECT_LT(Api().getUuid(0, 5, uuid, 16), 0) << "a device without UUID";
}

TEST_F(DeviceTree, SnapshotsStayUntilFinishedAndStayFewHoweverOftenAsked) {
    json devices = json::array({Hub(1, "a", 1, "7510"), Hub(2, "b", 2, "7510")});
    json bench = OneControllerBench(devices);
    bench["timeline"] = json::array({json{{"atMs", 0}, {"remove", HubPath("b", "7510")}}});
    LoadBench(bench);

    hubabi::IDeviceTree* first = Api().createTree();
    for (int i = 0; i < 100000; ++i) {
        ASSERT_EQ(Api().createTree(), first) << "a new snapshot while nothing changed";
    }
    // Nodes are fresh objects; their texts outlive the snapshot.
    hubabi::IDeviceNode* node = first->GetDevice(0, 2);
    hubabi::IDeviceNode* again = first->GetDevice(0, 2);
    ASSERT_NE(node, nullptr);
    EXPECT_NE(node, again);
    again->Release(1);

    // The timeline starts with the first run: board b leaves.
    Api().start(1);
    ASSERT_TRUE(Recorder().WaitFor([](const EventRecorder::Events& events) {
        return EventRecorder::CountCode(events, hubabi::kEventRemoved) == 1 &&
               EventRecorder::CountCode(events, hubabi::kEventRunEnded) == 1;
    }));
    hubabi::IDeviceTree* second = Api().createTree();
    EXPECT_NE(second, first);
    EXPECT_EQ(second->GetDeviceCount(0), 2);
    EXPECT_EQ(second->GetDevice(0, 2), nullptr);
    // The old snapshot still shows the old bench until FinishedUsingDeviceTreeUI.
    EXPECT_EQ(first->GetDeviceCount(0), 3);
    hubabi::IDeviceNode* old = first->GetDevice(0, 2);
    ASSERT_NE(old, nullptr);
    old->Release(1);

    Api().finishedWithTrees();
    EXPECT_EQ(Api().createTree(), second) << "the newest snapshot is kept";
    EXPECT_EQ(Ascii(node->GetDevicePath()), HubPath("b", "7510"));
    node->Release(1);
}

TEST_F(DeviceTree, LookupsByPathAndUuid) {
    LoadDefault();
    const std::u16string path = PathOf(1, 5);
    std::u16string upper = path;
    std::u16string lower = path;
    for (char16_t& c : upper) {
        c = (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
    }
    for (char16_t& c : lower) {
        c = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
    }
    for (const auto& query : {path, upper, lower}) {
        int32_t controller = -1;
        int32_t device = -1;
        EXPECT_EQ(Api().getDeviceIndices(query.c_str(), &controller, &device), 1);
        EXPECT_EQ(controller, 1);
        EXPECT_EQ(device, 5);
    }
    int32_t controller = -1;
    int32_t device = -1;
    EXPECT_EQ(Api().getDeviceIndices(PathOf(2, 0).c_str(), &controller, &device), 1)
        << "a controller's own path";
    EXPECT_EQ(controller, 2);
    EXPECT_EQ(device, 0);
    EXPECT_EQ(Api().getDeviceIndices(u"\\\\?\\USB#nothing", &controller, &device), 0);
    EXPECT_EQ(Api().getDeviceIndices(nullptr, &controller, &device), 0);
    EXPECT_EQ(Api().getDeviceIndices(path.c_str(), nullptr, &device), 0);

    uint8_t uuid[17] = {};
    EXPECT_EQ(Api().getUuid(0, 1, uuid, 16), 16);
    const uint8_t expected[16] = {0x4B, 0x45, 0x4C, 0x56, 0x54, 0x45, 0x53, 0x53,
                                  0x01, 0x01, 0x00, 0x71, 0x11, 0x01, 0x01, 0x01};
    EXPECT_EQ(std::vector<uint8_t>(uuid, uuid + 16), std::vector<uint8_t>(expected, expected + 16));
    EXPECT_EQ(uuid[16], 0) << "nothing written past 16 bytes";
    EXPECT_LT(Api().getUuid(0, 1, uuid, 15), 0);
    EXPECT_LT(Api().getUuid(0, 1, nullptr, 16), 0);
    EXPECT_LT(Api().getUuid(0, 5, uuid, 16), 0) << "the gap";
    EXPECT_LT(Api().getUuid(0, 0, uuid, 16), 0) << "a controller has none";
    EXPECT_LT(Api().getUuid(7, 1, uuid, 16), 0);
}

TEST_F(DeviceTree, StorageModeAndSettingsOfAHub) {
    LoadDefault();
    for (int32_t mode = 0; mode <= 4; ++mode) {
        EXPECT_EQ(Api().setStorageMode(0, 2, mode), 0);
        EXPECT_EQ(Api().getStorageMode(0, 2), mode);
    }
    EXPECT_NE(Api().setStorageMode(0, 2, 5), 0);
    EXPECT_NE(Api().setStorageMode(0, 2, -1), 0);
    EXPECT_EQ(Api().getStorageMode(0, 2), 4) << "a refused mode changes nothing";
    EXPECT_NE(Api().setStorageMode(0, 3, 0), 0) << "not a hub";
    EXPECT_NE(Api().setStorageMode(0, 5, 0), 0) << "the gap";
    EXPECT_NE(Api().setStorageMode(9, 1, 0), 0) << "no such controller";
}

TEST_F(DeviceTree, OnlyTheExportsAreVisible) {
    testsupport::DlLibrary library(testsupport::LibraryPath(hubabi::kLibraryName));
    for (const char* name : hubabi::kExportNames) {
        EXPECT_NE(library.Find<void (*)()>(name), nullptr) << name;
    }
    EXPECT_EQ(library.Find<void (*)()>("_ZN6simhub10SimLibrary8InstanceEv"), nullptr);
    EXPECT_EQ(library.Find<void (*)()>("_ZN6simcfg27InspectConfigurationPayloadEPKhmb"), nullptr);
}

} // namespace
} // namespace simhubtest
