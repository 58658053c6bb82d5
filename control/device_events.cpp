// CSheet: the library's notifications, handled on the UI thread.
#include "app/sheet.h"
#include "hub/device_data.h"
#include "hub/hub_status_text.h"
#include "hub/utf16_text.h"
#include "log/logger.h"
#include "topology/tcf_data.h"

#include <cstdlib>

namespace {

constexpr const char* kStatusChanged = "Status of %1 changed to %2";
constexpr const char* kStatusReport = "Status of %1 : %2";
constexpr const char* kDeviceArrived = "Device Arrived";
constexpr const char* kDeviceRemoved = "Device Removed";
constexpr const char* kSomeOperationFailed = "Operation on one or more device failed";
constexpr const char* kCountersNotSaved = "Serial counters not saved: %1";

} // namespace

int CSheet::DeviceEvent(void* data, int32_t eventCode) {
    SheetLock lock(sheetLock);
    UpdateHubStatus(eventCode, data);
    return 0;
}

void CSheet::UpdateHubStatus(int32_t eventCode, void* data) {
    CLogger log("CSheet::UpdateHubStatus");
    SheetLock lock(sheetLock);
    switch (eventCode) {
    case hubabi::kEventStatusChanged:
    case hubabi::kEventStatusReport: {
        if (data == nullptr) {
            return;
        }
        const auto* block = static_cast<const hubabi::StatusBlock*>(data);
        // The path is read only within the block, terminated or not.
        const QString path = FromUtf16Bounded(block->devicePath, hubabi::kStatusBlockPathUnits);
        const int32_t status = block->hubStatus;
        int controller = 0;
        int position = 0;
        CDeviceData* record = GetNodeIndexFromDevicePath(path, controller, position)
                                  ? RecordAt(controller, position)
                                  : nullptr;
        if (record == nullptr) {
            log.Log(2, "Status %d for %s, which is not in the tree", status, qUtf8Printable(path));
            std::free(data);
            return;
        }
        if (eventCode == hubabi::kEventStatusChanged) {
            AddStatus(QString::fromLatin1(kStatusChanged)
                          .arg(record->GetPortName(), HubStatusText(status)));
            if (status >= hubabi::kStatusProgrammedAndVerified &&
                status <= hubabi::kStatusOtpFull) {
                window_.ShowStartButton();
            }
        } else {
            // The serial number was taken when it was handed out: success settles it,
            // failure gives it back to the next attempt.
            if (IsSuccessStatus(status)) {
                handouts_.Take(path);
                ++lastRun_.hubSuccesses;
            } else if (IsFailureStatus(status)) {
                GiveBackSerial(path);
                ++lastRun_.hubFailures;
            }
            InvalidateTree();
            AddStatus(QString::fromLatin1(kStatusReport)
                          .arg(record->GetPortName(), HubStatusText(status)));
        }
        std::free(data);
        return;
    }
    case hubabi::kEventArrived:
    case hubabi::kEventRemoved: {
        if (data == nullptr) {
            return;
        }
        const QString path = FromUtf16(static_cast<const char16_t*>(data));
        const bool arrived = eventCode == hubabi::kEventArrived;
        AddStatus(QString::fromLatin1(arrived ? kDeviceArrived : kDeviceRemoved));
        log.Log(2, "%s : %s", arrived ? kDeviceArrived : kDeviceRemoved, qUtf8Printable(path));
        EnumUSB(path, arrived);
        std::free(data);
        return;
    }
    case hubabi::kEventManagerState: {
        AddStatus(ManagerStateText(hubabi::EventDataToInteger(data)));
        InvalidateTree();
        return;
    }
    case hubabi::kEventOther:
        std::free(data);
        return;
    case hubabi::kEventRepaint:
        InvalidateTree();
        std::free(data);
        return;
    case hubabi::kEventRunEnded: {
        const int32_t result = hubabi::EventDataToInteger(data);
        QString problem;
        if (!PersistSerialCounters(&problem)) {
            const QString text = QString::fromLatin1(kCountersNotSaved).arg(problem);
            log.LogText(2, text.toStdString());
            AddStatus(text);
        }
        handouts_.Clear();
        lastRun_.ended = true;
        lastRun_.endResult = result;
        if (result != hubabi::kRunAllSucceeded && result != hubabi::kRunNothingToDo) {
            MessageBox(QString::fromLatin1(kSomeOperationFailed), MessageIcon::Warning);
        }
        window_.ShowStartButton();
        return;
    }
    default:
        return;
    }
}
