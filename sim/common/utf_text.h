// Strict UTF-8 / UTF-16 helpers for the texts of the configuration formats (device strings and
// serial numbers). Overlong forms, surrogates and values past U+10FFFF are refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace simcfg {

// Decodes one code point of UTF-8 at text[pos]; on success advances pos and returns true.
bool DecodeUtf8(std::string_view text, std::size_t& pos, char32_t& codePoint);

// Appends the UTF-8 form of a valid code point.
void AppendUtf8(std::string& out, char32_t codePoint);

// Why a device string or serial text is not acceptable ("" when it is): it must be valid
// UTF-8, not empty, at most maxUnits UTF-16 code units long and free of control characters.
std::string DeviceTextError(std::string_view utf8, std::size_t maxUnits);

} // namespace simcfg
