#include "hub/hub_library.h"

#include "topology/tcf_item.h"

namespace {

struct HubLibraryState {
    std::unique_ptr<LoadedLibrary> handle;
    HubEntryPoints entries;
    hubabi::IDeviceTree* currentTree = nullptr;
    int lastDetectedPartType = kPartNotRecognized;
};

HubLibraryState& State() {
    static HubLibraryState state;
    return state;
}

} // namespace

HubEntryPoints HubEntryPoints::Resolve(const LoadedLibrary& library) {
    HubEntryPoints e;
    e.CreateDeviceTreeUI = library.Resolve<CreateDeviceTreeUIFn>("CreateDeviceTreeUI");
    e.FinishedUsingDeviceTreeUI =
        library.Resolve<FinishedUsingDeviceTreeUIFn>("FinishedUsingDeviceTreeUI");
    e.RegisterNotificationCallback =
        library.Resolve<RegisterNotificationCallbackFn>("RegisterNotificationCallback");
    e.IsProgrammerManagerRunning =
        library.Resolve<IsProgrammerManagerRunningFn>("IsProgrammerManagerRunning");
    e.StartProgrammerManager = library.Resolve<StartProgrammerManagerFn>("StartProgrammerManager");
    e.StopProgrammerManager = library.Resolve<StopProgrammerManagerFn>("StopProgrammerManager");
    e.GetStorageMode = library.Resolve<GetStorageModeFn>("GetStorageMode");
    e.SetStorageMode = library.Resolve<SetStorageModeFn>("SetStorageMode");
    e.SetValidationMethod = library.Resolve<SetValidationMethodFn>("SetValidationMethod");
    e.SetConfigurationBlock = library.Resolve<SetConfigurationBlockFn>("SetConfigurationBlock");
    e.SetFirmwarImage = library.Resolve<SetFirmwarImageFn>("SetFirmwarImage");
    e.GetHubStatus = library.Resolve<GetHubStatusFn>("GetHubStatus");
    e.SetProgrammingRequired = library.Resolve<SetProgrammingRequiredFn>("SetProgrammingRequired");
    e.GetUUID = library.Resolve<GetUUIDFn>("GetUUID");
    e.CanDeviceBeRemoved = library.Resolve<CanDeviceBeRemovedFn>("CanDeviceBeRemoved");
    e.IsNewDevice = library.Resolve<IsNewDeviceFn>("IsNewDevice");
    e.GetDeviceIndicesUI = library.Resolve<GetDeviceIndicesUIFn>("GetDeviceIndicesUI");
    e.DumpOTP = library.Resolve<DumpOTPFn>("DumpOTP");
    return e;
}

namespace hublibrary {

LoadedLibrary* Handle() {
    return State().handle.get();
}

bool TakeHandle() {
    HubLibraryState& state = State();
    if (state.handle == nullptr) {
        auto library = std::make_unique<LoadedLibrary>(QString::fromLatin1(hubabi::kLibraryName));
        if (!library->Load()) {
            return false;
        }
        state.entries = HubEntryPoints::Resolve(*library);
        state.handle = std::move(library);
    }
    return true;
}

void DropHandle() {
    HubLibraryState& state = State();
    state.handle.reset(); // a handle's destructor leaves the library loaded
    state.entries = HubEntryPoints{};
    state.currentTree = nullptr;
}

const HubEntryPoints& Entries() {
    return State().entries;
}

hubabi::IDeviceTree* CurrentDeviceTree() {
    return State().currentTree;
}

hubabi::IDeviceTree* FetchDeviceTree() {
    HubLibraryState& state = State();
    if (state.handle == nullptr || state.entries.CreateDeviceTreeUI == nullptr) {
        return nullptr;
    }
    state.currentTree = state.entries.CreateDeviceTreeUI();
    return state.currentTree;
}

int LastDetectedPartType() {
    return State().lastDetectedPartType;
}

void SetLastDetectedPartType(int partType) {
    State().lastDetectedPartType = partType;
}

} // namespace hublibrary
