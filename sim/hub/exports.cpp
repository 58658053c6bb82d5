// The library's exports: plain C calls with the names and types of hub/hub_abi.h, each
// forwarding to the library object. Nothing else of the library is visible.
#include "sim/hub/exports.h"

#include "sim/hub/sim_library.h"

#include <type_traits>

using simhub::SimLibrary;

hubabi::IDeviceTree* CreateDeviceTreeUI() {
    return SimLibrary::Instance().CreateDeviceTree();
}

void FinishedUsingDeviceTreeUI() {
    SimLibrary::Instance().FinishedUsingDeviceTree();
}

void RegisterNotificationCallback(hubabi::NotificationCallback callback) {
    SimLibrary::Instance().RegisterCallback(callback);
}

int32_t IsProgrammerManagerRunning() {
    return SimLibrary::Instance().IsManagerRunning();
}

int32_t StartProgrammerManager(int32_t once) {
    return SimLibrary::Instance().StartManager(once);
}

int32_t StopProgrammerManager() {
    return SimLibrary::Instance().StopManager();
}

int32_t GetStorageMode(int32_t controller, int32_t device) {
    return SimLibrary::Instance().GetStorageMode(controller, device);
}

int32_t SetStorageMode(int32_t controller, int32_t device, int32_t mode) {
    return SimLibrary::Instance().SetStorageMode(controller, device, mode);
}

void SetValidationMethod(int32_t controller, int32_t device, int32_t method) {
    SimLibrary::Instance().SetValidationMethod(controller, device, method);
}

int32_t SetConfigurationBlock(int32_t controller, int32_t device, const uint8_t* bytes,
                              uint32_t size) {
    return SimLibrary::Instance().SetConfigurationBlock(controller, device, bytes, size);
}

int32_t SetFirmwarImage(int32_t controller, int32_t device, const uint8_t* bytes, uint32_t size) {
    return SimLibrary::Instance().SetFirmwareImage(controller, device, bytes, size);
}

int32_t GetHubStatus(int32_t controller, int32_t device) {
    return SimLibrary::Instance().GetHubStatus(controller, device);
}

void SetProgrammingRequired(int32_t controller, int32_t device, int32_t flag) {
    SimLibrary::Instance().SetProgrammingRequired(controller, device, flag);
}

int32_t GetUUID(int32_t controller, int32_t device, uint8_t* buffer, int32_t bufferSize) {
    return SimLibrary::Instance().GetUuid(controller, device, buffer, bufferSize);
}

int32_t CanDeviceBeRemoved(int32_t controller, int32_t device) {
    return SimLibrary::Instance().CanDeviceBeRemoved(controller, device);
}

int32_t IsNewDevice(int32_t controller, int32_t device) {
    return SimLibrary::Instance().IsNewDevice(controller, device);
}

int32_t GetDeviceIndicesUI(const char16_t* devicePath, int32_t* controller, int32_t* device) {
    return SimLibrary::Instance().GetDeviceIndices(devicePath, controller, device);
}

void DumpOTP(const char16_t* devicePath, int32_t pathLength, const char16_t* deviceName,
             const char16_t* portName) {
    SimLibrary::Instance().DumpOtp(devicePath, pathLength, deviceName, portName);
}

// Each export has exactly the type the tool resolves it as.
static_assert(std::is_same_v<decltype(&CreateDeviceTreeUI), CreateDeviceTreeUIFn>);
static_assert(std::is_same_v<decltype(&FinishedUsingDeviceTreeUI), FinishedUsingDeviceTreeUIFn>);
static_assert(
    std::is_same_v<decltype(&RegisterNotificationCallback), RegisterNotificationCallbackFn>);
static_assert(std::is_same_v<decltype(&IsProgrammerManagerRunning), IsProgrammerManagerRunningFn>);
static_assert(std::is_same_v<decltype(&StartProgrammerManager), StartProgrammerManagerFn>);
static_assert(std::is_same_v<decltype(&StopProgrammerManager), StopProgrammerManagerFn>);
static_assert(std::is_same_v<decltype(&GetStorageMode), GetStorageModeFn>);
static_assert(std::is_same_v<decltype(&SetStorageMode), SetStorageModeFn>);
static_assert(std::is_same_v<decltype(&SetValidationMethod), SetValidationMethodFn>);
static_assert(std::is_same_v<decltype(&SetConfigurationBlock), SetConfigurationBlockFn>);
static_assert(std::is_same_v<decltype(&SetFirmwarImage), SetFirmwarImageFn>);
static_assert(std::is_same_v<decltype(&GetHubStatus), GetHubStatusFn>);
static_assert(std::is_same_v<decltype(&SetProgrammingRequired), SetProgrammingRequiredFn>);
static_assert(std::is_same_v<decltype(&GetUUID), GetUUIDFn>);
static_assert(std::is_same_v<decltype(&CanDeviceBeRemoved), CanDeviceBeRemovedFn>);
static_assert(std::is_same_v<decltype(&IsNewDevice), IsNewDeviceFn>);
static_assert(std::is_same_v<decltype(&GetDeviceIndicesUI), GetDeviceIndicesUIFn>);
static_assert(std::is_same_v<decltype(&DumpOTP), DumpOTPFn>);
