#pragma once
// The Options window's pages: one dialog procedure each, made with the
// program's host as their creation parameter, and what the pages share.
#include <windows.h>

#include "options/options_host.h"

// "General": which indicators exist, "Start with Windows" (dialog 129).
INT_PTR CALLBACK IndicatorsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// "Appearance": opacity, colours, interval, keyboard and tray LEDs, label and
// LED size (dialog 140).
INT_PTR CALLBACK AppearancePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// "Summary" (dialog 1120) and "User process I/O" (dialog 147).
INT_PTR CALLBACK SummaryPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ProcessIoPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The host a page was made with: kept at WM_INITDIALOG from its creation
// parameter, and given back.
inline void KeepHost(HWND page, LPARAM host)
{
    SetWindowLongPtrW(page, DWLP_USER, host);
}
inline OptionsHost& HostOf(HWND page)
{
    return *reinterpret_cast<OptionsHost*>(GetWindowLongPtrW(page, DWLP_USER));
}

// Turns the indicators page's list selections and the indicator mode into the
// display records' visible flags, stores them and recreates the indicator
// windows. False, with every flag as it was, when a list box is missing or
// its selection cannot be read.
bool ApplyIndicatorSelection(HWND page);

// "Reset to defaults": the settings with a reset value take it (the LED size,
// "Start with Windows" and the indicator mode stay), the indicators are lined
// up, everything is saved and shown at once, with the appearance page's
// controls when it is given.
void ResetAppearanceDefaults(OptionsHost& host, HWND appearancePage);
