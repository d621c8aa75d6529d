#pragma once
// An indicator's tip: a small popup of the program's own that shows a title
// above a body (laid out and painted by tip_painter), below and to the right
// of the pointer and inside the pointer's monitor. It never takes the
// activation or a click, follows its owner's DPI, and is laid out and painted
// again only when its text or graph changes. Windows and Wine show it alike.
#include <windows.h>

#include <string_view>

#include "display/tip_painter.h"

inline constexpr wchar_t kTipClass[] = L"QorvelTip";

// A hidden tip owned by the window; null when none can be made. It is
// destroyed with its owner.
HWND CreateTipWindow(HWND owner);

// Gives the tip its text and graph; when they differ from the ones shown (or
// the owner's DPI changed) the tip is laid out, sized and painted again. The
// window text becomes the title, a line break and the body. Answers whether
// it changed.
bool SetTipText(HWND tip, std::wstring_view title, std::wstring_view body, const TipGraph& graph = {});

// Shows the tip (without activating anything) below and to the right of the
// point in screen coordinates, moved inside the point's monitor work area.
void ShowTipAt(HWND tip, POINT point);

void HideTip(HWND tip);

// The tip's size as laid out.
SIZE TipSize(HWND tip);
