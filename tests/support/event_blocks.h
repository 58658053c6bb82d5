// Library event blocks made by hand as the library makes them (std::malloc; the receiver
// frees them).
#pragma once

#include "hub/hub_abi.h"

#include <QString>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace testsupport {

// A status block (events 0 and 1) for `path`. With `terminate` false the path fills the
// whole path area without a terminator (units beyond the text are 'Z').
inline void* MakeStatusBlock(const QString& path, int32_t status, bool terminate = true) {
    auto* block = static_cast<hubabi::StatusBlock*>(std::malloc(sizeof(hubabi::StatusBlock)));
    std::memset(block, 0, sizeof *block);
    const std::size_t room = hubabi::kStatusBlockPathUnits - (terminate ? 1 : 0);
    const std::size_t units = std::min(static_cast<std::size_t>(path.size()), room);
    std::memcpy(block->devicePath, path.utf16(), units * sizeof(char16_t));
    if (!terminate) {
        std::fill(block->devicePath + units, block->devicePath + hubabi::kStatusBlockPathUnits,
                  u'Z');
    }
    block->hubStatus = status;
    return block;
}

// A text block (events 2 and 3): the NUL-terminated path.
inline void* MakeTextBlock(const QString& text) {
    const std::size_t bytes = (static_cast<std::size_t>(text.size()) + 1) * sizeof(char16_t);
    auto* block = static_cast<char16_t*>(std::malloc(bytes));
    std::memcpy(block, text.utf16(), bytes);
    return block;
}

} // namespace testsupport
