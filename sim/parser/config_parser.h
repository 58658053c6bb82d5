// The parser object handed out by CreateParser: builds the configuration block for a
// configuration file and a serial number and hands out a copy of it.
#pragma once

#include "hub/parser_abi.h"

#include <cstdint>
#include <string>
#include <vector>

namespace simparser {

// Results of BuildBlock (0 = built) and CopyBlock (negative = nothing copied).
inline constexpr int32_t kBuildOk = 0;
inline constexpr int32_t kBuildBadFile = -1;
inline constexpr int32_t kBuildBadSerial = -2;
inline constexpr int32_t kBuildOutOfMemory = -3;
inline constexpr int32_t kCopyNoBlock = -1;
inline constexpr int32_t kCopyNoBuffer = -2;
inline constexpr int32_t kCopyBufferTooSmall = -3;

class CConfigParser final : public hubabi::IConfigParser {
public:
    CConfigParser() = default;
    CConfigParser(const CConfigParser&) = delete;
    CConfigParser& operator=(const CConfigParser&) = delete;

    // Builds a new block, replacing the previous one; on failure no block is held.
    int32_t BuildBlock(const uint8_t* data, uint32_t size, char16_t* serial,
                       int32_t serialLength) override;
    uint32_t GetBlockSize() override;
    int32_t CopyBlock(uint32_t bufferSize, uint8_t* buffer) override;
    // Destroys the parser, whatever the flags (the tool passes 1).
    void Release(int32_t flags) override;

    // Why the last build failed (empty after a successful build).
    const std::string& LastError() const { return error_; }

private:
    ~CConfigParser() = default;

    std::vector<uint8_t> block_;
    bool built_ = false;
    std::string error_;
};

} // namespace simparser
