// UTF-16 text of the library ABI to and from QString.
#pragma once

#include <QString>

#include <cstddef>

// A NUL-terminated UTF-16 text from the library; null reads as empty.
inline QString FromUtf16(const char16_t* text) {
    return text != nullptr ? QString::fromUtf16(text) : QString();
}

// At most maxUnits units of a UTF-16 text that may lack its terminator.
inline QString FromUtf16Bounded(const char16_t* text, std::size_t maxUnits) {
    if (text == nullptr) {
        return QString();
    }
    std::size_t length = 0;
    while (length < maxUnits && text[length] != u'\0') {
        ++length;
    }
    return QString::fromUtf16(text, static_cast<qsizetype>(length));
}

// The QString's UTF-16 units with a terminator, for calls that take const char16_t*.
inline const char16_t* Utf16(const QString& text) {
    return reinterpret_cast<const char16_t*>(text.utf16());
}
