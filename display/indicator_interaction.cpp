#include "display/indicator_interaction.h"

#include <windowsx.h>

#include <algorithm>
#include <cstddef>
#include <cwchar>

#include "display/display_record.h"
#include "display/display_system.h"
#include "display/indicator_host.h"
#include "display/indicator_rules.h"
#include "display/tip_text.h"
#include "display/tip_window.h"

namespace {

constexpr std::size_t kTipTextCapacity = 4096;
constexpr std::size_t kAppendixLength = 5;
constexpr DWORD kTipFollowPeriod = 250;  // milliseconds

// The values every indicator window shares: the drag origin (only the window
// holding the mouse capture drags) and the text the tips are given.
struct Interaction {
    POINT dragOrigin{kNoDrag, 0};
    wchar_t tipText[kTipTextCapacity] = {};
    DWORD tipFollowedAt = 0;  // when a shown tip was last given its text
};

Interaction& Shared()
{
    static Interaction shared;
    return shared;
}

std::wstring TitleOf(const gui_data& data)
{
    return data.record ? data.record->GetName() : std::wstring();
}

// Dragging ends with the button's release or with the capture lost to
// another window; either way the positions are saved a second later.
void EndDrag(const gui_data* data)
{
    POINT& origin = Shared().dragOrigin;
    if (origin.x == kNoDrag)
        return;
    origin.x = kNoDrag;
    if (data && data->host)
        data->host->DragEnded();
}

void MoveIndicator(HWND window, gui_data& data, int dx, int dy)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    data.x = rect.left + dx;
    data.y = rect.top + dy;
    MoveWindow(window, data.x, data.y, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

// Gives the indicator's tip (made on first use) its current text; null when
// there is no tip.
HWND UpdateTip(HWND window, gui_data& data)
{
    if (!data.tooltip)
        data.tooltip = CreateTipWindow(window);
    if (!data.tooltip)
        return nullptr;
    const int statistics = FillTooltipText(window, data, Shared().tipText, kTipTextCapacity);
    SetTipText(data.tooltip, TitleOf(data), Shared().tipText, TipGraphOf(data, statistics));
    return data.tooltip;
}

void ShowTipAtCursor(HWND window, gui_data& data)
{
    if (const HWND tip = UpdateTip(window, data)) {
        POINT cursor{};
        GetCursorPos(&cursor);
        ShowTipAt(tip, cursor);
    }
}

bool TipShown(const gui_data& data)
{
    return data.tooltip && IsWindowVisible(data.tooltip);
}

}  // namespace

bool TipFollowDue(const gui_data& data)
{
    return TipShown(data) && GetTickCount() - Shared().tipFollowedAt >= kTipFollowPeriod;
}

void RefreshIndicatorTooltip(gui_data& data)
{
    // A few times a second is as often as anyone reads the figures, which
    // change once a second or with each request.
    if (!TipFollowDue(data))
        return;
    Shared().tipFollowedAt = GetTickCount();
    UpdateTip(data.Window(), data);
}

void OnIndicatorLButtonDown(HWND window, gui_data* data, LPARAM lParam)
{
    // The capture first: taking it from another window ends that one's drag.
    SetCapture(window);
    Shared().dragOrigin = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (data)
        ShowTipAtCursor(window, *data);  // the drag hint, at once
}

void OnIndicatorMouseMove(HWND window, gui_data& data, WPARAM wParam, LPARAM lParam)
{
    const POINT origin = Shared().dragOrigin;
    if (!(wParam & MK_LBUTTON) || origin.x == kNoDrag || GetCapture() != window) {
        // The tip shows once the pointer rests on the indicator.
        if (!TipShown(data)) {
            TRACKMOUSEEVENT track{sizeof track, TME_HOVER | TME_LEAVE, window, kTipHoverTime};
            TrackMouseEvent(&track);
        }
        return;
    }
    int dx = GET_X_LPARAM(lParam) - origin.x;
    int dy = GET_Y_LPARAM(lParam) - origin.y;
    DisplaySystem& system = CurrentDisplaySystem();
    if (system.AsyncKeyState(VK_CONTROL) < 0) {
        dx = SnapToGrid(dx);
        dy = SnapToGrid(dy);
    }
    if (dx == 0 && dy == 0)
        return;
    if (system.AsyncKeyState(VK_SHIFT) >= 0 || !data.host) {
        MoveIndicator(window, data, dx, dy);
    } else {
        for (const auto& other : data.host->Displays()) {
            const HWND otherWindow = other->Window();
            if (otherWindow && IsWindow(otherWindow))
                MoveIndicator(otherWindow, *other, dx, dy);
        }
    }
    if (TipShown(data)) {
        POINT cursor{};
        GetCursorPos(&cursor);
        ShowTipAt(data.tooltip, cursor);
    }
}

void OnIndicatorMouseHover(HWND window, gui_data& data)
{
    ShowTipAtCursor(window, data);
    // Only the leave is left to hear of, asked for on its own: Wine then looks
    // for it at the system's hover time, not at the short one that showed the
    // tip (20 times a second for as long as the pointer rests here).
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window, HOVER_DEFAULT};
    TrackMouseEvent(&track);
}

