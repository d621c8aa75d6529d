#pragma once
// The LED picture of an indicator: a fill in the idle, read or write colour of
// its activity state (split between read on top and write below when both
// happen) and, optionally, its label in white. Painting is a function over an
// HDC so that it can be drawn into memory and checked pixel by pixel.
#include <windows.h>

#include <cstdint>

// What an indicator shows: rows [0, split) in the top colour, the rest in the
// bottom colour, and whether the label is drawn. Two equal looks paint the
// same pixels, so a window is repainted only when its look changes.
struct LedLook {
    COLORREF top = 0;
    COLORREF bottom = 0;
    int split = 0;  // rows from the top of the client area
    int width = 0;
    int height = 0;
    bool label = false;

    bool operator==(const LedLook&) const = default;
};

// The three colours an indicator fills with.
struct LedColours {
    COLORREF read = 0;
    COLORREF write = 0;
    COLORREF idle = 0;
};

// The row where read (above) meets write (below) in a rectangle of the given
// top and bottom: trunc(read / (read + write) * height + top).
int SplitRow(std::uint32_t state, int top, int bottom);

// The look of an LED of the given size for a state (high 16 bits read, low 16
// bits write) in the colours.
LedLook LookOf(std::uint32_t state, int width, int height, const LedColours& colours, bool label);

// Fills the rectangle for the state in the colours (with the DC's own brush:
// painting makes no GDI object but the label's font) and, when label is not
// null, writes it in white from (left + 1, top) in a font of the LED's height.
void PaintLed(HDC dc, const RECT& rect, std::uint32_t state, const LedColours& colours, const wchar_t* label);
