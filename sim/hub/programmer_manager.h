// The programmer manager: one thread of the library that plays the bench's timeline (boards
// leaving and arriving) from the first StartProgrammerManager on, and carries out runs, once
// or automated, handling one prepared hub at a time. It shares the library's mutex; the
// callback is only ever called with that mutex released.
#pragma once

#include "sim/hub/bench_description.h"
#include "sim/hub/event_sink.h"
#include "sim/hub/hub_memory.h"
#include "sim/hub/live_bench.h"
#include "sim/hub/programming_record.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace simhub {

class ProgrammerManager {
public:
    ProgrammerManager(std::mutex& mutex, LiveBench& bench, EventSink& events, HubMemoryStore memory,
                      ProgrammingRecord record, std::vector<TimelineEntry> timeline);
    ~ProgrammerManager();
    ProgrammerManager(const ProgrammerManager&) = delete;
    ProgrammerManager& operator=(const ProgrammerManager&) = delete;

    // The following are called with the library's mutex held.
    bool Running() const { return running_; }
    // 0 when a run starts; 1 while one is running; 2 for an argument other than 0 and 1.
    int32_t Start(int32_t once);
    // 0 when the running run was asked to end; 1 when none runs.
    int32_t Stop();
    // A hub was prepared: an automated run may have work.
    void WorkArrived() { wake_.notify_all(); }

    // Ends the thread without calling back; called without the mutex, at unload.
    void Shutdown();

private:
    using Clock = std::chrono::steady_clock;
    using Lock = std::unique_lock<std::mutex>;

    void Main();
    void Run(Lock& lock);
    // One attempt on a hub; true when it succeeded. The hub stays on the bench throughout
    // (removals of busy hubs wait).
    bool Attempt(Lock& lock, LiveDevice& hub);
    // Writes the payload into the board's memories (lock released); the hub status of the
    // failure, or 0.
    int32_t WriteMemories(const DeviceSpec& board, int32_t storageMode, const Payload& payload);
    // Lets `duration` pass while playing the timeline; false when the library shuts down.
    bool PauseFor(Lock& lock, std::chrono::milliseconds duration);
    // Carries out the timeline entries that are due.
    void PlayTimeline(Lock& lock);
    std::optional<Clock::time_point> NextTimelineDue() const;
    // Sleeps until woken, the next timeline entry or `deadline`, whichever comes first.
    void WaitForChange(Lock& lock, std::optional<Clock::time_point> deadline);
    LiveDevice* NextHubToHandle() const;

    template <typename Fn> void Unlocked(Lock& lock, Fn&& fn) {
        lock.unlock();
        fn();
        lock.lock();
    }

    std::mutex& mutex_;
    LiveBench& bench_;
    EventSink& events_;
    const HubMemoryStore memory_;
    const ProgrammingRecord record_;
    const std::vector<TimelineEntry> timeline_;

    std::condition_variable wake_;
    std::thread thread_;
    bool running_ = false;
    bool once_ = true;
    bool runRequested_ = false;
    bool stopRequested_ = false;
    bool shutdown_ = false;
    std::optional<Clock::time_point> timelineStart_;
    std::size_t nextTimelineEntry_ = 0;
};

} // namespace simhub
