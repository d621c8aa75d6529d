#pragma once
// A minute of a record's throughput as a picture, over an HDC (the tips and
// the "Summary" tab paint it): one bar a second, the oldest on the left,
// reads in the read colour above a middle line, writes in the write colour
// below it, both scaled to the minute's peak, and the peak written to the
// right ("peak 48.2 MB/s").
#include <windows.h>

#include "sources/minute_history.h"

// The graph's measures at a DPI (at 96: 2-pixel bars, 20 pixels above and
// below the 1-pixel middle line, the peak 6 pixels to the right).
struct MinuteGraphMeasures {
    int bar = 0;     // one second's width
    int half = 0;    // the height of a peak's bar, above the line and below it
    int width = 0;   // the bars of a minute
    int height = 0;  // both halves and the middle line
    int gap = 0;     // between the bars and the peak's text
};
MinuteGraphMeasures MinuteGraphAt(UINT dpi);

// The graph with its peak's text in the DC's font.
SIZE MinuteGraphSize(HDC dc, UINT dpi, const MinutePoints& points);

// Paints the graph with its top-left corner at (left, top): a bar of any
// transfer is at least a pixel high, the middle line and the peak's text are
// in the DC's text colour and font. It paints no background and makes no GDI
// object (the DC's own brush fills).
void PaintMinuteGraph(HDC dc, int left, int top, UINT dpi, const MinutePoints& points, COLORREF read, COLORREF write);
