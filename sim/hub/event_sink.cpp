#include "sim/hub/event_sink.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace simhub {

void EventSink::StatusChanged(const std::u16string& path, int32_t status) {
    // Statuses 7 to 13 as event 0 would make the tool show START in the middle of a run.
    const int32_t code = status <= hubabi::kStatusFailedVerify ? hubabi::kEventStatusChanged
                                                               : hubabi::kEventStatusReport;
    SendStatus(code, path, status);
}

void EventSink::StatusReport(const std::u16string& path, int32_t status) {
    SendStatus(hubabi::kEventStatusReport, path, status);
}

void EventSink::Arrived(const std::u16string& path) {
    SendText(hubabi::kEventArrived, path);
}

void EventSink::Removed(const std::u16string& path) {
    SendText(hubabi::kEventRemoved, path);
}

void EventSink::ManagerState(int32_t state) {
    Deliver(hubabi::IntegerToEventData(state), hubabi::kEventManagerState, false);
}

void EventSink::Repaint() {
    Deliver(nullptr, hubabi::kEventRepaint, false);
}

void EventSink::RunEnded(int32_t result) {
    Deliver(hubabi::IntegerToEventData(result), hubabi::kEventRunEnded, false);
}

void EventSink::SendStatus(int32_t code, const std::u16string& path, int32_t status) {
    auto* block = static_cast<hubabi::StatusBlock*>(std::malloc(sizeof(hubabi::StatusBlock)));
    if (block == nullptr) {
        return;
    }
    std::memset(block, 0, sizeof *block);
    const std::size_t units = std::min(path.size(), hubabi::kStatusBlockPathUnits - 1);
    std::memcpy(block->devicePath, path.data(), units * sizeof(char16_t));
    block->hubStatus = status;
    Deliver(block, code, true);
}

void EventSink::SendText(int32_t code, const std::u16string& text) {
    auto* block = static_cast<char16_t*>(std::malloc((text.size() + 1) * sizeof(char16_t)));
    if (block == nullptr) {
        return;
    }
    std::memcpy(block, text.data(), text.size() * sizeof(char16_t));
    block[text.size()] = u'\0';
    Deliver(block, code, true);
}

void EventSink::Deliver(void* data, int32_t code, bool isBlock) {
    const hubabi::NotificationCallback callback = callback_.load();
    if (callback != nullptr && !shutdown_.load()) {
        callback(data, code);
        return;
    }
    if (isBlock) {
        std::free(data);
    }
}

} // namespace simhub
