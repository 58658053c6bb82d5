// Dialog units to pixels, the way the original platform converts them: the horizontal base
// unit is the font's average character width, the vertical one its character height; a
// dialog unit is a quarter of the first and an eighth of the second.
#pragma once

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The letters the average character width is measured over.
inline constexpr const char* kDialogUnitAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// The average character width from the width of kDialogUnitAlphabet (rounded up at .5).
int DialogBaseUnitX(int alphabetWidth);

// a * b / c rounded to the nearest integer (halves away from zero), in 64 bits.
int MulDivRound(int a, int b, int c);

// A rectangle in dialog units as pixels, for base units `baseX` (average character width)
// and `baseY` (character height).
PixelRect MapDialogRect(int x, int y, int width, int height, int baseX, int baseY);
