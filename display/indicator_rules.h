#pragma once
// The indicators' decisions that need no window: the LED sizes, where an
// indicator stands by default, the grid a Ctrl-drag snaps to and the hue of a
// highlight step. No Windows headers: this also builds natively.
#include <cstddef>
#include <cstdint>

struct LedSize {
    int width = 0;
    int height = 0;
};

// How many LED sizes there are ("LedSizeIdx" 0 to 5; the settings say so too).
inline constexpr int kLedSizeCount = 6;

// The LED of a "LedSizeIdx": 12 x 9, 16 x 12, 24 x 18, 32 x 24, 64 x 40 and
// 128 x 96 pixels for 0 to 5; an index outside them has the size of 1.
LedSize LedSizeFor(int index);

struct IndicatorPlace {
    int x = 0;
    int y = 0;
};

// Where the entry at index i of the indicator list stands before its saved
// place is loaded: x = 2 + 18 i, y = 2.
IndicatorPlace DefaultIndicatorPlace(std::size_t index);

// A drag's distance with Ctrl held: whole steps of `step` pixels toward zero
// (the rest carries over to the next move).
int SnapToGrid(int delta, int step = 8);

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    bool operator==(const Rgb&) const = default;
};

// The hue of highlight step n (99 down to 0): red, through magenta, blue, cyan,
// green and yellow back to red at 50, then on through yellow, green, cyan and
// blue to magenta at 0.
Rgb HighlightHue(int n);
