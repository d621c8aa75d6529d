// The "Summary" and "User process I/O" pages (dialog 147): the summary's
// blocks and their bound, and "Auto refresh" freezing and resuming both pages.
#include "indicator_fixture.h"
#include "options/options_pages.h"
#include "options/statistics_pages.h"
#include "resources/resource.h"
#include "scripted_processes.h"

namespace {

class PagesTest : public TwoDisksTest {
protected:
    HWND Open(DLGPROC page) { return CreateDialogParamW(nullptr, MAKEINTRESOURCEW(IDD_STATISTICS_PAGE), Window(0), page, 0); }
    static void Tick(HWND page) { SendMessageW(page, WM_TIMER, IDT_STATS_REFRESH, 0); }
    static std::wstring Text(HWND page) { return IndicatorsTest::Text(page, IDC_STAT_TEXT); }
};

TEST_F(PagesTest, SummaryBlocksInListOrderAndAutoRefreshClearedFreezingBothPages)
{
    ScriptedProcesses system;
    const ScopedProcessSystem scoped(system);
    system.At(1);
    App().indicators[1].serialNumber = L"S1";
    const HWND summary = Open(SummaryPageProc), processes = Open(ProcessIoPageProc);
    EXPECT_EQ(L"Disk 0\r\nRead: 1 KB\r\n\r\nDisk 1\r\nRead: 1 KB\r\nSerial Number: S1\r\n\r\n", Text(summary));
    EXPECT_EQ(L"Initializing...", Text(processes));
    Toggle(summary, IDC_STAT_AUTO_REFRESH);  // cleared: the setting both pages share
    system.Busy(), system.At(3), Tick(processes);  // the first report comes all the same
    const std::wstring report = Text(processes);
    EXPECT_NE(std::wstring::npos, report.find(L"\r\n\r\n4 b.exe Read+Write: 4 kB/s")) << report;

    Record(0).text = L"Read: 5 KB", system.Find(8)->read += 1 << 20, system.At(5);  // 512 kB/s
    Tick(summary), Tick(processes);
    EXPECT_EQ(0u, Text(summary).find(L"Disk 0\r\nRead: 1 KB"));
    EXPECT_EQ(report, Text(processes));
    Toggle(summary, IDC_STAT_AUTO_REFRESH);  // ticked again
    Tick(summary), Tick(processes);
    EXPECT_EQ(0u, Text(summary).find(L"Disk 0\r\nRead: 5 KB"));
    EXPECT_NE(std::wstring::npos, Text(processes).find(L"8 a.exe Read+Write: 512 kB/s"));

    Record(1).text = std::wstring(10000, L'x');  // cut at the end of the 4096-character buffer
    EXPECT_EQ(L"\r\n" + std::wstring(4095, L'x') + L"\r\nSerial", SummaryText(App().indicators).substr(28, 4105));
    ShowWindow(Window(0), SW_HIDE), ShowWindow(Window(1), SW_HIDE);
    EXPECT_EQ(L"", SummaryText(App().indicators));
}

}  // namespace
