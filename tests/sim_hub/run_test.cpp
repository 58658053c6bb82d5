// Once runs: every outcome and fault, the event sequence per hub, the programming record,
// preparations that count for one run, and a stop in the middle.
#include "tests/sim_hub/sim_hub_fixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace simhubtest {
namespace {

using StatusEvents = std::vector<std::pair<int32_t, int32_t>>;

constexpr int32_t kOtp = hubabi::kStorageOtp;
constexpr int32_t kSpiCfg = hubabi::kStorageSpiPartialCfg;
constexpr int32_t kSpiCopy = hubabi::kStorageSpiCopyFromOtp;
constexpr int32_t kSpi = hubabi::kStorageSpi;

struct HubCase {
    const char* name;
    const char* fault;
    int32_t mode;
    bool program;
    bool verify;
    bool image; // prepared with an image (else a block with serial "SN-<name>")
    bool prepared;
    StatusEvents events; // the hub's status events during the run
    const char* action;  // its record line's action, "" when it gets none
};

const std::vector<HubCase>& MixedCases() {
    static const std::vector<HubCase> cases = {
        {"ok-otp-pv",
         "none",
         kOtp,
         true,
         true,
         false,
         true,
         {{0, 2}, {1, 10}, {1, 9}, {1, 7}},
         "program+verify"},
        {"ok-cfg-p", "none", kSpiCfg, true, false, false, true, {{0, 2}, {1, 3}}, "program"},
        {"ok-spi-v", "none", kSpi, false, true, true, true, {{1, 9}, {1, 5}}, "verify"},
        {"open", "open", kOtp, true, true, false, true, {{1, 1}}, "program+verify"},
        {"program-pv",
         "program",
         kSpiCfg,
         true,
         true,
         false,
         true,
         {{0, 2}, {1, 10}, {1, 8}},
         "program+verify"},
        {"program-p", "program", kSpiCfg, true, false, false, true, {{0, 2}, {1, 4}}, "program"},
        {"verify-pv",
         "verify",
         kSpiCopy,
         true,
         true,
         true,
         true,
         {{0, 2}, {1, 10}, {1, 9}, {1, 8}},
         "program+verify"},
        {"verify-v", "verify", kOtp, false, true, false, true, {{1, 9}, {1, 6}}, "verify"},
        {"spi", "spi", kSpi, true, false, true, true, {{0, 2}, {1, 12}}, "program"},
        {"space", "space", kSpiCfg, true, false, false, true, {{0, 2}, {1, 11}}, "program"},
        {"otp-full", "otp-full", kOtp, true, false, false, true, {{0, 2}, {1, 13}}, "program"},
        {"mode-4", "none", hubabi::kStorageNone, true, true, false, true, {}, ""},
        {"unprepared", "none", kOtp, true, true, false, false, {}, ""},
        {"nothing-asked", "none", kSpiCopy, false, false, true, true, {}, ""},
    };
    return cases;
}

// Hubs of the cases alternate between an Aster and a Fennel product ID.
const char* CasePid(std::size_t index) {
    return index % 2 == 0 ? "7111" : "7510";
}

class OnceRun : public SimHubTest {
protected:
    void LoadCases(const std::vector<HubCase>& cases, int programmingMs) {
        json devices = json::array();
        for (std::size_t i = 0; i < cases.size(); ++i) {
            devices.push_back(Hub(static_cast<int>(i + 1), cases[i].name,
                                  static_cast<unsigned>(i + 1), CasePid(i),
                                  {{"fault", cases[i].fault}}));
        }
        devices.push_back(json{{"position", static_cast<int>(cases.size() + 1)},
                               {"type", "device"},
                               {"path", "\\\\?\\USB#mouse"}});
        LoadBench(OneControllerBench(devices, programmingMs));
    }

