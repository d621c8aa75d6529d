#include "display/tip_painter.h"

#include <algorithm>

#include "common/dpi.h"
#include "display/minute_graph.h"

namespace {

// One line of the body without its line break, and the next line's start.
std::wstring_view NextLine(std::wstring_view& rest)
{
    const std::size_t end = rest.find(L'\n');
    std::wstring_view line = rest.substr(0, end);
    rest = end == std::wstring_view::npos ? std::wstring_view() : rest.substr(end + 1);
    if (!line.empty() && line.back() == L'\r')
        line.remove_suffix(1);
    return line;
}

// Splits a line at its runs of tabs into at most kMaxTipColumns cells (the
// last cell keeps any further text), each without the spaces that padded it
// for a tab stop. Answers the cell count.
int SplitCells(std::wstring_view line, std::wstring_view (&cells)[kMaxTipColumns])
{
    int count = 0;
    while (count < kMaxTipColumns - 1) {
        const std::size_t tab = line.find(L'\t');
        if (tab == std::wstring_view::npos)
            break;
        std::wstring_view cell = line.substr(0, tab);
        while (!cell.empty() && cell.back() == L' ')
            cell.remove_suffix(1);
        cells[count++] = cell;
        const std::size_t next = line.find_first_not_of(L"\t ", tab);
        line = next == std::wstring_view::npos ? std::wstring_view() : line.substr(next);
    }
    cells[count++] = line;
    return count;
}

int TextWidth(HDC dc, std::wstring_view text)
{
    SIZE size{};
    GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
}

void DrawCell(HDC dc, int x, int y, std::wstring_view text)
{
    // A tab left in the last cell would be drawn as a box.
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t tab = std::min(text.find(L'\t', at), text.size());
        ExtTextOutW(dc, x, y, 0, nullptr, text.data() + at, static_cast<UINT>(tab - at), nullptr);
        x += TextWidth(dc, text.substr(at, tab - at)) + TextWidth(dc, L"    ");
        at = tab + 1;
    }
}

}  // namespace

HFONT TipFonts::Normal() const
{
    return normal ? normal.Get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

HFONT TipFonts::Bold() const
{
    return bold ? bold.Get() : Normal();
}

TipFonts MakeTipFonts(UINT dpi)
{
    TipFonts fonts;
    fonts.dpi = dpi;
    NONCLIENTMETRICSW metrics{};
    if (NonClientMetricsForDpi(&metrics, dpi)) {
        fonts.normal.Reset(CreateFontIndirectW(&metrics.lfStatusFont));
        metrics.lfStatusFont.lfWeight = FW_BOLD;
        fonts.bold.Reset(CreateFontIndirectW(&metrics.lfStatusFont));
    }
    return fonts;
}

int TipLineCount(std::wstring_view text)
{
    int lines = 0;
    for (std::wstring_view rest = text; !rest.empty(); ++lines)
        NextLine(rest);
    return lines;
}

TipLayout LayoutTip(HDC dc, std::wstring_view title, std::wstring_view body, const TipFonts& fonts,
                    const TipGraph& graph)
{
    TipLayout layout;
    const UINT dpi = fonts.dpi ? fonts.dpi : USER_DEFAULT_SCREEN_DPI;
    layout.margin = 1 + MulDiv(4, static_cast<int>(dpi), 96);
    const HGDIOBJ old = SelectObject(dc, fonts.Bold());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    int width = 0;
    if (!title.empty()) {
        layout.titleHeight = metrics.tmHeight;
        width = TextWidth(dc, title);
    }
    SelectObject(dc, fonts.Normal());
    GetTextMetricsW(dc, &metrics);
    layout.lineHeight = metrics.tmHeight;
    const int gap = 3 * metrics.tmAveCharWidth;

    // Each column starts after the widest cell of the column before it.
    int widest[kMaxTipColumns] = {};
    int lines = 0;
    std::wstring_view cells[kMaxTipColumns];
    for (std::wstring_view rest = body; !rest.empty();) {
        const int count = SplitCells(NextLine(rest), cells);
        ++lines;
        for (int column = 0; column + 1 < count; ++column)
            widest[column] = std::max(widest[column], TextWidth(dc, cells[column]));
    }
    layout.columns[0] = layout.margin;
    for (int column = 1; column < kMaxTipColumns; ++column)
        layout.columns[column] = layout.columns[column - 1] + widest[column - 1] + gap;
    for (std::wstring_view rest = body; !rest.empty();) {
        const int count = SplitCells(NextLine(rest), cells);
        width = std::max(width, layout.columns[count - 1] - layout.margin + TextWidth(dc, cells[count - 1]));
    }
    if (graph.shown) {
        const int room = MulDiv(4, static_cast<int>(dpi), 96);
        const SIZE size = MinuteGraphSize(dc, dpi, graph.points);
        width = std::max(width, static_cast<int>(size.cx));
        layout.graphBlock = size.cy + 2 * room;
        layout.graphTop =
            layout.margin + layout.titleHeight + std::min(graph.afterLine, lines) * layout.lineHeight + room;
    }
    SelectObject(dc, old);
    layout.size = {width + 2 * layout.margin,
                   layout.titleHeight + lines * layout.lineHeight + layout.graphBlock + 2 * layout.margin};
    return layout;
}

void PaintTip(HDC dc, const TipLayout& layout, std::wstring_view title, std::wstring_view body, const TipFonts& fonts,
              const TipGraph& graph)
{
    RECT rect{0, 0, layout.size.cx, layout.size.cy};
    FillRect(dc, &rect, GetSysColorBrush(COLOR_INFOBK));
    FrameRect(dc, &rect, GetSysColorBrush(COLOR_INFOTEXT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    const HGDIOBJ old = SelectObject(dc, fonts.Bold());
    int y = layout.margin;
    if (!title.empty())
        DrawCell(dc, layout.margin, y, title);
    y += layout.titleHeight;
    SelectObject(dc, fonts.Normal());
    if (layout.graphBlock > 0)
        PaintMinuteGraph(dc, layout.margin, layout.graphTop, fonts.dpi, graph.points, graph.read, graph.write);
    std::wstring_view cells[kMaxTipColumns];
    int line = 0;
    for (std::wstring_view rest = body; !rest.empty(); y += layout.lineHeight) {
        if (layout.graphBlock > 0 && line++ == graph.afterLine)
            y += layout.graphBlock;
        const int count = SplitCells(NextLine(rest), cells);
        for (int column = 0; column < count; ++column)
            DrawCell(dc, layout.columns[column], y, cells[column]);
    }
    SelectObject(dc, old);
}
