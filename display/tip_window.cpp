#include "display/tip_window.h"

#include <memory>
#include <string>

#include "common/dpi.h"
#include "common/live_counts.h"
#include "common/window_binding.h"
#include "display/tip_painter.h"

namespace {

// The tip's own state, attached at WM_NCCREATE and released at WM_NCDESTROY.
struct Tip {
    std::wstring title;
    std::wstring body;
    TipGraph graph;
    TipFonts fonts;
    TipLayout layout;
};

Tip* TipOf(HWND window)
{
    return WindowObject<Tip>(window);
}

void OnPaint(HWND window, const Tip& tip)
{
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(window, &paint);
    const int width = tip.layout.size.cx, height = tip.layout.size.cy;
    // Drawn in memory first, so the text never flickers on a repaint.
    const HDC memory = CreateCompatibleDC(dc);
    const GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, width, height));
    if (memory && bitmap) {
        const HGDIOBJ old = SelectObject(memory, bitmap.Get());
        PaintTip(memory, tip.layout, tip.title, tip.body, tip.fonts, tip.graph);
        BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
    } else {
        PaintTip(dc, tip.layout, tip.title, tip.body, tip.fonts, tip.graph);
    }
    if (memory)
        DeleteDC(memory);
    EndPaint(window, &paint);
}

LRESULT CALLBACK TipWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE:
        ++Live().windows;
        BindWindowObject(window, new Tip);
        break;
    case WM_NCDESTROY:
        --Live().windows;
        delete TipOf(window);
        UnbindWindowObject(window);
        break;
    case WM_PAINT:
        if (const Tip* tip = TipOf(window)) {
            OnPaint(window, *tip);
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_NCHITTEST:
        return HTTRANSPARENT;  // clicks go to the window below
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterTipClass(HINSTANCE instance)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_SAVEBITS;
    windowClass.lpfnWndProc = TipWndProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kTipClass;
    return RegisterClassExW(&windowClass) != 0;
}

}  // namespace

HWND CreateTipWindow(HWND owner)
{
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
    static const bool registered = RegisterTipClass(instance);
    if (!registered)
        return nullptr;
    return CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kTipClass, L"", WS_POPUP, 0, 0, 0, 0,
                           owner, nullptr, instance, nullptr);
}

bool SetTipText(HWND tip, std::wstring_view title, std::wstring_view body, const TipGraph& graph)
{
    Tip* state = TipOf(tip);
    if (!state)
        return false;
    const UINT dpi = DpiOfWindow(GetWindow(tip, GW_OWNER));
    if (state->fonts.dpi == dpi && state->title == title && state->body == body && state->graph == graph)
        return false;
    if (state->fonts.dpi != dpi)
        state->fonts = MakeTipFonts(dpi);
    state->title = title;
    state->body = body;
    state->graph = graph;
    if (const HDC dc = GetDC(tip)) {
        state->layout = LayoutTip(dc, state->title, state->body, state->fonts, state->graph);
        ReleaseDC(tip, dc);
    }
    SetWindowTextW(tip, (state->title + L"\n" + state->body).c_str());
    SetWindowPos(tip, nullptr, 0, 0, state->layout.size.cx, state->layout.size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(tip, nullptr, FALSE);
    return true;
}

void ShowTipAt(HWND tip, POINT point)
{
    const SIZE size = TipSize(tip);
    const int below = MulDiv(20, static_cast<int>(DpiOfWindow(tip)), 96);  // clear of the pointer's arrow
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    MONITORINFO monitor{sizeof monitor};
    if (GetMonitorInfoW(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &monitor))
        area = monitor.rcWork;
    int x = point.x, y = point.y + below;
    if (x + size.cx > area.right)
        x = area.right - size.cx;
    if (y + size.cy > area.bottom)
        y = point.y - size.cy - 2;  // above the pointer instead
    x = x < area.left ? area.left : x;
    y = y < area.top ? area.top : y;
    SetWindowPos(tip, HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void HideTip(HWND tip)
{
    if (tip && IsWindowVisible(tip))
        ShowWindow(tip, SW_HIDE);
}

SIZE TipSize(HWND tip)
{
    const Tip* state = TipOf(tip);
    return state ? state->layout.size : SIZE{};
}
