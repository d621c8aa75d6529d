#include "display/minute_graph.h"

#include <algorithm>
#include <string>

namespace {

// A rate's bar height: the rate's share of the peak, rounded, at least 1 for
// any transfer.
int BarHeight(std::uint64_t rate, std::uint64_t peak, int half)
{
    if (rate == 0 || peak == 0)
        return 0;
    const double share = static_cast<double>(rate) / static_cast<double>(peak);
    return std::max(1, static_cast<int>(share * half + 0.5));
}

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF colour)
{
    const RECT rect{left, top, right, bottom};
    SetDCBrushColor(dc, colour);
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

}  // namespace

MinuteGraphMeasures MinuteGraphAt(UINT dpi)
{
    const int scale = static_cast<int>(dpi ? dpi : USER_DEFAULT_SCREEN_DPI);
    MinuteGraphMeasures measures;
    measures.bar = std::max(1, MulDiv(2, scale, USER_DEFAULT_SCREEN_DPI));
    measures.half = MulDiv(20, scale, USER_DEFAULT_SCREEN_DPI);
    measures.width = measures.bar * static_cast<int>(kMinutePoints);
    measures.height = 2 * measures.half + 1;
    measures.gap = MulDiv(6, scale, USER_DEFAULT_SCREEN_DPI);
    return measures;
}

SIZE MinuteGraphSize(HDC dc, UINT dpi, const MinutePoints& points)
{
    const MinuteGraphMeasures measures = MinuteGraphAt(dpi);
    const std::wstring peak = PeakText(PeakOf(points));
    SIZE text{};
    GetTextExtentPoint32W(dc, peak.c_str(), static_cast<int>(peak.size()), &text);
    return {measures.width + measures.gap + text.cx, std::max<LONG>(measures.height, text.cy)};
}

void PaintMinuteGraph(HDC dc, int left, int top, UINT dpi, const MinutePoints& points, COLORREF read, COLORREF write)
{
    const MinuteGraphMeasures measures = MinuteGraphAt(dpi);
    const std::uint64_t peak = PeakOf(points);
    const int middle = top + measures.half;
    for (std::size_t second = 0; second < kMinutePoints; ++second) {
        const int x = left + static_cast<int>(second) * measures.bar;
        const int up = BarHeight(points[second].read, peak, measures.half);
        const int down = BarHeight(points[second].write, peak, measures.half);
        if (up > 0)
            Fill(dc, x, middle - up, x + measures.bar, middle, read);
        if (down > 0)
            Fill(dc, x, middle + 1, x + measures.bar, middle + 1 + down, write);
    }
    Fill(dc, left, middle, left + measures.width, middle + 1, GetTextColor(dc));
    const std::wstring text = PeakText(peak);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    ExtTextOutW(dc, left + measures.width + measures.gap, middle - size.cy / 2, 0, nullptr, text.c_str(),
                static_cast<UINT>(text.size()), nullptr);
}
