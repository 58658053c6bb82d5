#include "sim/common/utf_text.h"

namespace simcfg {

namespace {

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0U) == 0x80U;
}

bool IsControl(char32_t codePoint) {
    return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
}

} // namespace

bool DecodeUtf8(std::string_view text, std::size_t& pos, char32_t& codePoint) {
    if (pos >= text.size()) {
        return false;
    }
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (lead < 0x80U) {
        codePoint = lead;
        ++pos;
        return true;
    } else if ((lead & 0xE0U) == 0xC0U) {
        length = 2;
        value = lead & 0x1FU;
        minimum = 0x80;
    } else if ((lead & 0xF0U) == 0xE0U) {
        length = 3;
        value = lead & 0x0FU;
        minimum = 0x800;
    } else if ((lead & 0xF8U) == 0xF0U) {
        length = 4;
        value = lead & 0x07U;
        minimum = 0x10000;
    } else {
        return false;
    }
    if (text.size() - pos < length) {
        return false;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[pos + i]);
        if (!IsContinuation(byte)) {
            return false;
        }
        value = (value << 6) | (byte & 0x3FU);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return false;
    }
    codePoint = value;
    pos += length;
    return true;
}

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0U | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80U | (codePoint & 0x3FU)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0U | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80U | ((codePoint >> 6) & 0x3FU)));
        out.push_back(static_cast<char>(0x80U | (codePoint & 0x3FU)));
    } else {
        out.push_back(static_cast<char>(0xF0U | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80U | ((codePoint >> 12) & 0x3FU)));
        out.push_back(static_cast<char>(0x80U | ((codePoint >> 6) & 0x3FU)));
        out.push_back(static_cast<char>(0x80U | (codePoint & 0x3FU)));
    }
}

std::string DeviceTextError(std::string_view utf8, std::size_t maxUnits) {
    if (utf8.empty()) {
        return "is empty";
    }
    std::size_t units = 0;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t codePoint = 0;
        if (!DecodeUtf8(utf8, pos, codePoint)) {
            return "is not valid UTF-8";
        }
        if (IsControl(codePoint)) {
            return "contains a control character";
        }
        units += codePoint >= 0x10000 ? 2 : 1;
    }
    if (units > maxUnits) {
        return "is longer than " + std::to_string(maxUnits) + " characters";
    }
    return {};
}

} // namespace simcfg
