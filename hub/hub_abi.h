// The hub programmer library's binary interface, as the tool and the simulated bench both
// see it. Plain C++ without Qt: exports are C calls resolved by name, the device tree is
// reached through two interfaces of virtual operations, text is UTF-16 (char16_t) on every
// platform so that event blocks have the same layout everywhere.
#pragma once

#include <cstddef>
#include <cstdint>

namespace hubabi {

// Original file name of the library; the loader turns it into the platform's file name.
inline constexpr const char* kLibraryName = "TessaroKDXLib.dll";

// Device types reported by IDeviceNode::GetType. Only kHub matters to the tool; the others
// are what the simulated bench reports.
inline constexpr int32_t kDeviceTypeController = 0;
inline constexpr int32_t kDeviceTypeDevice = 1;
inline constexpr int32_t kDeviceTypeHub = 2;
// What the tool reports for a position it cannot look up.
inline constexpr int32_t kDeviceTypeUnknown = 6;

// Storage modes; the same numbers are the topology's memory types.
enum StorageMode : int32_t {
    kStorageSpiPartialCfg = 0,
    kStorageSpiCopyFromOtp = 1,
    kStorageSpi = 2,
    kStorageOtp = 3,
    kStorageNone = 4,
};

// Validation methods for SetValidationMethod.
enum ValidationMethod : int32_t {
    kValidateVerify = 0,
    kValidateNone = 2,
};

// Hub status codes (GetHubStatus and the status block of events 0 and 1).
enum HubStatus : int32_t {
    kStatusNewUnprogrammed = 0,
    kStatusFailureOpening = 1,
    kStatusProgramming = 2,
    kStatusProgrammed = 3,
    kStatusFailedProgramming = 4,
    kStatusVerified = 5,
    kStatusFailedVerify = 6,
    kStatusProgrammedAndVerified = 7,
    kStatusFailedProgramVerify = 8,
    kStatusVerifying = 9,
    kStatusProgrammingAndVerifying = 10,
    kStatusInsufficientSpace = 11,
    kStatusSpiAccessError = 12,
    kStatusOtpFull = 13,
};
inline constexpr int32_t kHubStatusCount = 14;

// Event codes handed to the notification callback.
enum EventCode : int32_t {
    kEventStatusChanged = 0, // data: StatusBlock*
    kEventStatusReport = 1,  // data: StatusBlock*
    kEventArrived = 2,       // data: NUL-terminated char16_t device path
    kEventRemoved = 3,       // data: NUL-terminated char16_t device path
    kEventManagerState = 4,  // data: the state 0-4, carried in the pointer value
    kEventOther = 5,         // data: a block, or null
    kEventRepaint = 6,       // data: a block, or null
    kEventRunEnded = 7,      // data: the result 0-2, carried in the pointer value
};

// Programmer manager states (event 4).
enum ManagerState : int32_t {
    kManagerReady = 0,
    kManagerStarted = 1,
    kManagerFinished = 2,
    kManagerNothingToDo = 3,
    kManagerUnknown = 4,
};

// Results of a run (event 7).
enum RunResult : int32_t {
    kRunAllSucceeded = 0,
    kRunNothingToDo = 1,
    kRunSomeFailed = 2,
};

// Blocks of events 0 and 1: the device path as NUL-terminated UTF-16 from byte 0, the hub
// status as int32 at byte 404. Every block (status and text) is allocated with std::malloc
// by the library and freed with std::free by whoever receives the event, exactly once.
inline constexpr std::size_t kStatusBlockPathUnits = 202;
struct StatusBlock {
    char16_t devicePath[kStatusBlockPathUnits];
    int32_t hubStatus;
};
static_assert(offsetof(StatusBlock, hubStatus) == 404, "status block layout");
static_assert(sizeof(StatusBlock) == 408, "status block size");

// Integer payloads of events 4 and 7 travel in the data pointer itself.
inline void* IntegerToEventData(int32_t value) {
    return reinterpret_cast<void*>(static_cast<std::intptr_t>(value));
}
inline int32_t EventDataToInteger(const void* data) {
    return static_cast<int32_t>(reinterpret_cast<std::intptr_t>(data));
}

// Nodes of a device tree. Every node obtained with IDeviceTree::GetDevice is released once,
// with Release(1). Texts stay valid until the node is released.
class IDeviceNode {
public:
    virtual int32_t GetType() = 0;
    virtual int32_t GetParentIndex() = 0;
    virtual const char16_t* GetInstanceId() = 0; // may be null
    virtual const char16_t* GetDescription() = 0;
    virtual const char16_t* GetDevicePath() = 0;
    virtual void Release(int32_t flags) = 0;

protected:
    ~IDeviceNode() = default;
};

// A snapshot of the USB tree. Owned by the library; it stays valid until the library frees
// it in FinishedUsingDeviceTreeUI (which keeps the newest snapshot).
class IDeviceTree {
public:
    virtual int32_t GetDeviceCount(int32_t controller) = 0;
    virtual int32_t GetControllerCount() = 0;
    virtual IDeviceNode* GetDevice(int32_t controller, int32_t device) = 0;

protected:
    ~IDeviceTree() = default;
};

// The notification callback: runs on a library thread.
using NotificationCallback = bool (*)(void* data, int32_t eventCode);

} // namespace hubabi

