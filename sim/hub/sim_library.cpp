#include "sim/hub/sim_library.h"

#include "sim/common/config_payload.h"
#include "sim/hub/bench_file_reader.h"
#include "sim/hub/default_bench.h"
#include "sim/hub/diagnostics.h"
#include "sim/hub/hub_family.h"
#include "sim/hub/otp_dump_writer.h"
#include "sim/hub/state_files.h"
#include "sim/hub/utf16_text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace simhub {

namespace {

// Longest text read from a NUL-terminated argument.
constexpr std::size_t kMaxArgumentUnits = 4096;

// The bench file named by TESSARO_SIM_BENCH, or the built-in bench when it is not set. A bad
// file gives an empty bench (no controller) and one line on stderr.
BenchDescription LoadConfiguredBench() {
    const char* file = std::getenv("TESSARO_SIM_BENCH");
    if (file == nullptr || *file == '\0') {
        BenchReadResult builtIn = ParseBenchText(DefaultBenchText());
        if (!builtIn.bench) {
            Complain("built-in bench: " + builtIn.error);
            return {};
        }
        return std::move(*builtIn.bench);
    }
    BenchReadResult result = ReadBenchFile(file);
    if (!result.bench) {
        Complain(result.error + " (the bench is empty)");
        return {};
    }
    return std::move(*result.bench);
}

const char* PayloadKindName(simcfg::PayloadKind kind) {
    switch (kind) {
    case simcfg::PayloadKind::ConfigBlock:
        return "configuration block";
    case simcfg::PayloadKind::ConfigFile:
        return "configuration file";
    case simcfg::PayloadKind::Opaque:
        break;
    }
    return "opaque block";
}

} // namespace

SimLibrary& SimLibrary::Instance() {
    static SimLibrary library(LoadConfiguredBench(), ConfiguredStateFolder());
    return library;
}

SimLibrary::SimLibrary(BenchDescription bench, std::filesystem::path stateFolder)
    : stateFolder_(std::move(stateFolder)), bench_(bench), memory_(stateFolder_),
      manager_(mutex_, bench_, events_, HubMemoryStore(stateFolder_),
               ProgrammingRecord(stateFolder_), std::move(bench.timeline)) {}

SimLibrary::~SimLibrary() {
    manager_.Shutdown();
}

hubabi::IDeviceTree* SimLibrary::CreateDeviceTree() {
    std::lock_guard<std::mutex> lock(mutex_);
    return snapshots_.Current(bench_);
}

void SimLibrary::FinishedUsingDeviceTree() {
    std::lock_guard<std::mutex> lock(mutex_);
    snapshots_.KeepNewestOnly();
}

void SimLibrary::RegisterCallback(hubabi::NotificationCallback callback) {
    events_.Register(callback);
}

int32_t SimLibrary::IsManagerRunning() {
    std::lock_guard<std::mutex> lock(mutex_);
    return manager_.Running() ? 1 : 0;
}

int32_t SimLibrary::StartManager(int32_t once) {
    std::lock_guard<std::mutex> lock(mutex_);
    return manager_.Start(once);
}

int32_t SimLibrary::StopManager() {
    std::lock_guard<std::mutex> lock(mutex_);
    return manager_.Stop();
}

int32_t SimLibrary::GetStorageMode(int32_t controller, int32_t device) {
    std::lock_guard<std::mutex> lock(mutex_);
    const LiveDevice* hub = bench_.FindHub(controller, device);
    return hub != nullptr ? hub->storageMode : hubabi::kStorageNone;
}

int32_t SimLibrary::SetStorageMode(int32_t controller, int32_t device, int32_t mode) {
    std::lock_guard<std::mutex> lock(mutex_);
    LiveDevice* hub = bench_.FindHub(controller, device);
    if (hub == nullptr) {
        return 2;
    }
    if (mode < hubabi::kStorageSpiPartialCfg || mode > hubabi::kStorageNone) {
        return 1;
    }
    hub->storageMode = mode;
    return 0;
}

void SimLibrary::SetValidationMethod(int32_t controller, int32_t device, int32_t method) {
    std::lock_guard<std::mutex> lock(mutex_);
    LiveDevice* hub = bench_.FindHub(controller, device);
    if (hub != nullptr && (method == hubabi::kValidateVerify || method == hubabi::kValidateNone)) {
        hub->validation = method;
    }
}

