#pragma once
// The mouse side of an indicator window: its tooltip with live statistics.
#include <windows.h>

class __gui_data;

// The tooltip control of an indicator window; null when none is made.
HWND CreateIndicatorTooltip(HWND indicator);

// Lets the tooltip see the mouse messages of its indicator.
void RelayToTooltip(HWND indicator, __gui_data& data, UINT message, WPARAM wParam, LPARAM lParam);

// Makes an open tooltip ask for its text again, so it follows the statistics.
void RefreshIndicatorTooltip(__gui_data& data);
