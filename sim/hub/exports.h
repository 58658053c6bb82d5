// The library's exports, declared with default visibility (everything else is hidden).
#pragma once

#include "hub/hub_abi.h"

#define TESSARO_EXPORT __attribute__((visibility("default")))

extern "C" {
TESSARO_EXPORT hubabi::IDeviceTree* CreateDeviceTreeUI();
TESSARO_EXPORT void FinishedUsingDeviceTreeUI();
TESSARO_EXPORT void RegisterNotificationCallback(hubabi::NotificationCallback callback);
TESSARO_EXPORT int32_t IsProgrammerManagerRunning();
TESSARO_EXPORT int32_t StartProgrammerManager(int32_t once);
TESSARO_EXPORT int32_t StopProgrammerManager();
TESSARO_EXPORT int32_t GetStorageMode(int32_t controller, int32_t device);
TESSARO_EXPORT int32_t SetStorageMode(int32_t controller, int32_t device, int32_t mode);
TESSARO_EXPORT void SetValidationMethod(int32_t controller, int32_t device, int32_t method);
TESSARO_EXPORT int32_t SetConfigurationBlock(int32_t controller, int32_t device,
                                             const uint8_t* bytes, uint32_t size);
TESSARO_EXPORT int32_t SetFirmwarImage(int32_t controller, int32_t device, const uint8_t* bytes,
                                       uint32_t size);
TESSARO_EXPORT int32_t GetHubStatus(int32_t controller, int32_t device);
TESSARO_EXPORT void SetProgrammingRequired(int32_t controller, int32_t device, int32_t flag);
TESSARO_EXPORT int32_t GetUUID(int32_t controller, int32_t device, uint8_t* buffer,
                               int32_t bufferSize);
TESSARO_EXPORT int32_t CanDeviceBeRemoved(int32_t controller, int32_t device);
TESSARO_EXPORT int32_t IsNewDevice(int32_t controller, int32_t device);
TESSARO_EXPORT int32_t GetDeviceIndicesUI(const char16_t* devicePath, int32_t* controller,
                                          int32_t* device);
TESSARO_EXPORT void DumpOTP(const char16_t* devicePath, int32_t pathLength,
                            const char16_t* deviceName, const char16_t* portName);
}
