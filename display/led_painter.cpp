#include "display/led_painter.h"

#include <cwchar>

#include "common/gdi_handles.h"

namespace {

COLORREF ColourOf(HBRUSH brush)
{
    LOGBRUSH logBrush{};
    if (!brush || GetObjectW(brush, sizeof logBrush, &logBrush) != sizeof logBrush)
        return 0;
    return logBrush.lbColor;
}

}  // namespace

int SplitRow(std::uint32_t state, int top, int bottom)
{
    const double read = state >> 16;
    const double write = state & 0xFFFF;
    return static_cast<int>(read / (read + write) * (bottom - top) + top);
}

LedLook LookOf(std::uint32_t state, int width, int height, const LedBrushes& brushes, bool label)
{
    LedLook look;
    look.width = width;
    look.height = height;
    look.label = label;
    look.split = height;
    const bool reading = (state >> 16) != 0;
    const bool writing = (state & 0xFFFF) != 0;
    if (reading && writing) {
        look.top = ColourOf(brushes.read);
        look.bottom = ColourOf(brushes.write);
        look.split = SplitRow(state, 0, height);
    } else {
        look.top = ColourOf(reading ? brushes.read : writing ? brushes.write : brushes.idle);
        look.bottom = look.top;
    }
    return look;
}

void PaintLed(HDC dc, const RECT& rect, std::uint32_t state, const LedBrushes& brushes, const wchar_t* label)
{
    const bool reading = (state >> 16) != 0;
    const bool writing = (state & 0xFFFF) != 0;
    if (reading && writing) {
        const int mid = SplitRow(state, rect.top, rect.bottom);
        const RECT upper{rect.left, rect.top, rect.right, mid};
        const RECT lower{rect.left, mid, rect.right, rect.bottom};
        FillRect(dc, &upper, brushes.read);
        FillRect(dc, &lower, brushes.write);
    } else {
        FillRect(dc, &rect, reading ? brushes.read : writing ? brushes.write : brushes.idle);
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
