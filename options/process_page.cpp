// The "User process I/O" tab (dialog 147): the processes that move the most
// data, from the page's own sampler, refreshed every second while "Auto
// refresh" is ticked.
#include "options/options_pages.h"
#include "sources/process_sampler.h"
#include "options/statistics_pages.h"
#include "resources/resource.h"
#include "settings/settings_model.h"

namespace {

// The page's user data: whether it shows a report yet (until then it shows
// "Initializing..." and takes readings whatever "Auto refresh" says).
constexpr LONG_PTR kShowsReport = 1;

void ShowReport(HWND page)
{
    const std::wstring& report = BuildProcessReport();
    if (report.empty())
        return;
    SetStatisticsText(page, report);
    SetWindowLongPtrW(page, DWLP_USER, kShowsReport);
}

void OnInitDialog(HWND page)
{
    SetTimer(page, IDT_STATS_REFRESH, kStatsRefreshPeriod, nullptr);
    CheckDlgButton(page, IDC_STAT_AUTO_REFRESH, Settings().statPageRefresh ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemTextW(page, IDC_STAT_TEXT, L"Initializing...");
    ShowReport(page);
}

void OnTimer(HWND page)
{
    if (Settings().statPageRefresh || GetWindowLongPtrW(page, DWLP_USER) != kShowsReport)
        ShowReport(page);
}

}  // namespace

INT_PTR CALLBACK ProcessIoPageProc(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(page);
        return TRUE;
    case WM_TIMER:
        if (wParam == IDT_STATS_REFRESH)
            OnTimer(page);
        return FALSE;
    case WM_COMMAND:
        return OnStatisticsCommand(page, LOWORD(wParam));
    case WM_DESTROY:
        StoreGlobalSettingsIfChanged();
        return FALSE;
    default:
        return FALSE;
    }
}