    void PrepareCases(const std::vector<HubCase>& cases) {
        for (std::size_t i = 0; i < cases.size(); ++i) {
            const HubCase& hub = cases[i];
            const auto position = static_cast<int32_t>(i + 1);
            if (!hub.prepared) {
                PushSettings(0, position, hub.mode, hub.program, hub.verify);
            } else if (hub.image) {
                PrepareImage(0, position, hub.mode, hub.program, hub.verify,
                             std::vector<uint8_t>(64, 0xA5));
            } else {
                PrepareBlock(0, position, hub.mode, hub.program, hub.verify,
                             SerialBlock(std::string("SN-") + hub.name));
            }
        }
    }
};

TEST_F(OnceRun, EveryOutcomeAndFault) {
    const auto& cases = MixedCases();
    LoadCases(cases, 5);
    PrepareCases(cases);

    ASSERT_EQ(Api().start(1), 0);
    EXPECT_NE(Api().start(1), 0) << "already running";
    EXPECT_NE(Api().start(0), 0) << "already running";
    ASSERT_TRUE(Recorder().WaitForRunEnd(0));
    const auto events = Recorder().Snapshot();

    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        const auto position = static_cast<int32_t>(i + 1);
        const std::u16string path = U16(HubPath(cases[i].name, CasePid(i)));
        EXPECT_EQ(StatusEventsOf(events, path), cases[i].events);
        const int32_t final = cases[i].events.empty() ? 0 : cases[i].events.back().second;
        EXPECT_EQ(Api().getHubStatus(0, position), final);
        EXPECT_EQ(Api().canBeRemoved(0, position), 1);
    }
    std::vector<int32_t> states;
    std::size_t repaints = 0;
    for (const Event& event : events) {
        if (event.code == hubabi::kEventStatusChanged) {
            EXPECT_LE(event.value, 6) << "event 0 would show START";
        }
        if (event.code == hubabi::kEventManagerState) {
            states.push_back(event.value);
        }
        repaints += event.code == hubabi::kEventRepaint ? 1 : 0;
    }
    EXPECT_EQ(states, (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(repaints, 11U);
    EXPECT_EQ(EventRecorder::CountCode(events, hubabi::kEventRunEnded), 1U);
    EXPECT_EQ(events.back().code, hubabi::kEventRunEnded);
    EXPECT_EQ(events.back().value, hubabi::kRunSomeFailed);
    EXPECT_FALSE(events.back().runningAtEvent);
    EXPECT_EQ(Api().isRunning(), 0);
    EXPECT_NE(Api().stop(), 0) << "nothing to stop";
    EXPECT_NE(Api().start(7), 0) << "neither once nor automated";

    // One record line per attempt, with the serial only where one went onto the board.
    const auto lines = RecordLines();
    std::size_t line = 0;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const HubCase& hub = cases[i];
        if (*hub.action == '\0') {
            continue;
        }
        SCOPED_TRACE(hub.name);
        ASSERT_LT(line, lines.size());
        const auto& fields = lines[line++];
        ASSERT_EQ(fields.size(), 9U);
        EXPECT_EQ(fields[0].size(), 24U) << fields[0]; // 2026-03-14T09:26:53.589Z
        EXPECT_EQ(fields[0].back(), 'Z');
        EXPECT_EQ(fields[1], "0");
        EXPECT_EQ(fields[2], std::to_string(i + 1));
        EXPECT_EQ(fields[3], HubPath(hub.name, CasePid(i)));
        EXPECT_EQ(fields[4], UuidFor(static_cast<unsigned>(i + 1)));
        EXPECT_EQ(fields[5], std::to_string(hub.mode));
        const int32_t final = hub.events.back().second;
        const bool serialWritten = !hub.image && (final == 3 || final == 7 || final == 8) &&
                                   std::string(hub.fault) != "program";
        EXPECT_EQ(fields[6], serialWritten ? std::string("SN-") + hub.name : "");
        EXPECT_EQ(fields[7], std::to_string(final));
        EXPECT_EQ(fields[8], hub.action);
    }
    EXPECT_EQ(line, lines.size());
    // Backslashes are escaped in the file, so a field never runs into the next.
    EXPECT_NE(RawRecord().find("\t\\\\\\\\?\\\\USB#VID_5A17&PID_7111#ok-otp-pv#"),
              std::string::npos)
        << RawRecord();
}

TEST_F(OnceRun, PreparationsCountForOneRun) {
    const auto& cases = MixedCases();
    LoadCases(cases, 1);
    PrepareCases(cases);
    RunOnce();

    // Nothing prepared any more: the run says so and ends by itself.
    auto events = RunOnce();
    std::vector<std::pair<int32_t, int32_t>> codes;
    for (const Event& event : events) {
        codes.emplace_back(event.code, event.value);
    }
    EXPECT_EQ(codes, (std::vector<std::pair<int32_t, int32_t>>{{4, 1}, {4, 3}, {4, 2}, {7, 1}}));
    EXPECT_FALSE(events.back().runningAtEvent);

    // One good hub prepared again: all succeeded.
    PrepareBlock(0, 2, kSpiCfg, true, false, SerialBlock("SN-again"));
    events = RunOnce();
    EXPECT_EQ(events.back().value, hubabi::kRunAllSucceeded);
    EXPECT_EQ(RecordLines().back()[6], "SN-again");
}

TEST_F(OnceRun, StopEndsAfterTheCurrentHub) {
    std::vector<HubCase> cases;
    for (const char* name : {"s1", "s2", "s3", "s4"}) {
        cases.push_back(HubCase{name, "none", kOtp, true, false, false, true, {}, "program"});
    }
    LoadCases(cases, 150);
    PrepareCases(cases);

    // Inside the callback, while the first hub is being programmed.
    std::atomic<int> removableWhileBusy{-1};
    std::atomic<int> statusWhileBusy{-1};
    Recorder().SetHook([&](const Event& event) {
        if (event.code == 0 && event.path == U16(HubPath("s1", "7111"))) {
            removableWhileBusy = Api().canBeRemoved(0, 1);
            statusWhileBusy = Api().getHubStatus(0, 1);
        }
    });
    ASSERT_EQ(Api().start(1), 0);
    EXPECT_EQ(Api().isRunning(), 1);
    EXPECT_EQ(Api().isNewDevice(0, 3), 0) << "present before the run";
    ASSERT_TRUE(Recorder().WaitFor([](const EventRecorder::Events& events) {
        for (const Event& event : events) {
            if (event.code == 1 && event.value == 3) {
                return true;
            }
        }
        return false;
    }));
    EXPECT_EQ(Api().stop(), 0);
    ASSERT_TRUE(Recorder().WaitForRunEnd(0));
    const auto events = Recorder().Snapshot();
    EXPECT_EQ(removableWhileBusy.load(), 0);
    EXPECT_EQ(statusWhileBusy.load(), hubabi::kStatusProgramming);

    // Every attempt begun has ended (the one in progress when STOP came too), the rest not.
    std::size_t started = 0;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto mine = StatusEventsOf(events, U16(HubPath(cases[i].name, CasePid(i))));
        if (!mine.empty()) {
            ++started;
            EXPECT_EQ(mine, (StatusEvents{{0, 2}, {1, 3}})) << cases[i].name;
        }
    }
    EXPECT_GE(started, 1U);
    EXPECT_LE(started, 2U);
    EXPECT_EQ(events.back().code, hubabi::kEventRunEnded);
    EXPECT_EQ(events.back().value, hubabi::kRunAllSucceeded);
    EXPECT_FALSE(events.back().runningAtEvent);
    EXPECT_EQ(EventRecorder::CountCode(events, hubabi::kEventRunEnded), 1U);
    EXPECT_EQ(RecordLines().size(), started);

    // The hubs not reached are no longer prepared either.
    EXPECT_EQ(RunOnce().back().value, hubabi::kRunNothingToDo);
}

TEST_F(OnceRun, EventsWithoutCallbackAreFreedByTheLibrary) {
    LoadCases({HubCase{"quiet", "none", kOtp, true, true, false, true, {}, ""}}, 1);
    PrepareCases({HubCase{"quiet", "none", kOtp, true, true, false, true, {}, ""}});
    Api().registerCallback(nullptr);
    ASSERT_EQ(Api().start(1), 0);
    // No events to wait for: the record line tells when the hub is done.
    for (int i = 0; i < 3000 && Api().isRunning() != 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(Api().isRunning(), 0);
    EXPECT_EQ(Api().getHubStatus(0, 1), hubabi::kStatusProgrammedAndVerified);
    EXPECT_TRUE(Recorder().Snapshot().empty());
}

} // namespace
} // namespace simhubtest
