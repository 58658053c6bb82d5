// Hands events to the tool's notification callback. Blocks are allocated with std::malloc and
// belong to the receiver; with no callback registered, or once the library is shutting down,
// the sink frees them itself. Never call it while holding the library's lock: the callback
// may call back into the library.
#pragma once

#include "hub/hub_abi.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace simhub {

class EventSink {
public:
    void Register(hubabi::NotificationCallback callback) { callback_.store(callback); }
    // After this no callback is called any more.
    void Shutdown() { shutdown_.store(true); }

    // Event 0; only for the statuses 0 to 6 (the tool shows START again on the others).
    void StatusChanged(const std::u16string& path, int32_t status);
    // Event 1: progress (9, 10) and the final status of an attempt.
    void StatusReport(const std::u16string& path, int32_t status);
    void Arrived(const std::u16string& path); // event 2
    void Removed(const std::u16string& path); // event 3
    void ManagerState(int32_t state);         // event 4
    void Repaint();                           // event 6, no block
    void RunEnded(int32_t result);            // event 7

private:
    void SendStatus(int32_t code, const std::u16string& path, int32_t status);
    void SendText(int32_t code, const std::u16string& text);
    // Calls the callback; frees the block when nobody takes it.
    void Deliver(void* data, int32_t code, bool isBlock);

    std::atomic<hubabi::NotificationCallback> callback_{nullptr};
    std::atomic<bool> shutdown_{false};
};

} // namespace simhub
