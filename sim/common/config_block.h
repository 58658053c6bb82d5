// The configuration block handed to a hub: a 16-byte header (magic, format version, header
// size, total length, CRC-32 of everything after the header) followed by tagged records (tag
// byte, length byte, value) holding the hub settings of a configuration file and/or the serial
// number. All numbers are little-endian. docs/config-format.md describes the layout.
#pragma once

#include "sim/common/config_file.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace simcfg {

// The first byte is not ASCII, so no text file starts like a block.
inline constexpr std::array<uint8_t, 4> kBlockMagic = {0x89, 'K', 'C', 'B'};
inline constexpr uint16_t kBlockFormatVersion = 1;
inline constexpr std::size_t kBlockHeaderSize = 16;

// Header field offsets.
inline constexpr std::size_t kBlockVersionOffset = 4;
inline constexpr std::size_t kBlockHeaderSizeOffset = 6;
inline constexpr std::size_t kBlockLengthOffset = 8;
inline constexpr std::size_t kBlockCrcOffset = 12;

enum class BlockTag : uint8_t {
    UsbIds = 0x01,       // vendor ID, product ID (2 x uint16)
    Manufacturer = 0x02, // UTF-8
    Product = 0x03,      // UTF-8
    HubOptions = 0x04,   // port count (uint8), flags (uint8: bit 0 self-powered)
    Port = 0x05,         // port number from 1 (uint8), flags (uint8: bit 0 enabled, bit 1
                         // removable), maximum current in mA (uint16)
    Serial = 0x10,       // UTF-8
};

struct ConfigBlockContent {
    std::optional<HubSettings> settings; // absent in a serial-only block
    std::string serial;                  // UTF-8; empty in a block without serial
};

// Encodes settings (optional) and a serial (may be empty). Both must already be valid (as
// ParseConfigFile and SerialFromUtf16 give them).
std::vector<uint8_t> EncodeConfigBlock(const HubSettings* settings, const std::string& serial);

struct BlockBuildResult {
    bool ok = false;
    std::vector<uint8_t> block;
    std::string error;
};

// Builds the block for a configuration file's bytes and a serial (UTF-8, already checked).
// An empty file (size 0) gives a serial-only block; an empty serial gives a block without
// serial; a file that does not parse, or nothing at all to build, is an error.
BlockBuildResult BuildConfigBlock(const uint8_t* file, std::size_t fileSize,
                                  const std::string& serial);

struct BlockDecodeResult {
    bool ok = false;
    ConfigBlockContent content;
    std::string error;
};

// Checks and decodes a whole block: header, exact length, checksum and every record.
BlockDecodeResult DecodeConfigBlock(const uint8_t* data, std::size_t size);

// True when the bytes start with the block magic, or are a non-empty prefix of it (a block
// cut short).
bool StartsLikeConfigBlock(const uint8_t* data, std::size_t size);

} // namespace simcfg
