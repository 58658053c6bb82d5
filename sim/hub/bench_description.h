// The bench as a bench file describes it: host controllers with the devices behind them, and
// a timeline of boards that leave and arrive while the bench runs. docs/simulator.md gives
// the file format; bench_file_reader.cpp turns a file into this, bench_validator.cpp checks
// that the whole timeline stays a valid tree.
#pragma once

#include "hub/hub_abi.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace simhub {

// What the simulated board does wrong when it is handled (docs/simulator.md, "Faults").
enum class Fault { None, Open, Program, Verify, Spi, Space, OtpFull };

// Bench file defaults and limits.
inline constexpr uint32_t kDefaultProgrammingMs = 250;
inline constexpr uint32_t kDefaultOtpWrites = 4;
inline constexpr uint32_t kDefaultOtpSize = 4096;
inline constexpr uint32_t kDefaultSpiSize = 256 * 1024;
inline constexpr uint32_t kMaxProgrammingMs = 600000;
inline constexpr uint32_t kMaxMemorySize = 64 * 1024 * 1024;
inline constexpr int32_t kMaxPosition = 65535;
inline constexpr std::size_t kMaxControllers = 64;
inline constexpr std::size_t kMaxTimelineEntries = 100000;
inline constexpr uint32_t kMaxTimelineMs = 7 * 24 * 3600 * 1000U;
// A device path must fit the status block with its terminator.
inline constexpr std::size_t kMaxPathUnits = hubabi::kStatusBlockPathUnits - 1;
inline constexpr std::size_t kMaxTextUnits = 1024;

using Uuid = std::array<uint8_t, 16>;

struct DeviceSpec {
    int32_t position = 0;
    int32_t parent = 0;
    int32_t type = hubabi::kDeviceTypeDevice;
    std::optional<std::u16string> instanceId; // absent: GetInstanceId gives null
    std::u16string description;
    std::u16string path;
    std::optional<Uuid> uuid;
    int32_t storageMode = hubabi::kStorageNone;
    Fault fault = Fault::None;
    uint32_t programmingMs = kDefaultProgrammingMs;
    uint32_t otpWrites = kDefaultOtpWrites;
    uint32_t otpSize = kDefaultOtpSize;
    uint32_t spiSize = kDefaultSpiSize;

    bool IsHub() const { return type == hubabi::kDeviceTypeHub; }
};

struct ControllerSpec {
    std::u16string description;
    std::u16string path;
    std::optional<std::u16string> instanceId;
    std::vector<DeviceSpec> devices;
};

struct TimelineEntry {
    enum class Kind { Remove, Arrive };
    uint32_t atMs = 0;
    Kind kind = Kind::Remove;
    std::u16string removePath; // Remove: the path of the device that leaves
    int32_t controller = 0;    // Arrive: the controller it arrives on
    DeviceSpec device;         // Arrive: the device
    std::string where;         // "timeline[3]", for error messages
};

struct BenchDescription {
    std::vector<ControllerSpec> controllers;
    std::vector<TimelineEntry> timeline; // in time order (file order among equal times)
};

} // namespace simhub
