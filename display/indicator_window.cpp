#include "display/indicator_window.h"

#include "common/live_counts.h"
#include "common/window_binding.h"
#include "display/indicator_host.h"
#include "display/indicator_interaction.h"

static_assert(SettingNamed(L"LedSizeIdx").low == 0 && SettingNamed(L"LedSizeIdx").high == kLedSizeCount - 1,
              "the settings offer every LED size and no other");

namespace {

gui_data* DataOf(HWND window)
{
    return WindowObject<gui_data>(window);
}

// The picture the window would show now.
LedLook CurrentLook(HWND window, const gui_data& data)
{
    const SettingsBlock& settings = SettingsOf(data);
    RECT client{};
    GetClientRect(window, &client);
    return LookOf(data.record ? data.record->state : 0, client.right - client.left, client.bottom - client.top,
                  ColoursOf(data, settings), settings.showIndicatorLabel != 0);
}

void InvalidateIfChanged(HWND window, const gui_data& data)
{
    if (!data.paintedValid || CurrentLook(window, data) != data.painted)
        InvalidateRect(window, nullptr, FALSE);
}

COLORREF HighlightColour(int n)
{
    const Rgb hue = HighlightHue(n);
    return RGB(hue.red, hue.green, hue.blue);
}

DWORD ExtendedStyle(int opacity)
{
    return WS_EX_TOOLWINDOW | WS_EX_TOPMOST | (opacity != 255 ? WS_EX_LAYERED : 0);
}

LRESULT OnNcCreate(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ++Live().windows;
    BindWindowObject(window, CreationObject<gui_data>(lParam));
    return DefWindowProcW(window, message, wParam, lParam);
}

void OnDestroy(HWND window, gui_data* data)
{
    if (!data)
        return;
    if (data->tooltip && IsWindow(data->tooltip))
        DestroyWindow(data->tooltip);
    data->tooltip = nullptr;
    data->paintedValid = false;
    if (data->window.Get() == window)
        data->window.Release();  // being destroyed by other means
    UnbindWindowObject(window);
}

void OnPaint(HWND window, gui_data& data)
{
    const LedLook look = CurrentLook(window, data);
    // A partial update (part of the window uncovered) must not leave the rest
    // of the window showing an older picture.
    if (!data.paintedValid || look != data.painted)
        InvalidateRect(window, nullptr, FALSE);
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(window, &paint);
    RECT client{};
    GetClientRect(window, &client);
    const SettingsBlock& settings = SettingsOf(data);
    const IndicatorEntry* entry = data.Entry();
    const wchar_t* label = settings.showIndicatorLabel && entry ? entry->label.c_str() : nullptr;
    PaintLed(dc, client, data.record ? data.record->state : 0, ColoursOf(data, settings), label);
    data.painted = look;
    data.paintedValid = true;
    EndPaint(window, &paint);
}

}  // namespace

const SettingsBlock& SettingsOf(const gui_data& data)
{
    static const SettingsBlock initial;
    return data.host ? data.host->Settings() : initial;
}

LedSize LedSizeOf(const SettingsBlock& settings)
{
    return LedSizeFor(settings.ledSizeIdx);
}

LedColours ColoursOf(const gui_data& data, const SettingsBlock& settings)
{
    if (data.highlight != 0 && data.highlight < kHighlightSteps)  // a step has been shown
        return {data.highlightColour, settings.writeColor, data.highlightColour};
    return {settings.readColor, settings.writeColor, settings.idleColor};
}

bool RegisterIndicatorClass(HINSTANCE instance)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = IndicatorWndProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kIndicatorClass;
    return RegisterClassExW(&windowClass) != 0;
}

