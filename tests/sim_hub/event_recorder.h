// The tests' notification callback: records every event the hub library sends, frees every
// block exactly once as the tool does, and lets a test wait for an event sequence. At event 7
// it asks the library whether the manager still runs (it must not any more).
#pragma once

#include "hub/hub_abi.h"

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace simhubtest {

struct Event {
    int32_t code = -1;
    std::u16string path; // events 0 to 3
    int32_t value = 0;   // the hub status (0, 1) or the integer (4, 7)
    bool runningAtEvent = false;
};

class EventRecorder {
public:
    using Events = std::vector<Event>;

    static EventRecorder& Get() {
        static EventRecorder recorder;
        return recorder;
    }

    static bool Callback(void* data, int32_t code) {
        Get().Record(data, code);
        return true;
    }

    void Reset(IsProgrammerManagerRunningFn isRunning) {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.clear();
        isRunning_ = isRunning;
        hook_ = nullptr;
    }

    // Called on the library's thread for every event, before it is recorded: a test can look
    // at the library from inside the callback, as the events happen.
    void SetHook(std::function<void(const Event&)> hook) {
        std::lock_guard<std::mutex> lock(mutex_);
        hook_ = std::move(hook);
    }

    Events Snapshot() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return events_;
    }

    // Waits until `done` holds for the events so far; false after the timeout.
    bool WaitFor(const std::function<bool(const Events&)>& done,
                 std::chrono::milliseconds timeout = std::chrono::seconds(30)) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return done(events_); });
    }

    // Waits for the event 7 that ends the current run.
    bool WaitForRunEnd(std::size_t runEndsBefore) {
        return WaitFor([&](const Events& events) { return CountCode(events, 7) > runEndsBefore; });
    }

    static std::size_t CountCode(const Events& events, int32_t code) {
        std::size_t n = 0;
        for (const Event& event : events) {
            n += event.code == code ? 1 : 0;
        }
        return n;
    }

private:
    void Record(void* data, int32_t code) {
        Event event;
        event.code = code;
        switch (code) {
        case hubabi::kEventStatusChanged:
        case hubabi::kEventStatusReport:
            if (data != nullptr) {
                const auto* block = static_cast<const hubabi::StatusBlock*>(data);
                event.path = block->devicePath;
                event.value = block->hubStatus;
            }
            std::free(data);
            break;
        case hubabi::kEventArrived:
        case hubabi::kEventRemoved:
            if (data != nullptr) {
                event.path = static_cast<const char16_t*>(data);
            }
            std::free(data);
            break;
        case hubabi::kEventManagerState:
            event.value = hubabi::EventDataToInteger(data);
            break;
        case hubabi::kEventRunEnded: {
            event.value = hubabi::EventDataToInteger(data);
            IsProgrammerManagerRunningFn isRunning = nullptr;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                isRunning = isRunning_;
            }
            event.runningAtEvent = isRunning != nullptr && isRunning() != 0;
            break;
        }
        default:
            std::free(data);
            break;
        }
        std::function<void(const Event&)> hook;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            hook = hook_;
        }
        if (hook) {
            hook(event);
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            events_.push_back(std::move(event));
        }
        changed_.notify_all();
    }

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    Events events_;
    IsProgrammerManagerRunningFn isRunning_ = nullptr;
    std::function<void(const Event&)> hook_;
};

// The status events (0 and 1) of one device, in order, as (code, status) pairs.
inline std::vector<std::pair<int32_t, int32_t>> StatusEventsOf(const EventRecorder::Events& events,
                                                               const std::u16string& path) {
    std::vector<std::pair<int32_t, int32_t>> out;
    for (const Event& event : events) {
        if ((event.code == 0 || event.code == 1) && event.path == path) {
            out.emplace_back(event.code, event.value);
        }
    }
    return out;
}

} // namespace simhubtest
