// The process-wide link of the device records to the hub programmer library: the handle the
// records call through, its entry points, the tree a record obtained last and the part family
// the naming table detected last. Only the UI thread uses them.
#pragma once

#include "hub/hub_abi.h"
#include "hub/library_loader.h"

#include <memory>

// The library's exports, resolved once when the handle is taken. A missing export stays null;
// each caller decides what that means.
struct HubEntryPoints {
    CreateDeviceTreeUIFn CreateDeviceTreeUI = nullptr;
    FinishedUsingDeviceTreeUIFn FinishedUsingDeviceTreeUI = nullptr;
    RegisterNotificationCallbackFn RegisterNotificationCallback = nullptr;
    IsProgrammerManagerRunningFn IsProgrammerManagerRunning = nullptr;
    StartProgrammerManagerFn StartProgrammerManager = nullptr;
    StopProgrammerManagerFn StopProgrammerManager = nullptr;
    GetStorageModeFn GetStorageMode = nullptr;
    SetStorageModeFn SetStorageMode = nullptr;
    SetValidationMethodFn SetValidationMethod = nullptr;
    SetConfigurationBlockFn SetConfigurationBlock = nullptr;
    SetFirmwarImageFn SetFirmwarImage = nullptr;
    GetHubStatusFn GetHubStatus = nullptr;
    SetProgrammingRequiredFn SetProgrammingRequired = nullptr;
    GetUUIDFn GetUUID = nullptr;
    CanDeviceBeRemovedFn CanDeviceBeRemoved = nullptr;
    IsNewDeviceFn IsNewDevice = nullptr;
    GetDeviceIndicesUIFn GetDeviceIndicesUI = nullptr;
    DumpOTPFn DumpOTP = nullptr;

    // Resolves every export of `library` (all null when it is not loaded).
    static HubEntryPoints Resolve(const LoadedLibrary& library);
};

namespace hublibrary {

// The module the device records call through (HubLibraryHandle); null until SetLibraryHandle.
LoadedLibrary* Handle();
// Loads "TessaroKDXLib.dll" when no handle is held; true when one is held afterwards.
bool TakeHandle();
// Drops the handle without unloading the library (the main window unloads its own).
void DropHandle();
// The entry points of the held handle (all null without one).
const HubEntryPoints& Entries();

// The tree a record obtained last (CurrentDeviceTree).
hubabi::IDeviceTree* CurrentDeviceTree();
// A fresh tree from CreateDeviceTreeUI, remembered as CurrentDeviceTree; null without a
// handle or entry point.
hubabi::IDeviceTree* FetchDeviceTree();

// The part family the naming table detected last (LastDetectedPartType), 2 at start.
int LastDetectedPartType();
void SetLastDetectedPartType(int partType);

} // namespace hublibrary
