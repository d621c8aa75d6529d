#include "common/dpi.h"

#include <cstddef>
#include <initializer_list>

namespace {

template <typename Function>
Function User32Function(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

int Scaled(int value, UINT to, UINT from)
{
    return from == 0 ? value : MulDiv(value, static_cast<int>(to), static_cast<int>(from));
}

}  // namespace

UINT ScreenDpi()
{
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

UINT DpiOfWindow(HWND window)
{
    using DpiForWindow = UINT(WINAPI*)(HWND);
    static const auto dpiForWindow = User32Function<DpiForWindow>("GetDpiForWindow");
    if (window && dpiForWindow) {
        if (const UINT dpi = dpiForWindow(window))
            return dpi;
    }
    return ScreenDpi();
}

int SystemMetricForDpi(int index, UINT dpi)
{
    using MetricsForDpi = int(WINAPI*)(int, UINT);
    static const auto metricsForDpi = User32Function<MetricsForDpi>("GetSystemMetricsForDpi");
    if (metricsForDpi)
        return metricsForDpi(index, dpi);
    return Scaled(GetSystemMetrics(index), dpi, ScreenDpi());
}

bool AdjustWindowRectForDpi(RECT* rect, DWORD style, bool menu, DWORD exStyle, UINT dpi)
{
    using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = User32Function<AdjustForDpi>("AdjustWindowRectExForDpi");
    if (adjustForDpi)
        return adjustForDpi(rect, style, menu, exStyle, dpi) != FALSE;
    return AdjustWindowRectEx(rect, style, menu, exStyle) != FALSE;
}

bool NonClientMetricsForDpi(NONCLIENTMETRICSW* metrics, UINT dpi)
{
    using ParametersForDpi = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
    static const auto parametersForDpi = User32Function<ParametersForDpi>("SystemParametersInfoForDpi");
    *metrics = NONCLIENTMETRICSW{};
    metrics->cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
    if (parametersForDpi && parametersForDpi(SPI_GETNONCLIENTMETRICS, metrics->cbSize, metrics, 0, dpi))
        return true;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics->cbSize, metrics, 0))
        return false;
    const UINT screen = ScreenDpi();
    for (LOGFONTW* font : {&metrics->lfCaptionFont, &metrics->lfSmCaptionFont, &metrics->lfMenuFont,
                           &metrics->lfStatusFont, &metrics->lfMessageFont})
        font->lfHeight = Scaled(font->lfHeight, dpi, screen);
    return true;
}
