#include "sim/hub/hub_family.h"

#include <algorithm>
#include <array>

namespace simhub {

namespace {

constexpr std::array<uint16_t, 7> kAsterFamilyProducts = {0x7110, 0x7111, 0x7112, 0x7205,
                                                          0x7305, 0x7401, 0x7402};

bool ReadHex4(const std::u16string& text, std::size_t pos, uint16_t& value) {
    if (pos + 4 > text.size()) {
        return false;
    }
    value = 0;
    for (std::size_t i = pos; i < pos + 4; ++i) {
        const char16_t c = text[i];
        int digit = -1;
        if (c >= u'0' && c <= u'9') {
            digit = c - u'0';
        } else if (c >= u'a' && c <= u'f') {
            digit = c - u'a' + 10;
        } else if (c >= u'A' && c <= u'F') {
            digit = c - u'A' + 10;
        } else {
            return false;
        }
        value = static_cast<uint16_t>(value * 16 + digit);
    }
    return true;
}

bool StartsWithIgnoringCase(const std::u16string& text, std::size_t pos, std::u16string_view what) {
    if (pos + what.size() > text.size()) {
        return false;
    }
    for (std::size_t i = 0; i < what.size(); ++i) {
        char16_t c = text[pos + i];
        if (c >= u'a' && c <= u'z') {
            c = static_cast<char16_t>(c - 0x20);
        }
        if (c != what[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<UsbIds> ParseUsbIds(const std::optional<std::u16string>& instanceId) {
    if (!instanceId) {
        return std::nullopt;
    }
    const std::u16string& text = *instanceId;
    UsbIds ids;
    if (!StartsWithIgnoringCase(text, 0, u"USB\\VID_") || !ReadHex4(text, 8, ids.vendorId) ||
        !StartsWithIgnoringCase(text, 12, u"&PID_") || !ReadHex4(text, 17, ids.productId)) {
        return std::nullopt;
    }
    return ids;
}

bool IsAsterFamily(const std::optional<std::u16string>& instanceId) {
    const auto ids = ParseUsbIds(instanceId);
    return ids && ids->vendorId == kKelvaneVendorId &&
           std::find(kAsterFamilyProducts.begin(), kAsterFamilyProducts.end(), ids->productId) !=
               kAsterFamilyProducts.end();
}

} // namespace simhub
