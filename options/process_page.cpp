// The "User process I/O" tab (dialog 147): the processes that move the most
// data, from the page's own sampler, refreshed every second while "Auto
// refresh" is ticked.
#include <iterator>
#include <string_view>

#include "options/options_pages.h"
#include "sources/process_sampler.h"
#include "options/statistics_pages.h"
#include "resources/resource.h"

namespace {

constexpr wchar_t kInitializing[] = L"Initializing...";

void ShowReport(HWND page)
{
    const std::wstring& report = BuildProcessReport();
    if (!report.empty())
        SetStatisticsText(page, report);
}

void OnInitDialog(HWND page, LPARAM host)
{
    KeepHost(page, host);
    SetTimer(page, IDT_STATS_REFRESH, kStatsRefreshPeriod, nullptr);
    CheckDlgButton(page, IDC_STAT_AUTO_REFRESH, HostOf(page).Settings().statPageRefresh ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemTextW(page, IDC_STAT_TEXT, kInitializing);
    ShowReport(page);
}

// Until it shows a report the page takes readings whatever "Auto refresh" says.
void OnTimer(HWND page)
{
    wchar_t shown[std::size(kInitializing) + 1] = {};
    GetDlgItemTextW(page, IDC_STAT_TEXT, shown, static_cast<int>(std::size(shown)));
    if (HostOf(page).Settings().statPageRefresh || std::wstring_view(shown) == kInitializing)
        ShowReport(page);
}

}  // namespace

INT_PTR CALLBACK ProcessIoPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(page, lParam);
        return TRUE;
    case WM_TIMER:
        if (wParam == IDT_STATS_REFRESH)
            OnTimer(page);
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
