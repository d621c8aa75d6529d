#pragma once
// The mouse side of an indicator window: dragging (one indicator, or all of
// them with Shift, in 8-pixel steps with Ctrl) with the positions saved a
// second after a drag, the live tooltip with the indicator's statistics and
// the five busiest processes, the double-click and the context menu.
#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <string>

#include "options/process_sampler.h"

class __gui_data;

// The drag origin's x while no drag is in progress.
inline constexpr int kNoDrag = -100000;

// The text shown during a drag.
inline constexpr wchar_t kDragHint[] = L"Press <Shift> to move all indicators.\nPress <Ctrl> to snap to grid.";

// The tooltip control of an indicator window, titled with its record's name;
// null when none is made.
HWND CreateIndicatorTooltip(HWND indicator);

// Replaces the tooltip of an indicator window (hiding a showing tip).
void ResetIndicatorTooltip(HWND indicator);

// Lets the tooltip see the mouse messages of its indicator.
void RelayToTooltip(HWND indicator, __gui_data& data, UINT message, WPARAM wParam, LPARAM lParam);

// Makes an open tooltip ask for its text again, so it follows the statistics.
void RefreshIndicatorTooltip(__gui_data& data);

// The indicator window's mouse messages.
void OnIndicatorLButtonDown(HWND window, __gui_data* data, LPARAM lParam);
void OnIndicatorMouseMove(HWND window, __gui_data& data, WPARAM wParam, LPARAM lParam);
void OnIndicatorLButtonUp(HWND window);
// The capture goes to `gaining`.
void OnIndicatorCaptureChanged(HWND window, HWND gaining);
void OnIndicatorDoubleClick();
void OnIndicatorRButtonUp(HWND window, __gui_data* data);
// TTN_GETDISPINFOW and NM_CUSTOMDRAW from the tooltip; anything else goes to
// DefWindowProcW.
LRESULT OnIndicatorNotify(HWND window, __gui_data* data, WPARAM wParam, LPARAM lParam);

// The tooltip's text for an indicator into a buffer of `capacity` characters,
// cut at its end: the drag hint while the window holds the mouse capture,
// otherwise the record's statistics followed by the process appendix.
void FillTooltipText(HWND window, __gui_data& data, wchar_t* buffer, std::size_t capacity);

// The tooltip's process list: a rule, its header, and once the sampler has
// two readings one line per process of its top five, rebuilt at most once a
// second.
const std::wstring& BuildProcessAppendix(ThrottledText& appendix);
// The same for the tooltips' own process-wide sampler.
const std::wstring& BuildProcessAppendix();

// The tip's title and body as measured: the title in the bold font, the body
// in the normal one, each from the origin; `size` holds both, the body below
// the title.
struct TipLayout {
    RECT title{};
    RECT body{};
    SIZE size{};
};

struct TipFonts {
    HFONT normal = nullptr;
    HFONT bold = nullptr;
};

// The status font of the non-client metrics and its bold form, made once.
TipFonts TooltipFonts();

TipLayout MeasureTooltip(HDC dc, const std::wstring& title, const wchar_t* body, TipFonts fonts);

// Paints the tip into a memory bitmap of width × height and copies it to dc
// at (0, 0): the info background, a flat sunken edge, the title in bold and
// the body below it in the normal font.
void PaintTooltip(HDC dc, int width, int height, const std::wstring& title, const wchar_t* body,
                  int titleHeight, TipFonts fonts);
