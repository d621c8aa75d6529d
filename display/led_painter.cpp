#include "display/led_painter.h"

#include <cwchar>

#include "common/gdi_handles.h"

namespace {

void Fill(HDC dc, const RECT& rect, COLORREF colour)
{
    SetDCBrushColor(dc, colour);
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

}  // namespace

int SplitRow(std::uint32_t state, int top, int bottom)
{
    const double read = state >> 16;
    const double write = state & 0xFFFF;
    return static_cast<int>(read / (read + write) * (bottom - top) + top);
}

LedLook LookOf(std::uint32_t state, int width, int height, const LedColours& colours, bool label)
{
    LedLook look;
    look.width = width;
    look.height = height;
    look.label = label;
    look.split = height;
    const bool reading = (state >> 16) != 0;
    const bool writing = (state & 0xFFFF) != 0;
    if (reading && writing) {
        look.top = colours.read;
        look.bottom = colours.write;
        look.split = SplitRow(state, 0, height);
    } else {
        look.top = reading ? colours.read : writing ? colours.write : colours.idle;
        look.bottom = look.top;
    }
    return look;
}

void PaintLed(HDC dc, const RECT& rect, std::uint32_t state, const LedColours& colours, const wchar_t* label)
{
    const bool reading = (state >> 16) != 0;
    const bool writing = (state & 0xFFFF) != 0;
    if (reading && writing) {
        const int mid = SplitRow(state, rect.top, rect.bottom);
        const RECT upper{rect.left, rect.top, rect.right, mid};
        const RECT lower{rect.left, mid, rect.right, rect.bottom};
        Fill(dc, upper, colours.read);
        Fill(dc, lower, colours.write);
    } else {
        Fill(dc, rect, reading ? colours.read : writing ? colours.write : colours.idle);
    }
    if (!label)
        return;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    GdiObject<HFONT> font(CreateFontW(rect.bottom - rect.top, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE,
                                      DEFAULT_CHARSET, OUT_OUTLINE_PRECIS, CLIP_DEFAULT_PRECIS, DRAFT_QUALITY,
                                      DEFAULT_PITCH | FF_DONTCARE, nullptr));
    const HGDIOBJ previous = font ? SelectObject(dc, font.Get()) : nullptr;
    ExtTextOutW(dc, rect.left + 1, rect.top, ETO_CLIPPED, &rect, label, static_cast<UINT>(std::wcslen(label)), nullptr);
    if (previous)
        SelectObject(dc, previous);
}
