#pragma once
// The per-monitor DPI functions of newer systems, looked up when first used so
// that the program still starts where they are missing; the system-wide DPI
// then stands in for every monitor.
#include <windows.h>

// GetDpiForWindow, else the screen's LOGPIXELSY; 96 when neither answers.
UINT DpiOfWindow(HWND window);

// GetSystemMetricsForDpi, else GetSystemMetrics scaled from the screen's DPI.
int SystemMetricForDpi(int index, UINT dpi);

// AdjustWindowRectExForDpi, else AdjustWindowRectEx (which uses the screen's DPI).
bool AdjustWindowRectForDpi(RECT* rect, DWORD style, bool menu, DWORD exStyle, UINT dpi);

// The non-client metrics (without iPaddedBorderWidth, which every system
// accepts) for a DPI: SystemParametersInfoForDpi, else SystemParametersInfoW
// with the font heights scaled from the screen's DPI.
bool NonClientMetricsForDpi(NONCLIENTMETRICSW* metrics, UINT dpi);

// The screen's DPI (LOGPIXELSY), 96 when it cannot be read.
UINT ScreenDpi();
