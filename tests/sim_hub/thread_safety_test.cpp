// The library under load from several threads at once: the programmer manager plays a shift
// of board swaps while one thread walks device trees (and gives them back) and another asks
// per-device questions, as the tool's painting does. Meant to run under ThreadSanitizer.
#include "tests/sim_hub/sim_hub_fixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

namespace simhubtest {
namespace {

constexpr int kHubs = 12;
constexpr int kSwaps = 30;

std::string BoardName(int position) {
    return "board" + std::to_string(position);
}

class ThreadSafety : public SimHubTest {};

TEST_F(ThreadSafety, QueriesWhileBoardsAreSwappedAndProgrammed) {
    json devices = json::array();
    for (int p = 1; p <= kHubs; ++p) {
        devices.push_back(Hub(p, BoardName(p), static_cast<unsigned>(p), "7510"));
    }
    json bench = OneControllerBench(devices, 2);
    json timeline = json::array();
    for (int k = 0; k < kSwaps; ++k) {
        const int position = k % kHubs + 1;
        const int at = 20 + 15 * k;
        timeline.push_back(json{{"atMs", at}, {"remove", HubPath(BoardName(position), "7510")}});
        timeline.push_back(
            json{{"atMs", at},
                 {"arrive", Hub(position, BoardName(position), static_cast<unsigned>(100 + k),
                                "7510", {{"controller", 0}})}});
    }
    bench["timeline"] = timeline;
    LoadBench(bench);

    for (int p = 1; p <= kHubs; ++p) {
        PrepareBlock(0, p, hubabi::kStorageOtp, true, true, SerialBlock("SN-" + std::to_string(p)));
    }
    std::atomic<bool> stop{false};
    std::atomic<long> walks{0};
    std::atomic<long> questions{0};
    std::thread walker([&] {
        while (!stop) {
            hubabi::IDeviceTree* tree = Api().createTree();
            const int32_t count = tree->GetDeviceCount(0);
            for (int32_t p = 0; p < count; ++p) {
                hubabi::IDeviceNode* node = tree->GetDevice(0, p);
                if (node == nullptr) {
                    continue;
                }
                EXPECT_LT(node->GetParentIndex(), std::max(p, 1));
                EXPECT_FALSE(std::u16string(node->GetDevicePath()).empty());
                node->Release(1);
            }
            EXPECT_EQ(tree->GetDeviceCount(0), count) << "a snapshot changed under the walk";
            if (++walks % 8 == 0) {
                Api().finishedWithTrees();
            }
        }
    });
    std::thread asker([&] {
        int32_t c = 0;
        int32_t d = 0;
        uint8_t uuid[16];
        while (!stop) {
            for (int p = 1; p <= kHubs; ++p) {
                const int32_t status = Api().getHubStatus(0, p);
                EXPECT_GE(status, 0);
                EXPECT_LT(status, hubabi::kHubStatusCount);
                Api().canBeRemoved(0, p);
                Api().isNewDevice(0, p);
                Api().getStorageMode(0, p);
                Api().getUuid(0, p, uuid, 16);
                const std::u16string path = U16(HubPath(BoardName(p), "7510"));
                if (Api().getDeviceIndices(path.c_str(), &c, &d) == 1) {
                    EXPECT_EQ(d, p);
                }
            }
            ++questions;
        }
    });

    // The tool's part: every board that arrives gets the next serial. The shift is over when
    // the last board has arrived and every board on the bench is programmed (a board may
    // leave before its turn under a slow sanitizer; it then simply is not programmed).
    ASSERT_EQ(Api().start(0), 0);
    int serial = 100;
    std::size_t handled = 0;
    const auto allProgrammed = [&] {
        for (int p = 1; p <= kHubs; ++p) {
            if (Api().getHubStatus(0, p) != hubabi::kStatusProgrammedAndVerified) {
                return false;
            }
        }
        return true;
    };
    while (handled < static_cast<std::size_t>(kSwaps) || !allProgrammed()) {
        ASSERT_TRUE(Recorder().WaitFor([&](const EventRecorder::Events& events) {
            return EventRecorder::CountCode(events, hubabi::kEventArrived) > handled ||
                   (handled == static_cast<std::size_t>(kSwaps) && allProgrammed());
        }));
        const auto events = Recorder().Snapshot();
        std::size_t seen = 0;
        for (const Event& event : events) {
            if (event.code != hubabi::kEventArrived || ++seen <= handled) {
                continue;
            }
            ++handled;
            int32_t c = -1;
            int32_t d = -1;
            if (Api().getDeviceIndices(event.path.c_str(), &c, &d) == 1 &&
                Api().isNewDevice(c, d) == 1) {
                PushSettings(c, d, hubabi::kStorageOtp, true, true);
                const auto block = SerialBlock("SN-" + std::to_string(++serial));
                Api().setConfigurationBlock(c, d, block.data(),
                                            static_cast<uint32_t>(block.size()));
            }
        }
    }
    stop = true;
    walker.join();
    asker.join();
    EXPECT_EQ(Api().stop(), 0);
    ASSERT_TRUE(Recorder().WaitForRunEnd(0));
    const auto events = Recorder().Snapshot();
    EXPECT_EQ(events.back().code, hubabi::kEventRunEnded);
    EXPECT_EQ(events.back().value, hubabi::kRunAllSucceeded);
    EXPECT_FALSE(events.back().runningAtEvent);
    EXPECT_GT(walks.load(), 0);
    EXPECT_GT(questions.load(), 0);

    // Every attempt is in the record, no serial twice.
    const auto lines = RecordLines();
    std::size_t finals = 0;
    for (const Event& event : events) {
        finals += event.code == 1 && event.value == hubabi::kStatusProgrammedAndVerified ? 1 : 0;
    }
    EXPECT_EQ(lines.size(), finals);
    EXPECT_GE(lines.size(), static_cast<std::size_t>(kHubs));
    std::set<std::string> serials;
    std::set<std::string> uuids;
    for (const auto& line : lines) {
        EXPECT_TRUE(serials.insert(line[6]).second) << line[6];
        EXPECT_TRUE(uuids.insert(line[4]).second) << line[4];
    }
}

} // namespace
} // namespace simhubtest
