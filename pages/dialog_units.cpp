#include "pages/dialog_units.h"

#include <cstdint>

int DialogBaseUnitX(int alphabetWidth) {
    return (alphabetWidth / 26 + 1) / 2;
}

int MulDivRound(int a, int b, int c) {
    if (c == 0) {
        return 0;
    }
    const int64_t product = static_cast<int64_t>(a) * b;
    const int64_t half = (c < 0 ? -c : c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const int64_t magnitude = (product < 0 ? -product : product) + half;
    const int64_t quotient = magnitude / (c < 0 ? -static_cast<int64_t>(c) : c);
    return static_cast<int>(negative ? -quotient : quotient);
}

PixelRect MapDialogRect(int x, int y, int width, int height, int baseX, int baseY) {
    PixelRect r;
    r.x = MulDivRound(x, baseX, 4);
    r.y = MulDivRound(y, baseY, 8);
    r.width = MulDivRound(width, baseX, 4);
    r.height = MulDivRound(height, baseY, 8);
    return r;
}
