#include "sim/hub/programmer_manager.h"

#include "sim/hub/diagnostics.h"
#include "sim/hub/fault_rules.h"
#include "sim/hub/state_files.h"
#include "sim/hub/utf16_text.h"

#include <cstdio>

namespace simhub {

namespace {

bool Succeeded(int32_t status) {
    return status == hubabi::kStatusProgrammed || status == hubabi::kStatusVerified ||
           status == hubabi::kStatusProgrammedAndVerified;
}

} // namespace

ProgrammerManager::ProgrammerManager(std::mutex& mutex, LiveBench& bench, EventSink& events,
                                     HubMemoryStore memory, ProgrammingRecord record,
                                     std::vector<TimelineEntry> timeline)
    : mutex_(mutex), bench_(bench), events_(events), memory_(std::move(memory)),
      record_(std::move(record)), timeline_(std::move(timeline)) {}

ProgrammerManager::~ProgrammerManager() {
    Shutdown();
}

int32_t ProgrammerManager::Start(int32_t once) {
    if (once != 0 && once != 1) {
        return 2;
    }
    if (running_) {
        return 1;
    }
    running_ = true;
    once_ = once == 1;
    // From now on only hubs that arrive count as new.
    bench_.ForEachHub([](LiveDevice& hub) { hub.arrivedDuringRun = false; });
    runRequested_ = true;
    stopRequested_ = false;
    if (!timelineStart_) {
        timelineStart_ = Clock::now();
    }
    if (!thread_.joinable()) {
        thread_ = std::thread([this] { Main(); });
    }
    wake_.notify_all();
    return 0;
}

int32_t ProgrammerManager::Stop() {
    if (!running_) {
        return 1;
    }
    stopRequested_ = true;
    wake_.notify_all();
    return 0;
}

void ProgrammerManager::Shutdown() {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        shutdown_ = true;
    }
    events_.Shutdown();
    wake_.notify_all();
    if (thread_.joinable()) {
        if (thread_.get_id() == std::this_thread::get_id()) {
            thread_.detach(); // the callback itself ended the process
        } else {
            thread_.join();
        }
    }
}

void ProgrammerManager::Main() {
    Lock lock(mutex_);
    while (!shutdown_) {
        PlayTimeline(lock);
        if (shutdown_) {
            break;
        }
        if (runRequested_) {
            runRequested_ = false;
            Run(lock);
            continue;
        }
        WaitForChange(lock, std::nullopt);
    }
}

void ProgrammerManager::Run(Lock& lock) {
    const bool once = once_;
    Unlocked(lock, [&] { events_.ManagerState(hubabi::kManagerStarted); });
    int attempts = 0;
    int failures = 0;
    bool toldNothingToDo = false;
    while (!shutdown_) {
        PlayTimeline(lock);
        if (shutdown_ || stopRequested_) {
            break;
        }
        if (LiveDevice* hub = NextHubToHandle()) {
            ++attempts;
            if (!Attempt(lock, *hub)) {
                ++failures;
            }
            continue;
        }
        if (attempts == 0 && !toldNothingToDo) {
            toldNothingToDo = true;
            Unlocked(lock, [&] { events_.ManagerState(hubabi::kManagerNothingToDo); });
            continue;
        }
        if (once) {
            break;
        }
        WaitForChange(lock, std::nullopt);
    }
    if (shutdown_) {
        return;
    }
    Unlocked(lock, [&] { events_.ManagerState(hubabi::kManagerFinished); });
    // A preparation counts for one run only.
    bench_.ForEachHub([](LiveDevice& hub) {
        hub.prepared.reset();
        hub.arrivedDuringRun = false;
    });
    running_ = false;
    stopRequested_ = false;
    const int32_t result = attempts == 0  ? hubabi::kRunNothingToDo
                           : failures > 0 ? hubabi::kRunSomeFailed
                                          : hubabi::kRunAllSucceeded;
    Unlocked(lock, [&] { events_.RunEnded(result); });
}

LiveDevice* ProgrammerManager::NextHubToHandle() const {
    LiveDevice* next = nullptr;
    bench_.ForEachHub([&](LiveDevice& hub) {
        const bool hasWork = hub.programmingRequired || hub.validation == hubabi::kValidateVerify;
        if (next == nullptr && hub.prepared && !hub.busy &&
            hub.storageMode != hubabi::kStorageNone && hasWork) {
            next = &hub;
        }
    });
    return next;
}

