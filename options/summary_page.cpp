// The "Summary" tab (dialog 1120): the statistics of every indicator on
// screen in one read-only text box and, under it, each one's last minute in
// an owner-drawn list, both taken again every second while "Auto refresh" is
// ticked.
#include "options/statistics_pages.h"

#include <memory>
#include <vector>

#include "common/dpi.h"
#include "display/minute_graph.h"
#include "options/options_pages.h"
#include "options/summary_text.h"
#include "resources/resource.h"

namespace {

// Room for any record's statistics text; a longer one is cut.
constexpr std::size_t kRecordTextCapacity = 4096;

// The minutes the list shows, as the page last took them, kept in a property
// of the page from its creation to its destruction.
constexpr wchar_t kMinutesProperty[] = L"QorvelSummaryMinutes";

struct MinuteRow {
    std::wstring name;
    MinutePoints points;

    bool operator==(const MinuteRow&) const = default;
};
using MinuteRows = std::vector<MinuteRow>;

MinuteRows* RowsOf(HWND page)
{
    return static_cast<MinuteRows*>(GetPropW(page, kMinutesProperty));
}

// Whether the summary shows the indicator: its window is on screen and it has
// an entry and a record.
bool Summarized(const gui_data& data)
{
    return data.Entry() && data.Window() && IsWindowVisible(data.Window()) && data.record;
}

// A row's room at a DPI: the name's column, then the graph with a little room around it.
int RowPadding(UINT dpi)
{
    return MulDiv(3, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
}
int NameWidth(UINT dpi)
{
    return MulDiv(110, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
}

// The list shows the minutes of the indicators summarized now; it is
// painted again only when one of them changed.
void TakeMinutes(HWND page)
{
    const HWND list = GetDlgItem(page, IDC_SUM_MINUTES);
    MinuteRows* shown = RowsOf(page);
    if (!list || !shown)
        return;
    MinuteRows rows;
    for (const auto& data : HostOf(page).Displays()) {
        if (Summarized(*data))
            rows.push_back({data->record->GetName(), data->record->history.Points()});
    }
    if (rows == *shown)
        return;
    if (rows.size() != shown->size()) {
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        for (std::size_t index = 0; index < rows.size(); ++index)
            SendMessageW(list, LB_ADDSTRING, 0, static_cast<LPARAM>(index));
    }
    *shown = std::move(rows);
    InvalidateRect(list, nullptr, FALSE);
}

void Refresh(HWND page)
{
    BuildSummaryText(page);
    TakeMinutes(page);
}

void OnMeasureItem(HWND page, MEASUREITEMSTRUCT& item)
{
    const UINT dpi = DpiOfWindow(page);
    item.itemHeight = static_cast<UINT>(MinuteGraphAt(dpi).height + 2 * RowPadding(dpi));
}

// A row: the indicator's name, cut with an ellipsis, then its minute.
void OnDrawItem(HWND page, const DRAWITEMSTRUCT& item)
{
    const MinuteRows* rows = RowsOf(page);
    if (item.itemAction == ODA_FOCUS) {
        DrawFocusRect(item.hDC, &item.rcItem);
        return;
    }
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_WINDOW));
    if (!rows || item.itemID >= rows->size())
        return;
    const MinuteRow& row = (*rows)[item.itemID];
    const UINT dpi = DpiOfWindow(page);
    const int padding = RowPadding(dpi), left = item.rcItem.left + NameWidth(dpi);
    SetTextColor(item.hDC, GetSysColor(COLOR_WINDOWTEXT));
    SetBkMode(item.hDC, TRANSPARENT);
    RECT name{item.rcItem.left + padding, item.rcItem.top, left - padding, item.rcItem.bottom};
    DrawTextW(item.hDC, row.name.c_str(), static_cast<int>(row.name.size()), &name,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    const SettingsBlock& settings = HostOf(page).Settings();
    PaintMinuteGraph(item.hDC, left, item.rcItem.top + padding, dpi, row.points, settings.readColor,
                     settings.writeColor);
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(item.hDC, &item.rcItem);
}

void OnInitDialog(HWND page, LPARAM host)
{
    KeepHost(page, host);
    auto rows = std::make_unique<MinuteRows>();
    if (SetPropW(page, kMinutesProperty, rows.get()))
        rows.release();  // the page's until its destruction
    SetTimer(page, IDT_STATS_REFRESH, kStatsRefreshPeriod, nullptr);
    CheckDlgButton(page, IDC_STAT_AUTO_REFRESH, HostOf(page).Settings().statPageRefresh ? BST_CHECKED : BST_UNCHECKED);
    Refresh(page);
}

void OnDestroy(HWND page)
{
    HostOf(page).SaveSettings();
    delete static_cast<MinuteRows*>(RemovePropW(page, kMinutesProperty));
}

}  // namespace

std::wstring SummaryText(const DisplayList& displays)
{
    std::wstring text;
    wchar_t statistics[kRecordTextCapacity];
    for (const auto& data : displays) {
        if (!Summarized(*data))
            continue;
        const IndicatorEntry* entry = data->Entry();
        statistics[0] = L'\0';
        data->record->GetText(statistics, kRecordTextCapacity);
        const std::wstring name = data->record->GetName();
        AppendSummaryBlock(text, {entry->kind, name, statistics, entry->serialNumber, entry->details});
    }
    return text;
}

void BuildSummaryText(HWND page)
{
    SetStatisticsText(page, SummaryText(HostOf(page).Displays()));
}

void SetStatisticsText(HWND page, const std::wstring& text)
{
    const HWND box = GetDlgItem(page, IDC_STAT_TEXT);
    if (!box)
        return;
    const int length = GetWindowTextLengthW(box);
    std::wstring shown(static_cast<std::size_t>(length) + 1, L'\0');
    shown.resize(static_cast<std::size_t>(GetWindowTextW(box, shown.data(), length + 1)));
    if (shown == text)
        return;
    const auto firstLine = SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0);
    SetWindowTextW(box, text.c_str());
    SendMessageW(box, EM_LINESCROLL, 0, firstLine);
}

INT_PTR OnStatisticsCommand(HWND page, int id)
{
    switch (id) {
    case IDOK:
    case IDCANCEL:
        HostOf(page).CloseOptions();
        return TRUE;
    case IDC_STAT_AUTO_REFRESH:
        HostOf(page).Settings().statPageRefresh =
            IsDlgButtonChecked(page, IDC_STAT_AUTO_REFRESH) == BST_CHECKED ? 1 : 0;
        return FALSE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK SummaryPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(page, lParam);
        return TRUE;
    case WM_TIMER:
        if (wParam == IDT_STATS_REFRESH && HostOf(page).Settings().statPageRefresh)
            Refresh(page);
        return FALSE;
    case WM_MEASUREITEM:
        OnMeasureItem(page, *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_DRAWITEM:
        OnDrawItem(page, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_COMMAND:
        return OnStatisticsCommand(page, LOWORD(wParam));
    case WM_DESTROY:
        OnDestroy(page);
        return FALSE;
    default:
        return FALSE;
    }
}
