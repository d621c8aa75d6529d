#pragma once
// The Options window's pages: one dialog procedure each, and the operations
// other pages and the frame share.
#include <windows.h>

// "General": which indicators exist, "Start with Windows" (dialog 129).
INT_PTR CALLBACK IndicatorsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// "Appearance": opacity, colours, interval, keyboard and tray LEDs, label and
// LED size (dialog 140).
INT_PTR CALLBACK AppearancePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// "Summary" and "User process I/O" (dialog 147).
INT_PTR CALLBACK SummaryPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ProcessIoPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Turns the indicators page's list selections and the indicator mode into the
// display records' visible flags, stores them and recreates the indicator
// windows. False, with every flag as it was, when a list box is missing or
// its selection cannot be read.
bool ApplyIndicatorSelection(HWND page);

// Applies the settings block to the displays: the indicators' opacity, the
// tray icon, the sampling timer and the indicator windows; with the
// appearance page, also refreshes every control of it. Answers true.
bool ApplyAppearance(HWND page);

// Restores the appearance defaults (keeping "LedSizeIdx", "StartWithWindows"
// and the indicator mode), lines the indicators up, saves, and applies them
// with ApplyAppearance(page). page may be null. Answers true.
bool ResetAppearanceDefaults(HWND page);
