#pragma once
// The mouse side of an indicator window: dragging (one indicator, or all of
// them with Shift, in 8-pixel steps with Ctrl) with the positions saved a
// second after a drag, the live tip with the indicator's statistics and the
// five busiest processes (the drag hint while dragging), the double-click and
// the context menu.
#include <windows.h>

#include <cstddef>
#include <string>

#include "display/tip_painter.h"
#include "sources/process_sampler.h"

class gui_data;

// The drag origin's x while no drag is in progress.
inline constexpr int kNoDrag = -100000;

// How long the pointer rests on an indicator before its tip shows.
inline constexpr UINT kTipHoverTime = 50;

// The text shown during a drag.
inline constexpr wchar_t kDragHint[] = L"Press <Shift> to move all indicators.\nPress <Ctrl> to snap to grid.";

// Gives a shown tip the indicator's current text, so it follows the
// statistics (a few times a second: the tick calls it), when that is due.
void RefreshIndicatorTooltip(gui_data& data);
bool TipFollowDue(const gui_data& data);

// The indicator window's mouse messages.
void OnIndicatorLButtonDown(HWND window, gui_data* data, LPARAM lParam);
void OnIndicatorMouseMove(HWND window, gui_data& data, WPARAM wParam, LPARAM lParam);
void OnIndicatorMouseHover(HWND window, gui_data& data);
void OnIndicatorMouseLeave(HWND window, gui_data& data);
// The drag ends; a tip left showing the drag hint shows the statistics again
// while the pointer is over the indicator (whose leaving is asked for again:
// a leave during the capture was not told) and goes when it is not.
void OnIndicatorLButtonUp(HWND window, gui_data* data, LPARAM lParam);
// The capture goes to `gaining`.
void OnIndicatorCaptureChanged(HWND window, const gui_data* data, HWND gaining);
void OnIndicatorDoubleClick(gui_data* data);
void OnIndicatorRButtonUp(HWND window, gui_data* data);

// The tip's text for an indicator into a buffer of `capacity` characters,
// cut at its end: the drag hint while the window holds the mouse capture,
// otherwise the record's statistics followed by the process appendix.
// Answers the statistics' lines (0 with the drag hint).
int FillTooltipText(HWND window, gui_data& data, wchar_t* buffer, std::size_t capacity);

// The tip's minute graph under the statistics' lines: the record's minute in
// the read and write colours, shown while "Show the last minute in tips" is
// on and there are statistics.
TipGraph TipGraphOf(const gui_data& data, int statisticsLines);

// The tip's process list: a rule, its header, and once the sampler has
// two readings one line per process of its top five, rebuilt at most once a
// second.
const std::wstring& BuildProcessAppendix(ThrottledText& appendix);
// The same for the tips' own process-wide sampler.
const std::wstring& BuildProcessAppendix();
