// What the simulated hub makes of the bytes the tool hands to SetConfigurationBlock.
// Implemented next to the configuration file format (sim/common), used by the simulated hub
// library to accept or refuse a block and to learn the serial number built into it.
#pragma once

#include "sim/common/config_file.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace simcfg {

enum class PayloadKind {
    ConfigBlock, // a block built by the parser library (our header, intact)
    ConfigFile,  // the bytes of a .cfg file that parses, sent unchanged (no serial)
    Opaque,      // any other non-empty bytes; only Aster-family hubs take them
};

struct PayloadInfo {
    bool accepted = false;
    PayloadKind kind = PayloadKind::Opaque;
    std::string serial; // UTF-8; the serial built into a block, empty otherwise
    std::string error;  // why the bytes were refused
    // The hub settings a block or file carries (absent for a serial-only block, opaque bytes
    // and refused payloads).
    std::optional<HubSettings> settings;
};

// Refuses a zero-length payload, a block with our header that is damaged, a .cfg that does
// not parse, and opaque bytes unless opaqueAllowed. Bytes that start with the block magic are
// judged as a block; other bytes that are all text are judged as a configuration file; the
// rest are opaque.
PayloadInfo InspectConfigurationPayload(const uint8_t* data, std::size_t size, bool opaqueAllowed);

} // namespace simcfg
