// Character counting and cutting of UTF-8 text for the trace log. The log's limits (budget,
// line length, scope name) are in characters, and a cut must never split a character.
#pragma once

#include <cstddef>
#include <string_view>

namespace utf8 {

// Bytes of the character starting at text[pos]: a lead byte with the continuation bytes it
// announces (as far as they follow); any other byte stands alone. Broken text thus still
// counts at least one character per four bytes, which keeps every limit a real bound.
inline std::size_t CharacterSize(std::string_view text, std::size_t pos) {
    const unsigned char lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0xC0 || lead > 0xF7) {
        return 1;
    }
    const std::size_t expected = lead >= 0xF0 ? 4 : (lead >= 0xE0 ? 3 : 2);
    std::size_t size = 1;
    while (size < expected && pos + size < text.size() &&
           (static_cast<unsigned char>(text[pos + size]) & 0xC0) == 0x80) {
        ++size;
    }
    return size;
}

inline std::size_t CountCharacters(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += CharacterSize(text, pos)) {
        ++count;
    }
    return count;
}

// Bytes of the first maxCharacters characters of text (all of it when shorter).
inline std::size_t PrefixBytes(std::string_view text, std::size_t maxCharacters) {
    std::size_t pos = 0;
    for (std::size_t count = 0; count < maxCharacters && pos < text.size(); ++count) {
        pos += CharacterSize(text, pos);
    }
    return pos;
}

} // namespace utf8
