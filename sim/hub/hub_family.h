// Which hub family a board belongs to, from the USB IDs in its instance ID
// ("USB\VID_5A17&PID_7111\...").
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace simhub {

inline constexpr uint16_t kKelvaneVendorId = 0x5A17;

struct UsbIds {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
};

// The IDs of an instance ID that starts with "USB\VID_xxxx&PID_xxxx" (hex, any case).
std::optional<UsbIds> ParseUsbIds(const std::optional<std::u16string>& instanceId);

// Aster family (Aster, Birch, Cedar, Dahlia, Elder): these hubs also take opaque blocks.
bool IsAsterFamily(const std::optional<std::u16string>& instanceId);

} // namespace simhub
