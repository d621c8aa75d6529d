#pragma once
// The LED colour palettes the Appearance page offers: each gives the reading,
// writing and idle colours at once. No Windows headers: this also builds
// natively.
#include <cstdint>
#include <iterator>

// A colour as the settings file and COLORREF hold it: 0x00BBGGRR.
constexpr std::int32_t PaletteColour(int red, int green, int blue)
{
    return red | green << 8 | blue << 16;
}

struct LedPalette {
    std::int32_t read;
    std::int32_t write;
    std::int32_t idle;
};

// "Classic": green reading, red writing, blue idle. Reading against writing
// is the pair red-green colour blindness confuses most.
inline constexpr LedPalette kClassicPalette{PaletteColour(50, 255, 50), PaletteColour(255, 50, 50),
                                            PaletteColour(50, 130, 255)};

// "Colour-blind safe": bluish green reading, orange writing, black idle, from
// the eight colours of the Okabe-Ito palette (2008), chosen to stay apart for
// every kind of colour blindness. Of its triples only those with black keep
// every pair 40 CIELAB units apart under simulated protanopia, deuteranopia
// and tritanopia; of those this one keeps reading greenish, writing warm and
// an idle LED dark.
inline constexpr LedPalette kColourBlindSafePalette{PaletteColour(0, 158, 115), PaletteColour(230, 159, 0),
                                                    PaletteColour(0, 0, 0)};

// In the order of the "Palette" choice and of its values in the settings file.
inline constexpr LedPalette kPalettes[] = {kClassicPalette, kColourBlindSafePalette};
inline constexpr int kPaletteCount = static_cast<int>(std::size(kPalettes));

// The palette of a "Palette" value; a value that names none is "Classic".
constexpr const LedPalette& PaletteOf(std::int32_t palette)
{
    return palette > 0 && palette < kPaletteCount ? kPalettes[palette] : kPalettes[0];
}