int32_t SimLibrary::SetConfigurationBlock(int32_t controller, int32_t device, const uint8_t* bytes,
                                          uint32_t size) {
    if (bytes == nullptr && size > 0) {
        return kSetRefused;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    LiveDevice* hub = bench_.FindHub(controller, device);
    if (hub == nullptr) {
        return kSetNoSuchHub;
    }
    const simcfg::PayloadInfo info =
        simcfg::InspectConfigurationPayload(bytes, size, IsAsterFamily(hub->spec.instanceId));
    if (!info.accepted) {
        return kSetRefused;
    }
    Payload payload;
    payload.bytes.assign(bytes, bytes + size);
    payload.kind = PayloadKindName(info.kind);
    payload.serial = info.serial;
    return Prepare(*hub, std::move(payload));
}

int32_t SimLibrary::SetFirmwareImage(int32_t controller, int32_t device, const uint8_t* bytes,
                                     uint32_t size) {
    std::lock_guard<std::mutex> lock(mutex_);
    LiveDevice* hub = bench_.FindHub(controller, device);
    if (hub == nullptr) {
        return kSetNoSuchHub;
    }
    if (bytes == nullptr || size == 0) {
        return kSetRefused;
    }
    Payload payload;
    payload.bytes.assign(bytes, bytes + size);
    payload.kind = "image";
    return Prepare(*hub, std::move(payload));
}

int32_t SimLibrary::Prepare(LiveDevice& hub, Payload payload) {
    if (hub.busy) {
        return kSetHubBusy;
    }
    hub.prepared = std::move(payload);
    manager_.WorkArrived();
    return kSetAccepted;
}

int32_t SimLibrary::GetHubStatus(int32_t controller, int32_t device) {
    std::lock_guard<std::mutex> lock(mutex_);
    const LiveDevice* hub = bench_.FindHub(controller, device);
    return hub != nullptr ? hub->status : hubabi::kStatusNewUnprogrammed;
}

void SimLibrary::SetProgrammingRequired(int32_t controller, int32_t device, int32_t flag) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (LiveDevice* hub = bench_.FindHub(controller, device)) {
        hub->programmingRequired = flag != 0;
    }
}

int32_t SimLibrary::GetUuid(int32_t controller, int32_t device, uint8_t* buffer,
                            int32_t bufferSize) {
    if (buffer == nullptr || bufferSize < 16) {
        return -1;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    const LiveDevice* found = bench_.Find(controller, device);
    if (found == nullptr) {
        return -2;
    }
    if (!found->spec.uuid) {
        return -3;
    }
    std::memcpy(buffer, found->spec.uuid->data(), found->spec.uuid->size());
    return 16;
}

int32_t SimLibrary::CanDeviceBeRemoved(int32_t controller, int32_t device) {
    std::lock_guard<std::mutex> lock(mutex_);
    const LiveDevice* found = bench_.Find(controller, device);
    return found != nullptr && !found->busy ? 1 : 0;
}

int32_t SimLibrary::IsNewDevice(int32_t controller, int32_t device) {
    std::lock_guard<std::mutex> lock(mutex_);
    const LiveDevice* hub = bench_.FindHub(controller, device);
    if (hub == nullptr) {
        return 0;
    }
    return !manager_.Running() || hub->arrivedDuringRun ? 1 : 0;
}

int32_t SimLibrary::GetDeviceIndices(const char16_t* path, int32_t* controller, int32_t* device) {
    if (path == nullptr || controller == nullptr || device == nullptr) {
        return 0;
    }
    const std::u16string_view text = TerminatedText(path, kMaxArgumentUnits);
    std::lock_guard<std::mutex> lock(mutex_);
    const auto where = bench_.Locate(text);
    if (!where) {
        return 0;
    }
    *controller = where->controller;
    *device = where->position;
    return 1;
}

void SimLibrary::DumpOtp(const char16_t* path, int32_t pathLength, const char16_t* deviceName,
                         const char16_t* portName) {
    if (path == nullptr || pathLength <= 0) {
        Complain("DumpOTP: no device path given");
        return;
    }
    const std::u16string_view text = TerminatedText(path, static_cast<std::size_t>(pathLength));
    OtpDumpRequest request;
    request.devicePath = Utf16ToUtf8(text);
    request.deviceName = Utf16ToUtf8(TerminatedText(deviceName, kMaxArgumentUnits));
    request.portName = Utf16ToUtf8(TerminatedText(portName, kMaxArgumentUnits));
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto where = bench_.Locate(text);
        const LiveDevice* hub =
            where ? bench_.FindHub(where->controller, where->position) : nullptr;
        if (hub == nullptr || !hub->spec.uuid) {
            Complain("DumpOTP: no hub with path \"" + request.devicePath + "\"");
            return;
        }
        request.uuid = *hub->spec.uuid;
        request.otpWrites = hub->spec.otpWrites;
        request.otpSize = hub->spec.otpSize;
    }
    HubMemoryState memory;
    std::string error;
    if (!memory_.Load(request.uuid, memory, error)) {
        Complain("DumpOTP: " + error);
        return;
    }
    const auto file = OtpDumpFile(stateFolder_, request);
    if (error = WriteFileAtomically(file, FormatOtpDump(request, memory)); !error.empty()) {
        Complain("DumpOTP: " + error);
    }
}

} // namespace simhub
