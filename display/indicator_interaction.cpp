#include "display/indicator_interaction.h"

#include <windowsx.h>

#include <algorithm>
#include <cstddef>
#include <cwchar>

#include "app/shell.h"
#include "common/gdi_handles.h"
#include "display/display_system.h"
#include "display/indicator_window.h"
#include "resources/resource.h"

namespace {

constexpr std::size_t kTipTextCapacity = 4096;
constexpr std::size_t kAppendixLength = 5;
constexpr int kGridStep = 8;
constexpr UINT kTipInitialDelay = 50;
constexpr UINT kMeasureFlags = DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS | DT_TABSTOP;
constexpr UINT kDrawFlags = DT_NOCLIP | DT_EXPANDTABS | DT_TABSTOP;

// The values every indicator window shares: the drag origin (only the window
// holding the mouse capture drags) and the text the tooltips are given.
struct Interaction {
    POINT dragOrigin{kNoDrag, 0};
    wchar_t tipText[kTipTextCapacity] = {};
};

Interaction& Shared()
{
    static Interaction shared;
    return shared;
}

// A memory DC, deleted with DeleteDC.
class MemoryDc {
public:
    explicit MemoryDc(HDC compatible) : dc_(CreateCompatibleDC(compatible)) {}
    ~MemoryDc()
    {
        if (dc_)
            DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

__gui_data* DataOf(HWND window)
{
    return reinterpret_cast<__gui_data*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

HINSTANCE InstanceOf(HWND window)
{
    return reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
}

DRAWTEXTPARAMS TipTextParams()
{
    DRAWTEXTPARAMS params{};
    params.cbSize = sizeof params;
    params.iTabLength = 8;
    params.iLeftMargin = 4;
    params.iRightMargin = 4;
    return params;
}

void DrawTipText(HDC dc, const wchar_t* text, RECT* rect, UINT flags)
{
    DRAWTEXTPARAMS params = TipTextParams();
    DrawTextExW(dc, const_cast<wchar_t*>(text), -1, rect, flags, &params);
}

std::wstring TitleOf(const __gui_data& data)
{
    return data.record ? data.record->GetName() : std::wstring();
}

// Dragging ends with the button's release or with the capture lost to
// another window; either way the positions are saved a second later.
void EndDrag()
{
    POINT& origin = Shared().dragOrigin;
    if (origin.x == kNoDrag)
        return;
    origin.x = kNoDrag;
    ScheduleSettingsSave();
}

void MoveIndicator(HWND window, __gui_data& data, int dx, int dy)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    data.x = rect.left + dx;
    data.y = rect.top + dy;
    MoveWindow(window, data.x, data.y, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

// The tooltip's NM_CUSTOMDRAW: the measuring pass sizes the tip for the title
// above the body; the painting pass draws both.
LRESULT OnTooltipCustomDraw(HWND window, __gui_data& data, NMTTCUSTOMDRAW& draw)
{
    if (draw.nmcd.dwDrawStage != CDDS_PREPAINT)
        return DefWindowProcW(window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw));
    const wchar_t* body = Shared().tipText;
    if (draw.uDrawFlags & DT_CALCRECT) {
        const TipLayout layout = MeasureTooltip(draw.nmcd.hdc, TitleOf(data), body, TooltipFonts());
        data.tipLayout.assign({layout.title, layout.body});
        draw.uDrawFlags = kDrawFlags;
        draw.nmcd.rc = {0, 0, layout.size.cx, layout.size.cy};
        return CDRF_SKIPDEFAULT;
    }
    // Without a measuring pass (Wine's tooltips make none) the tooltip draws
    // itself.
    if (data.tipLayout.size() < 2)
        return CDRF_DODEFAULT;
    RECT rect{};
    GetWindowRect(data.tooltip, &rect);
    PaintTooltip(draw.nmcd.hdc, rect.right - rect.left, rect.bottom - rect.top, TitleOf(data), body,
                 data.tipLayout[0].bottom - data.tipLayout[0].top, TooltipFonts());
    return CDRF_SKIPDEFAULT;
}

void OnGetTipText(HWND window, __gui_data& data, NMTTDISPINFOW& info)
{
    info.hinst = nullptr;
    FillTooltipText(window, data, Shared().tipText, kTipTextCapacity);
    info.lpszText = Shared().tipText;
}

}  // namespace

HWND CreateIndicatorTooltip(HWND indicator)
{
    const HINSTANCE instance = InstanceOf(indicator);
    const HWND tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                         WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                         CW_USEDEFAULT, CW_USEDEFAULT, indicator, nullptr, instance, nullptr);
    if (!tooltip)
        return nullptr;
    SendMessageW(tooltip, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    SetWindowPos(tooltip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_TRANSPARENT | TTF_PARSELINKS;
    tool.hwnd = indicator;
    GetClientRect(indicator, &tool.rect);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tooltip, TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(kTipInitialDelay, 0));
    if (const __gui_data* data = DataOf(indicator))
        SendMessageW(tooltip, TTM_SETTITLEW, TTI_NONE, reinterpret_cast<LPARAM>(TitleOf(*data).c_str()));
    return tooltip;
}

void ResetIndicatorTooltip(HWND indicator)
{
    __gui_data* data = DataOf(indicator);
    if (!data)
        return;
    if (data->tooltip && IsWindow(data->tooltip))
        DestroyWindow(data->tooltip);
    data->tooltip = CreateIndicatorTooltip(indicator);
}

void RelayToTooltip(HWND indicator, __gui_data& data, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The tooltip acts only on mouse messages; the tool has no TTF_SUBCLASS,
    // so this relay is how it sees the mouse and appears on hover.
    if (message < WM_MOUSEFIRST || message > WM_MOUSELAST || !data.tooltip || !IsWindow(data.tooltip))
        return;
    MSG relayed{indicator, message, wParam, lParam, 0, {}};
    GetCursorPos(&relayed.pt);
    SendMessageW(data.tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

void RefreshIndicatorTooltip(__gui_data& data)
{
    if (!data.tooltip || !IsWindowVisible(data.tooltip))
        return;
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    if (!SendMessageW(data.tooltip, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&tool)))
        return;
    // The tip lays itself out and repaints whenever it is given its text, so
    // it is asked only when the text changed.
    wchar_t text[kTipTextCapacity];
    FillTooltipText(tool.hwnd, data, text, kTipTextCapacity);
    if (wcscmp(text, Shared().tipText) == 0)
        return;
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    tool.hinst = InstanceOf(tool.hwnd);
    SendMessageW(data.tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void OnIndicatorLButtonDown(HWND window, __gui_data* data, LPARAM lParam)
{
    if (data)
        ResetIndicatorTooltip(window);
    // The capture first: taking it from another window ends that one's drag.
    SetCapture(window);
    Shared().dragOrigin = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (data && data->tooltip)
        SendMessageW(data->tooltip, TTM_POPUP, 0, 0);
}

void OnIndicatorMouseMove(HWND window, __gui_data& data, WPARAM wParam, LPARAM lParam)
{
    const POINT origin = Shared().dragOrigin;
    if (!(wParam & MK_LBUTTON) || origin.x == kNoDrag || GetCapture() != window)
        return;
    int dx = GET_X_LPARAM(lParam) - origin.x;
    int dy = GET_Y_LPARAM(lParam) - origin.y;
    DisplaySystem& system = CurrentDisplaySystem();
    if (system.AsyncKeyState(VK_CONTROL) < 0) {
        // Whole grid steps toward zero; the rest carries over to the next move.
        dx = dx / kGridStep * kGridStep;
        dy = dy / kGridStep * kGridStep;
    }
    if (dx == 0 && dy == 0)
        return;
    if (system.AsyncKeyState(VK_SHIFT) >= 0) {
        MoveIndicator(window, data, dx, dy);
        return;
    }
    for (const auto& other : App().displays) {
        const HWND otherWindow = other->Window();
        if (otherWindow && IsWindow(otherWindow))
            MoveIndicator(otherWindow, *other, dx, dy);
    }
}

void OnIndicatorLButtonUp(HWND window)
{
    EndDrag();
    if (GetCapture() == window)
        ReleaseCapture();
}

void OnIndicatorCaptureChanged(HWND window, HWND gaining)
{
    if (gaining != window)
        EndDrag();
}

void OnIndicatorDoubleClick()
{
    ShowOptionsWindow();
}

void OnIndicatorRButtonUp(HWND window, __gui_data* data)
{
    if (data)
        ResetIndicatorTooltip(window);
    ShowShellMenu(IDM_INDICATOR_MENU, window);
}

LRESULT OnIndicatorNotify(HWND window, __gui_data* data, WPARAM wParam, LPARAM lParam)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (data && header) {
        if (header->code == TTN_GETDISPINFOW) {
            OnGetTipText(window, *data, *reinterpret_cast<NMTTDISPINFOW*>(lParam));
            return 0;
        }
        if (header->code == NM_CUSTOMDRAW && header->hwndFrom == data->tooltip)
            return OnTooltipCustomDraw(window, *data, *reinterpret_cast<NMTTCUSTOMDRAW*>(lParam));
    }
    return DefWindowProcW(window, WM_NOTIFY, wParam, lParam);
}

void FillTooltipText(HWND window, __gui_data& data, wchar_t* buffer, std::size_t capacity)
{
    if (capacity == 0)
        return;
    if (GetCapture() == window) {
        recordtext::CopyBounded(kDragHint, buffer, capacity);
        return;
    }
    buffer[0] = L'\0';
    if (data.record)
        data.record->GetText(buffer, capacity);
    recordtext::CopyBounded(BuildProcessAppendix(), buffer, capacity, wcsnlen(buffer, capacity));
}

const std::wstring& BuildProcessAppendix(ThrottledText& appendix)
{
    if (!RebuildDue(appendix))
        return appendix.text;
    const std::vector<ProcessStat> ranked = RankProcesses(appendix.sampler, kAppendixLength);
    appendix.text = L"\n" + std::wstring(74, L'_') +
                    L"\nSystem-wide Top5 user processes with most IO. Some non-disk IO also included.\n";
    if (appendix.sampler.readings < 2)
        return appendix.text;  // no rates before the second reading
    for (const ProcessStat& process : ranked) {
        std::wstring id = std::to_wstring(process.processId);
        if (id.size() < 8)
            id.insert(0, 8 - id.size(), L' ');
        appendix.text += id + L" " + process.name + L": " +
                         FormatRate(WholeRate(process.readRate + process.writeRate)) + L"\n";
    }
    return appendix.text;
}

const std::wstring& BuildProcessAppendix()
{
    static ThrottledText appendix;
    return BuildProcessAppendix(appendix);
}

TipFonts TooltipFonts()
{
    struct Fonts {
        GdiObject<HFONT> normal;
        GdiObject<HFONT> bold;
    };
    static const Fonts fonts = [] {
        Fonts made;
        NONCLIENTMETRICSW metrics{};
        // The layout without iPaddedBorderWidth, which every system accepts.
        metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
            made.normal.Reset(CreateFontIndirectW(&metrics.lfStatusFont));
            metrics.lfStatusFont.lfWeight = FW_BOLD;
            made.bold.Reset(CreateFontIndirectW(&metrics.lfStatusFont));
        }
        return made;
    }();
    const auto fallback = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    return {fonts.normal ? fonts.normal.Get() : fallback, fonts.bold ? fonts.bold.Get() : fallback};
}

TipLayout MeasureTooltip(HDC dc, const std::wstring& title, const wchar_t* body, TipFonts fonts)
{
    TipLayout layout;
    const HGDIOBJ old = SelectObject(dc, fonts.bold);
    if (!title.empty())  // no name, no title line
        DrawTipText(dc, title.c_str(), &layout.title, kMeasureFlags);
    SelectObject(dc, fonts.normal);
    DrawTipText(dc, body, &layout.body, kMeasureFlags);
    SelectObject(dc, old);
    layout.size = {std::max(layout.title.right, layout.body.right), layout.title.bottom + layout.body.bottom};
    return layout;
}

void PaintTooltip(HDC dc, int width, int height, const std::wstring& title, const wchar_t* body,
                  int titleHeight, TipFonts fonts)
{
    const MemoryDc memory(dc);
    const GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, width, height));
    if (!memory.Get() || !bitmap)
        return;
    const HGDIOBJ oldBitmap = SelectObject(memory.Get(), bitmap.Get());
    const HGDIOBJ oldFont = SelectObject(memory.Get(), fonts.bold);
    RECT rect{0, 0, width, height};
    FillRect(memory.Get(), &rect, GetSysColorBrush(COLOR_INFOBK));
    SetBkMode(memory.Get(), TRANSPARENT);
    SetTextColor(memory.Get(), GetSysColor(COLOR_INFOTEXT));
    DrawEdge(memory.Get(), &rect, EDGE_SUNKEN, BF_RECT | BF_FLAT);
    rect.left += 2;
    rect.top += 2;
    DrawTipText(memory.Get(), title.c_str(), &rect, kDrawFlags);
    rect.top += titleHeight;
    SelectObject(memory.Get(), fonts.normal);
    DrawTipText(memory.Get(), body, &rect, kDrawFlags);
    BitBlt(dc, 0, 0, width, height, memory.Get(), 0, 0, SRCCOPY);
    SelectObject(memory.Get(), oldFont);
    SelectObject(memory.Get(), oldBitmap);
}
