#include "app/device_event.h"

#include "app/window_registry.h"
#include "hub/hub_abi.h"
#include "log/logger.h"

#include <cstdlib>

QEvent::Type DeviceEventMessage::EventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

DeviceEventMessage::DeviceEventMessage(void* data, int32_t eventCode)
    : QEvent(EventType()), data_(data), code_(eventCode) {}

DeviceEventMessage::~DeviceEventMessage() {
    if (!handled_) {
        FreeEventData(code_, data_);
    }
}

void FreeEventData(int32_t eventCode, void* data) {
    switch (eventCode) {
    case hubabi::kEventStatusChanged:
    case hubabi::kEventStatusReport:
    case hubabi::kEventArrived:
    case hubabi::kEventRemoved:
    case hubabi::kEventOther:
    case hubabi::kEventRepaint:
        std::free(data);
        break;
    default:
        break;
    }
}

extern "C" bool DeviceStatusNotifier(void* data, int32_t eventCode) {
    CLogger log("DeviceStatusNotifier");
    auto* message = new DeviceEventMessage(data, eventCode);
    if (!windowregistry::Post(QString::fromLatin1(windowregistry::kMainWindowCaption), message)) {
        delete message; // no main window: the block is freed with the event
    }
    return true;
}
