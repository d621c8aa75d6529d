#include "display/indicator_window.h"

#include "common/live_counts.h"
#include "common/window_binding.h"
#include "display/indicator_interaction.h"

namespace {

HINSTANCE g_instance = nullptr;

gui_data* DataOf(HWND window)
{
    return WindowObject<gui_data>(window);
}

LedBrushes SharedBrushes(const SettingsBlock& settings)
{
    return {settings.readBrush.Get(), settings.writeBrush.Get(), settings.idleBrush.Get()};
}

// The picture the window would show now.
LedLook CurrentLook(HWND window, const gui_data& data)
{
    const SettingsBlock& settings = Settings();
    RECT client{};
    GetClientRect(window, &client);
    return LookOf(data.record ? data.record->state : 0, client.right - client.left, client.bottom - client.top,
                  SharedBrushes(settings), settings.showIndicatorLabel != 0);
}

void InvalidateIfChanged(HWND window, const gui_data& data)
{
    if (!data.paintedValid || CurrentLook(window, data) != data.painted)
        InvalidateRect(window, nullptr, FALSE);
}

// The read and idle brushes from their settings again, which ends any
// highlight colouring of every indicator.
void RestoreReadAndIdleBrushes(SettingsBlock& settings)
{
    settings.readBrush.Reset(CreateSolidBrush(settings.readColor));
    settings.idleBrush.Reset(CreateSolidBrush(settings.idleColor));
}

COLORREF HighlightColour(int n)
{
    const Rgb hue = HighlightHue(n);
    return RGB(hue.red, hue.green, hue.blue);
}

LRESULT OnNcCreate(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ++Live().windows;
    BindWindowObject(window, CreationObject<gui_data>(lParam));
    return DefWindowProcW(window, message, wParam, lParam);
}

void OnCreate(HWND window, gui_data* data)
{
    if (!data)
        return;
    RECT rect{};
    GetWindowRect(window, &rect);
    MoveWindow(window, data->x, data->y, rect.right - rect.left, rect.bottom - rect.top, FALSE);
}

void OnDestroy(HWND window, gui_data* data)
{
    if (data) {
        if (data->tooltip && IsWindow(data->tooltip))
            DestroyWindow(data->tooltip);
        data->tooltip = nullptr;
        data->paintedValid = false;
        if (IndicatorEntry* entry = data->Entry(); entry && entry->window == window)
            entry->window = nullptr;
        UnbindWindowObject(window);
    }
    RestoreReadAndIdleBrushes(Settings());
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
    const SettingsBlock& settings = Settings();
    const IndicatorEntry* entry = data.Entry();
    const wchar_t* label = settings.showIndicatorLabel && entry ? entry->label.c_str() : nullptr;
    PaintLed(dc, client, data.record ? data.record->state : 0, SharedBrushes(settings), label);
    data.painted = look;
    data.paintedValid = true;
    EndPaint(window, &paint);
}

}  // namespace

gui_data::~gui_data()
{
    if (const HWND window = Window())
        DestroyWindow(window);
}

LedSize GetLedSize(SettingsBlock& settings)
{
    if (!IsLedSizeIndex(settings.ledSizeIdx))
        settings.ledSizeIdx = 1;
    return LedSizeFor(settings.ledSizeIdx);
}

bool RegisterIndicatorClass(HINSTANCE instance)
{
    g_instance = instance;
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

HWND CreateIndicatorWindow(gui_data* data)
{
    if (!data)
        return nullptr;
    SettingsBlock& settings = Settings();
    const bool layered = settings.opacity != 255;
    const LedSize size = GetLedSize(settings);
    const HWND window =
        CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | (layered ? WS_EX_LAYERED : 0), kIndicatorClass, L"",
                        WS_POPUP, 1, 1, size.width, size.height, nullptr, nullptr, g_instance, data);
    if (!window)
        return nullptr;
    ShowWindow(window, SW_SHOWNOACTIVATE);
    if (layered)
        SetLayeredWindowAttributes(window, 0, static_cast<BYTE>(settings.opacity & 0xFF), LWA_ALPHA);
    return window;
}

void RecreateIndicatorWindows(DisplayList& displays, std::uint32_t mode)
{
    for (const auto& data : displays) {
        IndicatorEntry* entry = data->Entry();
        if (!entry)
            continue;
        if (entry->window) {
            DestroyWindow(entry->window);
            entry->window = nullptr;
        }
        if (!data->visible || (entry->kind & mode) == 0)
            continue;
        entry->window = CreateIndicatorWindow(data.get());
        if (entry->window) {
            const LedSize size = GetLedSize(Settings());
            SetWindowPos(entry->window, HWND_TOPMOST, data->x, data->y, size.width, size.height, SWP_NOACTIVATE);
        }
    }
}

std::uint32_t RefreshIndicator(HWND window)
{
    gui_data* data = DataOf(window);
    if (!data)
        return 0;
    if (data->highlight != 0) {
        StepHighlight(window, *data);
        return 0;
    }
    RefreshIndicatorTooltip(*data);
    return data->record ? data->record->state : 0;
}

void RepaintIndicatorIfChanged(HWND window)
{
    if (const gui_data* data = DataOf(window))
        InvalidateIfChanged(window, *data);
}

void StepHighlight(HWND window, gui_data& data)
{
    if (data.highlight == 0)
        return;
    const int n = --data.highlight;
    data.highlightColour = HighlightColour(n);
    SettingsBlock& settings = Settings();
    settings.readBrush.Reset(CreateSolidBrush(data.highlightColour));
    settings.idleBrush.Reset(CreateSolidBrush(data.highlightColour));
    if (n % 10 == 0)
        data.enlarged = !data.enlarged;  // the window keeps its size throughout
    if (n < 1) {
        data.highlight = 0;
        data.enlarged = false;
        RestoreReadAndIdleBrushes(settings);
        // The size of now: "Led size" may have changed while the window was
        // hidden during the highlight.
        const LedSize size = GetLedSize(settings);
        SetWindowPos(window, nullptr, 0, 0, size.width, size.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
}

void ArrangeIndicators(DisplayList& displays)
{
    int next = 2;
    const LedSize size = GetLedSize(Settings());
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

int BringIndicatorsOnScreen(DisplayList& displays)
{
    const LedSize size = GetLedSize(Settings());
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
    case WM_CREATE:
        OnCreate(window, data);
        break;
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
        OnIndicatorCaptureChanged(window, reinterpret_cast<HWND>(lParam));
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
