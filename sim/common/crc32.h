// CRC-32 (the common reflected polynomial 0xEDB88320, initial value and final xor all ones),
// the checksum of a configuration block.
#pragma once

#include <cstddef>
#include <cstdint>

namespace simcfg {

uint32_t Crc32(const uint8_t* data, std::size_t size);

} // namespace simcfg
