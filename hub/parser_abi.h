// The configuration file parser library's binary interface: one C export that creates a
// parser object, used through four virtual operations in interface order.
#pragma once

#include <cstdint>

namespace hubabi {

inline constexpr const char* kParserLibraryName = "ConfigFileParserDLL.dll";

class IConfigParser {
public:
    // Builds the configuration block from the configuration file's bytes and the serial text
    // (UTF-16, serialLength characters, no terminator needed). Returns 0 on success.
    virtual int32_t BuildBlock(const uint8_t* data, uint32_t size, char16_t* serial,
                               int32_t serialLength) = 0;
    // Size in bytes of the block built last (0 when none could be built).
    virtual uint32_t GetBlockSize() = 0;
    // Copies the block into buffer; the number of bytes copied, negative on failure
    // (a malformed file, no block, or a buffer that is too small).
    virtual int32_t CopyBlock(uint32_t bufferSize, uint8_t* buffer) = 0;
    // Destroys the parser (flags 1).
    virtual void Release(int32_t flags) = 0;

protected:
    ~IConfigParser() = default;
};

} // namespace hubabi

extern "C" {
using CreateParserFn = hubabi::IConfigParser* (*)(const uint8_t* data, uint32_t size,
                                                  char16_t* serial, int32_t serialLength,
                                                  int32_t reserved);
}