bool CreateIndicatorWindow(HINSTANCE instance, gui_data& data, const SettingsBlock& settings)
{
    const LedSize size = LedSizeOf(settings);
    data.outOfTheWay = false;
    data.window.Reset(CreateWindowExW(ExtendedStyle(settings.opacity), kIndicatorClass, L"", WS_POPUP, data.x, data.y,
                                      size.width, size.height, nullptr, nullptr, instance, &data));
    const HWND window = data.Window();
    if (!window)
        return false;
    if (settings.opacity != 255)
        SetLayeredWindowAttributes(window, 0, static_cast<BYTE>(settings.opacity & 0xFF), LWA_ALPHA);
    SetWindowPos(window, HWND_TOPMOST, data.x, data.y, size.width, size.height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return true;
}

void RecreateIndicatorWindows(HINSTANCE instance, DisplayList& displays, const SettingsBlock& settings)
{
    for (const auto& data : displays) {
        data->window.Reset();
        const IndicatorEntry* entry = data->Entry();
        if (entry && data->visible && (entry->kind & settings.indicatorMode) != 0)
            CreateIndicatorWindow(instance, *data, settings);
    }
}

std::uint32_t RefreshIndicator(HWND window)
{
    gui_data* data = DataOf(window);
    if (!data)
        return 0;
    if (data->highlight != 0) {
        StepHighlight(window, *data);
        InvalidateIfChanged(window, *data);
        return 0;
    }
    RefreshIndicatorTooltip(*data);
    InvalidateIfChanged(window, *data);  // the state may have changed
    return data->record ? data->record->state : 0;
}

void RepaintIndicatorIfChanged(HWND window)
{
    if (const gui_data* data = DataOf(window))
        InvalidateIfChanged(window, *data);
}

void RepaintIndicators(const DisplayList& displays)
{
    for (const auto& data : displays) {
        if (const HWND window = data->Window())
            InvalidateIfChanged(window, *data);
    }
}

void SetIndicatorsOpacity(const DisplayList& displays, int opacity)
{
    const bool layered = opacity != 255;
    for (const auto& data : displays) {
        const HWND window = data->Window();
        if (!window)
            continue;
        const bool restyle = ((GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0) != layered;
        if (restyle)
            SetWindowLongPtrW(window, GWL_EXSTYLE, ExtendedStyle(opacity));
        if (layered)
            SetLayeredWindowAttributes(window, 0, static_cast<BYTE>(opacity & 0xFF), LWA_ALPHA);
        // A window entering or leaving the layered state is painted at once.
        if (restyle)
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
}

void StepHighlight(HWND window, gui_data& data)
{
    if (data.highlight == 0)
        return;
    const int n = --data.highlight;
    data.highlightColour = HighlightColour(n);
    if (n % 10 == 0)
        data.enlarged = !data.enlarged;  // the window keeps its size throughout
    if (n >= 1)
        return;
    data.enlarged = false;
    // The size of now: "Led size" may have changed while the window was
    // hidden during the highlight.
    const LedSize size = LedSizeOf(SettingsOf(data));
    SetWindowPos(window, nullptr, 0, 0, size.width, size.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void ArrangeIndicators(DisplayList& displays, const SettingsBlock& settings)
{
    int next = 2;
    const LedSize size = LedSizeOf(settings);
    for (const auto& data : displays) {
        const HWND window = data->Window();
        if (!window || !IsWindowVisible(window))
            continue;
        data->x = next;
        data->y = 2;
        data->highlight = kHighlightSteps;
        next += size.width + 2;
    }
}

int BringIndicatorsOnScreen(DisplayList& displays, const SettingsBlock& settings)
{
    const LedSize size = LedSizeOf(settings);
    int moved = 0;
    for (std::size_t index = 0; index < displays.size(); ++index) {
        gui_data& data = *displays[index];
        const RECT rect{data.x, data.y, data.x + size.width, data.y + size.height};
        if (MonitorFromRect(&rect, MONITOR_DEFAULTTONULL))
            continue;
        const IndicatorPlace place = DefaultIndicatorPlace(index);
        data.x = place.x;
        data.y = place.y;
        if (const HWND window = data.Window())
            SetWindowPos(window, nullptr, data.x, data.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ++moved;
    }
    return moved;
}

LRESULT CALLBACK IndicatorWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    gui_data* data = DataOf(window);
    switch (message) {
    case WM_NCCREATE:
        return OnNcCreate(window, message, wParam, lParam);
    case WM_DESTROY:
        OnDestroy(window, data);
        return 0;
    case WM_NCDESTROY:
        --Live().windows;
        break;
    case WM_PAINT:
        if (!data)
            break;
        OnPaint(window, *data);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_NCCALCSIZE:
    case WM_NCPAINT:
        return 0;
    case WM_MOUSEACTIVATE:
        // A click never takes the activation from the window the user works
        // in (it would also end a drag under some window systems).
        return MA_NOACTIVATE;
    case WM_LBUTTONDOWN:
        OnIndicatorLButtonDown(window, data, lParam);
        return 0;
    case WM_MOUSEMOVE:
        if (!data)
            break;
        OnIndicatorMouseMove(window, *data, wParam, lParam);
        return 0;
    case WM_MOUSEHOVER:
        if (data)
            OnIndicatorMouseHover(window, *data);
        return 0;
    case WM_MOUSELEAVE:
        if (data)
            OnIndicatorMouseLeave(window, *data);
        return 0;
    case WM_LBUTTONUP:
        OnIndicatorLButtonUp(window, data, lParam);
        return 0;
    case WM_CAPTURECHANGED:
        OnIndicatorCaptureChanged(window, data, reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_LBUTTONDBLCLK:
        OnIndicatorDoubleClick(data);
        return 0;
    case WM_RBUTTONUP:
        OnIndicatorRButtonUp(window, data);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
