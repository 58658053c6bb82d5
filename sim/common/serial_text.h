// The serial number text the tool hands to the parser library: UTF-16, a length in characters,
// no terminator needed. Built into a configuration block as UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace simcfg {

// A serial number holds at most this many UTF-16 characters (a USB string descriptor's worth
// on the hubs' memories).
inline constexpr std::size_t kMaxSerialCharacters = 31;

struct SerialText {
    bool ok = false;
    std::string utf8;  // the serial as UTF-8; empty when no serial was given
    std::string error; // why the text was refused
};

// Converts the tool's serial text. A length of 0 means no serial (ok, empty). Trailing NUL
// characters (a terminator counted in the length) are dropped; a NUL inside the text, a
// negative length, a null text with a positive length, a broken surrogate pair, a control
// character and more than kMaxSerialCharacters characters are refused. Reads nothing past
// `length` characters, and nothing at all when the length is out of range.
SerialText SerialFromUtf16(const char16_t* text, int32_t length);

// Why a UTF-8 serial read back from a block is not acceptable ("" when it is).
std::string SerialUtf8Error(const std::string& utf8);

} // namespace simcfg