// The exports, as plain C calls. Function pointer types carry the same names with a Fn suffix.
extern "C" {
using CreateDeviceTreeUIFn = hubabi::IDeviceTree* (*)();
using FinishedUsingDeviceTreeUIFn = void (*)();
using RegisterNotificationCallbackFn = void (*)(hubabi::NotificationCallback callback);
using IsProgrammerManagerRunningFn = int32_t (*)();
using StartProgrammerManagerFn = int32_t (*)(int32_t once);
using StopProgrammerManagerFn = int32_t (*)();
using GetStorageModeFn = int32_t (*)(int32_t controller, int32_t device);
using SetStorageModeFn = int32_t (*)(int32_t controller, int32_t device, int32_t mode);
using SetValidationMethodFn = void (*)(int32_t controller, int32_t device, int32_t method);
using SetConfigurationBlockFn = int32_t (*)(int32_t controller, int32_t device,
                                            const uint8_t* bytes, uint32_t size);
using SetFirmwarImageFn = int32_t (*)(int32_t controller, int32_t device, const uint8_t* bytes,
                                      uint32_t size);
using GetHubStatusFn = int32_t (*)(int32_t controller, int32_t device);
using SetProgrammingRequiredFn = void (*)(int32_t controller, int32_t device, int32_t flag);
using GetUUIDFn = int32_t (*)(int32_t controller, int32_t device, uint8_t* buffer,
                              int32_t bufferSize);
using CanDeviceBeRemovedFn = int32_t (*)(int32_t controller, int32_t device);
using IsNewDeviceFn = int32_t (*)(int32_t controller, int32_t device);
using GetDeviceIndicesUIFn = int32_t (*)(const char16_t* devicePath, int32_t* controller,
                                         int32_t* device);
using DumpOTPFn = void (*)(const char16_t* devicePath, int32_t pathLength,
                           const char16_t* deviceName, const char16_t* portName);
}

namespace hubabi {
// Every export name, in the order of the library's table; loaders and tests iterate it.
inline constexpr const char* kExportNames[] = {
    "CreateDeviceTreeUI",
    "FinishedUsingDeviceTreeUI",
    "RegisterNotificationCallback",
    "IsProgrammerManagerRunning",
    "StartProgrammerManager",
    "StopProgrammerManager",
    "GetStorageMode",
    "SetStorageMode",
    "SetValidationMethod",
    "SetConfigurationBlock",
    "SetFirmwarImage",
    "GetHubStatus",
    "SetProgrammingRequired",
    "GetUUID",
    "CanDeviceBeRemoved",
    "IsNewDevice",
    "GetDeviceIndicesUI",
    "DumpOTP",
};
} // namespace hubabi
