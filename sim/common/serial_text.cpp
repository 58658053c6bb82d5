#include "sim/common/serial_text.h"

#include "sim/common/utf_text.h"

namespace simcfg {

namespace {

SerialText Refused(std::string why) {
    SerialText result;
    result.error = "serial number " + why;
    return result;
}

} // namespace

SerialText SerialFromUtf16(const char16_t* text, int32_t length) {
    if (length < 0) {
        return Refused("has a negative length");
    }
    if (length == 0) {
        SerialText none;
        none.ok = true;
        return none;
    }
    if (text == nullptr) {
        return Refused("text is missing (null with a length of " + std::to_string(length) + ")");
    }
    // A terminator or two counted in the length is tolerated; look at no more than one
    // character past the limit before deciding, so a huge length is never walked.
    auto used = static_cast<std::size_t>(length);
    if (used > 2 * kMaxSerialCharacters + 2) {
        return Refused("is longer than " + std::to_string(kMaxSerialCharacters) + " characters");
    }
    while (used > 0 && text[used - 1] == u'\0') {
        --used;
    }
    if (used == 0) {
        return Refused("is empty (only NUL characters)");
    }
    std::string utf8;
    for (std::size_t i = 0; i < used; ++i) {
        char32_t codePoint = text[i];
        if (codePoint == 0) {
            return Refused("contains a NUL character at position " + std::to_string(i + 1));
        }
        if (codePoint >= 0xD800 && codePoint <= 0xDBFF) {
            if (i + 1 >= used || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) {
                return Refused("contains a broken UTF-16 surrogate pair");
            }
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (codePoint >= 0xDC00 && codePoint <= 0xDFFF) {
            return Refused("contains a broken UTF-16 surrogate pair");
        }
        AppendUtf8(utf8, codePoint);
    }
    const std::string why = SerialUtf8Error(utf8);
    if (!why.empty()) {
        SerialText refused;
        refused.error = why;
        return refused;
    }
    SerialText result;
    result.ok = true;
    result.utf8 = std::move(utf8);
    return result;
}

std::string SerialUtf8Error(const std::string& utf8) {
    const std::string why = DeviceTextError(utf8, kMaxSerialCharacters);
    return why.empty() ? std::string() : "serial number " + why;
}

} // namespace simcfg
