// Automated runs: boards leave and arrive on the timeline, the test prepares each new hub as
// the tool does, and the run ends only on STOP. Also: unloading the library mid-run.
#include "tests/sim_hub/sim_hub_fixture.h"

#include <gtest/gtest.h>

#include <set>

namespace simhubtest {
namespace {

using StatusEvents = std::vector<std::pair<int32_t, int32_t>>;
const StatusEvents kProgramVerified = {{0, 2}, {1, 10}, {1, 9}, {1, 7}};

class AutomatedRun : public SimHubTest {
protected:
    // The tool's answer to an arrival during an automated run: find the position, and when
    // it is a new hub push its settings and hand it a block with the next serial.
    void OnArrival(const std::u16string& path) {
        int32_t c = -1;
        int32_t d = -1;
        ASSERT_EQ(Api().getDeviceIndices(path.c_str(), &c, &d), 1) << Ascii(path);
        Api().finishedWithTrees();
        hubabi::IDeviceNode* node = Api().createTree()->GetDevice(c, d);
        ASSERT_NE(node, nullptr);
        const bool hub = node->GetType() == hubabi::kDeviceTypeHub;
        node->Release(1);
        EXPECT_EQ(Api().isNewDevice(c, d), hub ? 1 : 0) << Ascii(path);
        if (hub) {
            PrepareBlock(c, d, hubabi::kStorageOtp, true, true,
                         SerialBlock("SN-" + std::to_string(++serial_)));
        }
    }

