// The hub settings configuration file (.cfg): INI-like "key = value" lines in a [hub] section
// and optional [port N] sections, '#' comments. It never carries a serial number: the tool
// builds one into each hub's configuration block. docs/config-format.md describes the format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace simcfg {

inline constexpr std::size_t kMaxConfigFileSize = 64 * 1024;
inline constexpr std::size_t kMaxDeviceStringCharacters = 31;
inline constexpr unsigned kMaxPorts = 15;
inline constexpr unsigned kDefaultPorts = 4;
inline constexpr unsigned kMaxPortCurrentMilliamps = 3000;

struct PortSettings {
    bool enabled = true;
    bool removable = true;
    uint16_t maxCurrentMilliamps = 500;

    bool operator==(const PortSettings&) const = default;
};

struct HubSettings {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::string manufacturer; // UTF-8, empty when the file gives none
    std::string product;      // UTF-8, empty when the file gives none
    bool selfPowered = true;
    std::vector<PortSettings> ports; // one per downstream port, port 1 first

    bool operator==(const HubSettings&) const = default;
};

struct ConfigFileResult {
    bool ok = false;
    HubSettings settings;
    int line = 0;       // 1-based line of the first error; 0 when it concerns the whole file
    std::string reason; // what is wrong there

    // "line 3: reason", or the reason alone for a whole-file error.
    std::string Message() const;
};

// Parses a configuration file's bytes (UTF-8, optional byte order mark, LF or CRLF lines).
// Stops at the first error. A null pointer reads as an empty file.
ConfigFileResult ParseConfigFile(const uint8_t* data, std::size_t size);

// True when the bytes are text as a configuration file would be: valid UTF-8 without NUL or
// control characters other than tab, carriage return and line feed.
bool LooksLikeConfigText(const uint8_t* data, std::size_t size);

} // namespace simcfg
