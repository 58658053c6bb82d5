// The simulated hub programmer library as one object: the bench (from TESSARO_SIM_BENCH or
// the built-in default), the device tree snapshots, the hub settings, the programmer manager
// and the callback. Every export of exports.cpp forwards to one member. One mutex guards the
// bench; the programmer manager's thread shares it and calls back only with it released.
#pragma once

#include "sim/hub/event_sink.h"
#include "sim/hub/hub_memory.h"
#include "sim/hub/live_bench.h"
#include "sim/hub/programmer_manager.h"
#include "sim/hub/snapshot_cache.h"

#include <filesystem>
#include <mutex>

namespace simhub {

// Results of SetConfigurationBlock and SetFirmwarImage.
inline constexpr int32_t kSetAccepted = 0;
inline constexpr int32_t kSetNoSuchHub = 1;
inline constexpr int32_t kSetRefused = 2;
inline constexpr int32_t kSetHubBusy = 3;

class SimLibrary {
public:
    // The process's library object, built on first use and destroyed at unload or exit
    // (which stops the programmer manager without calling back).
    static SimLibrary& Instance();

    SimLibrary(const SimLibrary&) = delete;
    SimLibrary& operator=(const SimLibrary&) = delete;
    ~SimLibrary();

    hubabi::IDeviceTree* CreateDeviceTree();
    void FinishedUsingDeviceTree();
    void RegisterCallback(hubabi::NotificationCallback callback);
    int32_t IsManagerRunning();
    int32_t StartManager(int32_t once);
    int32_t StopManager();
    int32_t GetStorageMode(int32_t controller, int32_t device);
    int32_t SetStorageMode(int32_t controller, int32_t device, int32_t mode);
    void SetValidationMethod(int32_t controller, int32_t device, int32_t method);
    int32_t SetConfigurationBlock(int32_t controller, int32_t device, const uint8_t* bytes,
                                  uint32_t size);
    int32_t SetFirmwareImage(int32_t controller, int32_t device, const uint8_t* bytes,
                             uint32_t size);
    int32_t GetHubStatus(int32_t controller, int32_t device);
    void SetProgrammingRequired(int32_t controller, int32_t device, int32_t flag);
    int32_t GetUuid(int32_t controller, int32_t device, uint8_t* buffer, int32_t bufferSize);
    int32_t CanDeviceBeRemoved(int32_t controller, int32_t device);
    int32_t IsNewDevice(int32_t controller, int32_t device);
    int32_t GetDeviceIndices(const char16_t* path, int32_t* controller, int32_t* device);
    void DumpOtp(const char16_t* path, int32_t pathLength, const char16_t* deviceName,
                 const char16_t* portName);

private:
    SimLibrary(BenchDescription bench, std::filesystem::path stateFolder);
    // Takes the block or image for the hub (mutex held).
    int32_t Prepare(LiveDevice& hub, Payload payload);

    const std::filesystem::path stateFolder_;
    std::mutex mutex_;
    LiveBench bench_;
    SnapshotCache snapshots_;
    EventSink events_;
    const HubMemoryStore memory_;
    ProgrammerManager manager_;
};

} // namespace simhub
