// Every export of the hub library, resolved by name from a loaded library.
#pragma once

#include "hub/hub_abi.h"
#include "tests/support/dl_library.h"

namespace simhubtest {

struct HubApi {
    explicit HubApi(const testsupport::DlLibrary& library)
        : createTree(library.Get<CreateDeviceTreeUIFn>("CreateDeviceTreeUI")),
          finishedWithTrees(library.Get<FinishedUsingDeviceTreeUIFn>("FinishedUsingDeviceTreeUI")),
          registerCallback(
              library.Get<RegisterNotificationCallbackFn>("RegisterNotificationCallback")),
          isRunning(library.Get<IsProgrammerManagerRunningFn>("IsProgrammerManagerRunning")),
          start(library.Get<StartProgrammerManagerFn>("StartProgrammerManager")),
          stop(library.Get<StopProgrammerManagerFn>("StopProgrammerManager")),
          getStorageMode(library.Get<GetStorageModeFn>("GetStorageMode")),
          setStorageMode(library.Get<SetStorageModeFn>("SetStorageMode")),
          setValidationMethod(library.Get<SetValidationMethodFn>("SetValidationMethod")),
          setConfigurationBlock(library.Get<SetConfigurationBlockFn>("SetConfigurationBlock")),
          setFirmwareImage(library.Get<SetFirmwarImageFn>("SetFirmwarImage")),
          getHubStatus(library.Get<GetHubStatusFn>("GetHubStatus")),
          setProgrammingRequired(library.Get<SetProgrammingRequiredFn>("SetProgrammingRequired")),
          getUuid(library.Get<GetUUIDFn>("GetUUID")),
          canBeRemoved(library.Get<CanDeviceBeRemovedFn>("CanDeviceBeRemoved")),
          isNewDevice(library.Get<IsNewDeviceFn>("IsNewDevice")),
          getDeviceIndices(library.Get<GetDeviceIndicesUIFn>("GetDeviceIndicesUI")),
          dumpOtp(library.Get<DumpOTPFn>("DumpOTP")) {}

    CreateDeviceTreeUIFn createTree;
    FinishedUsingDeviceTreeUIFn finishedWithTrees;
    RegisterNotificationCallbackFn registerCallback;
    IsProgrammerManagerRunningFn isRunning;
    StartProgrammerManagerFn start;
    StopProgrammerManagerFn stop;
    GetStorageModeFn getStorageMode;
    SetStorageModeFn setStorageMode;
    SetValidationMethodFn setValidationMethod;
    SetConfigurationBlockFn setConfigurationBlock;
    SetFirmwarImageFn setFirmwareImage;
    GetHubStatusFn getHubStatus;
    SetProgrammingRequiredFn setProgrammingRequired;
    GetUUIDFn getUuid;
    CanDeviceBeRemovedFn canBeRemoved;
    IsNewDeviceFn isNewDevice;
    GetDeviceIndicesUIFn getDeviceIndices;
    DumpOTPFn dumpOtp;
};

} // namespace simhubtest
