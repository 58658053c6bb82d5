// UTF-16 helpers of the simulated hub library: the ABI speaks char16_t, bench files and the
// files the library writes are UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace simhub {

// UTF-8 to UTF-16; a malformed sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

// The text as device paths are compared: letters of ASCII and Latin-1 folded to lower case.
std::u16string FoldCase(std::u16string_view text);

// The NUL-terminated text at `text`, reading at most maxUnits units; empty for null.
std::u16string_view TerminatedText(const char16_t* text, std::size_t maxUnits);

} // namespace simhub
