// A colour as the tool's tables give it: red, green and blue, 0-255 each. The engine has no
// GUI types; the window turns these into its own colours.
#pragma once

#include <cstdint>

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;

    friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};