bool ProgrammerManager::Attempt(Lock& lock, LiveDevice& hub) {
    const DeviceSpec board = hub.spec;
    const int32_t storageMode = hub.storageMode;
    const bool program = hub.programmingRequired;
    const bool verify = hub.validation == hubabi::kValidateVerify;
    const Payload payload = std::move(*hub.prepared);
    hub.prepared.reset();
    hub.busy = true;

    const auto setStatus = [&](int32_t status, bool asChange) {
        hub.status = status;
        Unlocked(lock, [&] {
            if (asChange) {
                events_.StatusChanged(board.path, status);
            } else {
                events_.StatusReport(board.path, status);
            }
        });
    };
    const auto pause = std::chrono::milliseconds(board.programmingMs);
    int32_t status = 0;
    bool written = false;
    if (board.fault == Fault::Open) {
        status = hubabi::kStatusFailureOpening;
    } else if (program) {
        setStatus(hubabi::kStatusProgramming, true);
        if (verify) {
            setStatus(hubabi::kStatusProgrammingAndVerifying, false);
        }
        if (!PauseFor(lock, pause)) {
            return false;
        }
        status = FaultStopsWrite(board.fault, verify);
        if (status == 0) {
            Unlocked(lock, [&] { status = WriteMemories(board, storageMode, payload); });
            if (status == hubabi::kStatusFailedProgramming && verify) {
                status = hubabi::kStatusFailedProgramVerify;
            }
            written = status == 0;
        }
        if (written && verify) {
            setStatus(hubabi::kStatusVerifying, false);
            if (!PauseFor(lock, pause / 2)) {
                return false;
            }
        }
        if (written) {
            status = verify ? VerifyOutcome(board.fault, true) : hubabi::kStatusProgrammed;
        }
    } else {
        setStatus(hubabi::kStatusVerifying, false);
        if (!PauseFor(lock, pause / 2)) {
            return false;
        }
        status = VerifyOutcome(board.fault, false);
    }

    RecordLine line;
    line.controller = hub.controller;
    line.device = board.position;
    line.devicePath = Utf16ToUtf8(board.path);
    line.uuid = board.uuid ? UuidText(*board.uuid) : std::string();
    line.storageMode = storageMode;
    line.serial = written ? payload.serial : std::string();
    line.status = status;
    line.action = program ? (verify ? "program+verify" : "program") : "verify";
    Unlocked(lock, [&] {
        line.time = UtcTimestamp();
        if (const std::string error = record_.Append(line); !error.empty()) {
            Complain("programming record: " + error);
        }
    });

    hub.busy = false;
    hub.arrivedDuringRun = false;
    hub.status = status;
    Unlocked(lock, [&] {
        events_.StatusReport(board.path, status);
        events_.Repaint();
    });
    return Succeeded(status);
}

int32_t ProgrammerManager::WriteMemories(const DeviceSpec& board, int32_t storageMode,
                                         const Payload& payload) {
    if (!board.uuid) {
        return hubabi::kStatusFailureOpening;
    }
    HubMemoryState state;
    std::string error;
    if (!memory_.Load(*board.uuid, state, error)) {
        Complain("hub memories: " + error);
        return hubabi::kStatusFailureOpening;
    }
    if (const int32_t status = WritePayload(state, storageMode, payload, board); status != 0) {
        return status;
    }
    if (error = memory_.Save(*board.uuid, state); !error.empty()) {
        Complain("hub memories: " + error);
        return hubabi::kStatusFailedProgramming;
    }
    return 0;
}

bool ProgrammerManager::PauseFor(Lock& lock, std::chrono::milliseconds duration) {
    const auto deadline = Clock::now() + duration;
    for (;;) {
        PlayTimeline(lock);
        if (shutdown_) {
            return false;
        }
        if (Clock::now() >= deadline) {
            return true;
        }
        WaitForChange(lock, deadline);
    }
}

std::optional<ProgrammerManager::Clock::time_point> ProgrammerManager::NextTimelineDue() const {
    if (!timelineStart_ || nextTimelineEntry_ >= timeline_.size()) {
        return std::nullopt;
    }
    return *timelineStart_ + std::chrono::milliseconds(timeline_[nextTimelineEntry_].atMs);
}

void ProgrammerManager::WaitForChange(Lock& lock, std::optional<Clock::time_point> deadline) {
    std::optional<Clock::time_point> until = NextTimelineDue();
    if (deadline && (!until || *deadline < *until)) {
        until = deadline;
    }
    if (until) {
        wake_.wait_until(lock, *until);
    } else {
        wake_.wait(lock);
    }
}

void ProgrammerManager::PlayTimeline(Lock& lock) {
    while (!shutdown_) {
        const auto due = NextTimelineDue();
        if (!due || Clock::now() < *due) {
            return;
        }
        const TimelineEntry& entry = timeline_[nextTimelineEntry_];
        if (entry.kind == TimelineEntry::Kind::Remove) {
            const auto where = bench_.Locate(entry.removePath);
            if (where && where->position > 0 && bench_.SubtreeBusy(*where)) {
                // The operator waits until the board is released; later entries wait too,
                // so the timeline stays valid.
                return;
            }
            ++nextTimelineEntry_;
            if (!where || where->position == 0) {
                continue;
            }
            const auto paths = bench_.Remove(*where);
            Unlocked(lock, [&] {
                for (const auto& path : paths) {
                    events_.Removed(path);
                }
            });
        } else {
            ++nextTimelineEntry_;
            if (bench_.Find(entry.controller, entry.device.position) != nullptr) {
                Complain(entry.where + ": position " + std::to_string(entry.device.position) +
                         " is taken; the arrival is left out");
                continue;
            }
            const LiveDevice& device = bench_.Arrive(entry.controller, entry.device, running_);
            const std::u16string path = device.spec.path;
            Unlocked(lock, [&] { events_.Arrived(path); });
        }
    }
}

} // namespace simhub
