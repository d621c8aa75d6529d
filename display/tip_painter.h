#pragma once
// The picture of an indicator's tip, as functions over an HDC: a title in bold
// above the body's lines, in the info colours inside a 1-pixel frame, and
// when it is given one the minute graph between two of the body's lines. A
// line's cells are split at its tabs; the cells of one column start at the
// same x on every line, whatever the font, so the statistics read as a table.
#include <windows.h>

#include <string_view>

#include "common/gdi_handles.h"
#include "sources/minute_history.h"

// The tip's fonts at one DPI: the status font of the non-client metrics and its bold form.
struct TipFonts {
    UniqueFont normal;
    UniqueFont bold;
    UINT dpi = 0;

    HFONT Normal() const;  // the default GUI font when none could be made
    HFONT Bold() const;
};

TipFonts MakeTipFonts(UINT dpi);

inline constexpr int kMaxTipColumns = 4;

// The minute graph (display/minute_graph.h) a tip shows under the first
// `afterLine` lines of its body.
struct TipGraph {
    bool shown = false;
    int afterLine = 0;
    COLORREF read = 0;
    COLORREF write = 0;
    MinutePoints points{};

    bool operator==(const TipGraph&) const = default;
};

struct TipLayout {
    SIZE size{};          // the whole tip, frame included
    int margin = 0;       // frame and padding to the left of column 0 and above the title
    int titleHeight = 0;  // 0 without a title
    int lineHeight = 0;
    int columns[kMaxTipColumns] = {};  // each column's x from the tip's left edge
    int graphTop = 0;                  // the graph's top; the lines after it start a graph block lower
    int graphBlock = 0;                // the graph and the room above and below it; 0 without a graph
};

// The lines of a text as the tip lays them out (a last line break starts no line).
int TipLineCount(std::wstring_view text);

// Measures the title in the bold font and the body in the normal one, and
// makes room for the graph when it is shown.
TipLayout LayoutTip(HDC dc, std::wstring_view title, std::wstring_view body, const TipFonts& fonts,
                    const TipGraph& graph = {});

// Paints the laid-out tip with its top-left corner at (0, 0).
void PaintTip(HDC dc, const TipLayout& layout, std::wstring_view title, std::wstring_view body, const TipFonts& fonts,
              const TipGraph& graph = {});