void OnIndicatorMouseLeave(HWND window, gui_data& data)
{
    if (GetCapture() != window)
        HideTip(data.tooltip);
}

void OnIndicatorLButtonUp(HWND window, gui_data* data, LPARAM lParam)
{
    EndDrag(data);
    if (GetCapture() == window)
        ReleaseCapture();
    if (!data || !TipShown(*data))
        return;
    RECT client{};
    GetClientRect(window, &client);
    const POINT pointer{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (!PtInRect(&client, pointer)) {
        HideTip(data->tooltip);
        return;
    }
    UpdateTip(window, *data);  // the statistics again, at once
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window, HOVER_DEFAULT};
    TrackMouseEvent(&track);
}

void OnIndicatorCaptureChanged(HWND window, const gui_data* data, HWND gaining)
{
    if (gaining != window)
        EndDrag(data);
}

void OnIndicatorDoubleClick(gui_data* data)
{
    if (!data)
        return;
    HideTip(data->tooltip);
    if (data->host)
        data->host->OpenOptions();
}

void OnIndicatorRButtonUp(HWND window, gui_data* data)
{
    if (!data)
        return;
    HideTip(data->tooltip);
    if (data->host)
        data->host->ShowIndicatorMenu(window);
}

int FillTooltipText(HWND window, gui_data& data, wchar_t* buffer, std::size_t capacity)
{
    if (capacity == 0)
        return 0;
    if (GetCapture() == window) {
        CopyBounded(kDragHint, buffer, capacity);
        return 0;
    }
    buffer[0] = L'\0';
    if (data.record)
        data.record->GetText(buffer, capacity);
    const std::size_t length = wcsnlen(buffer, capacity);
    CopyBounded(BuildProcessAppendix(), buffer, capacity, length);
    return TipLineCount(std::wstring_view(buffer, length));
}

TipGraph TipGraphOf(const gui_data& data, int statisticsLines)
{
    TipGraph graph;
    const SettingsBlock& settings = SettingsOf(data);
    if (!data.record || statisticsLines == 0 || !settings.showMinuteInTips)
        return graph;
    graph.shown = true;
    graph.afterLine = statisticsLines;
    graph.read = settings.readColor;
    graph.write = settings.writeColor;
    graph.points = data.record->history.Points();
    return graph;
}

const std::wstring& BuildProcessAppendix(ThrottledText& appendix)
{
    if (!RebuildDue(appendix))
        return appendix.text;
    std::vector<TipProcess> processes;
    for (const ProcessStat& process : RankProcesses(appendix.sampler, kAppendixLength))
        processes.push_back({process.processId, process.name, WholeRate(process.readRate + process.writeRate)});
    appendix.text = ProcessAppendix(processes, appendix.sampler.readings >= 2);  // rates from the second reading
    return appendix.text;
}

const std::wstring& BuildProcessAppendix()
{
    static ThrottledText appendix;
    return BuildProcessAppendix(appendix);
}
