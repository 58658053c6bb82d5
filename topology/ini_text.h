// Byte-level text rules of the INI layer: blanks, name matching, integer reading and the
// decoding of the values it hands out. The files are handled as bytes; only values and names
// that reach a caller are decoded.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ini {

// The bytes of a QByteArray as a view, valid while the array lives unchanged.
inline std::string_view ViewOf(const QByteArray& bytes) {
    return std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// Space and tab surround names and values without being part of them.
inline bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text);

inline char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool IsAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

// Equal when only the case of ASCII letters differs.
inline bool AsciiEqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

// True when the bytes form valid UTF-8 (no overlong forms, surrogates or values past
// U+10FFFF).
bool IsValidUtf8(std::string_view text);

// Section and key names match without regard to case: ASCII letters always, other letters
// when the name is valid UTF-8 (Unicode case folding). The folded form is what equal names
// share.
std::string FoldName(std::string_view name);
bool NamesEqual(std::string_view a, std::string_view b);
// A hash of the folded name: equal for names that NamesEqual matches.
std::uint64_t HashName(std::string_view name);

// A value as text: UTF-8 when it is valid UTF-8, otherwise one character per byte
// (Latin-1), so that a file written in an 8-bit code page still reads sensibly.
QString DecodeText(std::string_view bytes);
QByteArray EncodeText(const QString& text);

// Reads an integer as the classic profile call does: leading blanks, an optional sign, then
// decimal digits up to the first other character; no digits gives 0; the result is clamped
// to the int range.
int ParseProfileInt(std::string_view text);
// An integer key as the classic call reads it: the default when the key is absent or its
// value empty, otherwise ParseProfileInt of the value.
int ReadProfileInt(std::optional<std::string_view> value, int defaultValue);

} // namespace ini
