// The "Summary" tab (dialog 147): the statistics of every indicator on
// screen in one read-only text box, rebuilt every second while "Auto refresh"
// is ticked.
#include "options/statistics_pages.h"

#include "options/options_pages.h"
#include "options/summary_text.h"
#include "resources/resource.h"

namespace {

// Room for any record's statistics text; a longer one is cut.
constexpr std::size_t kRecordTextCapacity = 4096;

void OnInitDialog(HWND page, LPARAM host)
{
    KeepHost(page, host);
    SetTimer(page, IDT_STATS_REFRESH, kStatsRefreshPeriod, nullptr);
    CheckDlgButton(page, IDC_STAT_AUTO_REFRESH, HostOf(page).Settings().statPageRefresh ? BST_CHECKED : BST_UNCHECKED);
    BuildSummaryText(page);
}

}  // namespace

std::wstring SummaryText(const DisplayList& displays)
{
    std::wstring text;
    wchar_t statistics[kRecordTextCapacity];
    for (const auto& data : displays) {
        const IndicatorEntry* entry = data->Entry();
        if (!entry || !data->Window() || !IsWindowVisible(data->Window()) || !data->record)
            continue;
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
            BuildSummaryText(page);
        return FALSE;
    case WM_COMMAND:
        return OnStatisticsCommand(page, LOWORD(wParam));
    case WM_DESTROY:
        HostOf(page).SaveSettings();
        return FALSE;
    default:
        return FALSE;
    }
}
