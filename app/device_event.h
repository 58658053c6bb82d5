// WM_DEVICE_EVENT: one notification of the hub library on its way to the UI thread. The event
// owns the library's data block until the sheet has handled it; a block that is never handled
// (no window, or the window closed first) is freed when the event goes.
#pragma once

#include <QEvent>

#include <cstdint>

class DeviceEventMessage : public QEvent {
public:
    static constexpr int kMessageId = 1163; // WM_DEVICE_EVENT
    static QEvent::Type EventType();

    DeviceEventMessage(void* data, int32_t eventCode);
    ~DeviceEventMessage() override;
    DeviceEventMessage(const DeviceEventMessage&) = delete;
    DeviceEventMessage& operator=(const DeviceEventMessage&) = delete;

    void* Data() const { return data_; }
    int32_t Code() const { return code_; }
    // The handler took the block over (it frees it as its rules say).
    void MarkHandled() { handled_ = true; }

private:
    void* data_;
    int32_t code_;
    bool handled_ = false;
};

// Frees the library block of an event, as its code tells: events 0, 1, 2, 3, 5 and 6 carry a
// malloc'ed block (or null); 4 and 7 carry an integer; others carry nothing we know of.
void FreeEventData(int32_t eventCode, void* data);

// The callback registered with the library. Runs on a library thread: it only finds the main
// window by its caption and posts the event; without a window the block is freed at once.
extern "C" bool DeviceStatusNotifier(void* data, int32_t eventCode);