    int serial_ = 1;
};

TEST_F(AutomatedRun, BoardSwapsAndArrivalsDuringAShift) {
    json devices =
        json::array({Hub(1, "x1", 1, "7111"),
                     json{{"position", 2}, {"type", "device"}, {"path", "\\\\?\\USB#keyboard"}}});
    json bench = OneControllerBench(devices, 10);
    bench["timeline"] = json::array({
        json{{"atMs", 300}, {"remove", HubPath("x1")}},
        // The same place, a new board.
        json{{"atMs", 300}, {"arrive", Hub(1, "x1", 2, "7111", {{"controller", 0}})}},
        json{{"atMs", 400},
             {"arrive", Hub(3, "z", 3, "7510", {{"controller", 0}, {"fault", "program"}})}},
        json{{"atMs", 500},
             {"arrive", json{{"controller", 0},
                             {"position", 4},
                             {"parent", 3},
                             {"type", "device"},
                             {"path", "\\\\?\\USB#behind-z"}}}},
    });
    LoadBench(bench);
    PrepareBlock(0, 1, hubabi::kStorageOtp, true, true, SerialBlock("SN-1"));
    ASSERT_EQ(Api().start(0), 0);

    const std::u16string x1 = U16(HubPath("x1"));
    const std::u16string z = U16(HubPath("z", "7510"));
    std::size_t handled = 0;
    const auto done = [&](const EventRecorder::Events& events) {
        return StatusEventsOf(events, x1).size() == 8 && StatusEventsOf(events, z).size() == 3 &&
               EventRecorder::CountCode(events, hubabi::kEventArrived) == 3;
    };
    for (;;) {
        ASSERT_TRUE(Recorder().WaitFor([&](const EventRecorder::Events& events) {
            return done(events) || EventRecorder::CountCode(events, 2) > handled;
        })) << "the shift did not go as planned";
        const auto events = Recorder().Snapshot();
        std::size_t seen = 0;
        for (const Event& event : events) {
            if (event.code == hubabi::kEventArrived && ++seen > handled) {
                OnArrival(event.path);
                ++handled;
            }
        }
        if (done(events) && handled == 3) {
            break;
        }
    }
    EXPECT_EQ(Api().isRunning(), 1) << "an automated run goes on until STOP";
    EXPECT_EQ(Api().isNewDevice(0, 1), 0) << "programmed since it arrived";
    EXPECT_EQ(Api().stop(), 0);
    ASSERT_TRUE(Recorder().WaitForRunEnd(0));

    const auto events = Recorder().Snapshot();
    StatusEvents twice = kProgramVerified;
    twice.insert(twice.end(), kProgramVerified.begin(), kProgramVerified.end());
    EXPECT_EQ(StatusEventsOf(events, x1), twice);
    EXPECT_EQ(StatusEventsOf(events, z), (StatusEvents{{0, 2}, {1, 10}, {1, 8}}));

    std::vector<std::pair<int32_t, std::string>> changes;
    std::vector<int32_t> states;
    for (const Event& event : events) {
        if (event.code == hubabi::kEventArrived || event.code == hubabi::kEventRemoved) {
            changes.emplace_back(event.code, Ascii(event.path));
        }
        if (event.code == hubabi::kEventManagerState) {
            states.push_back(event.value);
        }
    }
    EXPECT_EQ(changes, (std::vector<std::pair<int32_t, std::string>>{{3, HubPath("x1")},
                                                                     {2, HubPath("x1")},
                                                                     {2, HubPath("z", "7510")},
                                                                     {2, "\\\\?\\USB#behind-z"}}));
    EXPECT_EQ(states, (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(events.back().code, hubabi::kEventRunEnded);
    EXPECT_EQ(events.back().value, hubabi::kRunSomeFailed);
    EXPECT_FALSE(events.back().runningAtEvent);

    const auto lines = RecordLines();
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[0][4], UuidFor(1));
    EXPECT_EQ(lines[0][6], "SN-1");
    EXPECT_EQ(lines[1][4], UuidFor(2));
    EXPECT_EQ(lines[1][3], lines[0][3]) << "same place";
    EXPECT_EQ(lines[1][6], "SN-2");
    EXPECT_EQ(lines[2][4], UuidFor(3));
    EXPECT_EQ(lines[2][6], "");
    EXPECT_EQ(lines[2][7], "8");
    std::set<std::string> serials;
    for (const auto& line : lines) {
        EXPECT_TRUE(line[6].empty() || serials.insert(line[6]).second) << line[6];
    }

    // After the run every hub counts as new again.
    EXPECT_EQ(Api().isNewDevice(0, 1), 1);
    EXPECT_EQ(Api().createTree()->GetDeviceCount(0), 5);
}

TEST_F(AutomatedRun, WaitsForWorkAndTakesHubsPreparedOnTheWay) {
    LoadBench(OneControllerBench(json::array({Hub(1, "late", 1, "7510")}), 5));
    ASSERT_EQ(Api().start(0), 0);
    ASSERT_TRUE(Recorder().WaitFor([](const EventRecorder::Events& events) {
        return events.size() == 2 && events[1].code == hubabi::kEventManagerState &&
               events[1].value == hubabi::kManagerNothingToDo;
    }));
    EXPECT_EQ(Api().isRunning(), 1);
    PrepareBlock(0, 1, hubabi::kStorageSpiPartialCfg, true, false, SerialBlock("SN-late"));
    const std::u16string path = U16(HubPath("late", "7510"));
    ASSERT_TRUE(Recorder().WaitFor([&](const EventRecorder::Events& events) {
        return StatusEventsOf(events, path).size() == 2;
    }));
    EXPECT_EQ(Api().stop(), 0);
    ASSERT_TRUE(Recorder().WaitForRunEnd(0));
    const auto events = Recorder().Snapshot();
    EXPECT_EQ(StatusEventsOf(events, path), (StatusEvents{{0, 2}, {1, 3}}));
    EXPECT_EQ(events.back().value, hubabi::kRunAllSucceeded);
}

TEST_F(AutomatedRun, StopWithNothingDone) {
    LoadDefault();
    ASSERT_EQ(Api().start(0), 0);
    EXPECT_EQ(Api().stop(), 0);
    ASSERT_TRUE(Recorder().WaitForRunEnd(0));
    const auto events = Recorder().Snapshot();
    EXPECT_EQ(events.back().value, hubabi::kRunNothingToDo);
    EXPECT_FALSE(events.back().runningAtEvent);
    EXPECT_EQ(EventRecorder::CountCode(events, hubabi::kEventRunEnded), 1U);
}

TEST_F(AutomatedRun, UnloadStopsTheManagerWithoutCallingBack) {
    LoadBench(OneControllerBench(json::array({Hub(1, "slow", 1, "7111")}), 60000));
    PrepareBlock(0, 1, hubabi::kStorageOtp, true, false, SerialBlock("SN-slow"));
    ASSERT_EQ(Api().start(0), 0);
    ASSERT_TRUE(Recorder().WaitFor([](const EventRecorder::Events& events) {
        return !events.empty() && events.back().code == hubabi::kEventStatusChanged;
    }));
    Unload(); // would hang for a minute if the manager were not stopped
    const std::size_t count = Recorder().Snapshot().size();
    EXPECT_EQ(Recorder().Snapshot().back().code, hubabi::kEventStatusChanged);

    // A fresh library: the earlier one was really unloaded, nothing was written for the
    // abandoned attempt.
    LoadBench(OneControllerBench(json::array({Hub(1, "slow", 1, "7111")}), 60000));
    EXPECT_EQ(Api().isRunning(), 0);
    EXPECT_EQ(Api().getHubStatus(0, 1), 0);
    EXPECT_TRUE(RecordLines().empty());
    EXPECT_GT(count, 0U);
}

} // namespace
} // namespace simhubtest
