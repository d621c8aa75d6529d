// Dragging indicators (one, all with Shift, 8-pixel steps with Ctrl) and the
// save it schedules, the tip (the drag hint, the statistics, hover and leave),
// the tip's picture, the two statistics pages, and the process sampler
// behind them.
#include <algorithm>
#include <cmath>

#include "display/indicator_interaction.h"
#include "display/tip_painter.h"
#include "indicator_fixture.h"
#include "options/options_pages.h"
#include "options/statistics_pages.h"
#include "resources/resource.h"
#include "scripted_processes.h"

namespace {

// "Disk 0" and "Disk 1", physical drives, with their windows.
class InteractionTest : public IndicatorsTest {
protected:
    void SetUp() override
    {
        IndicatorsTest::SetUp();
        Add(kKindPhysicalDrive, L"Disk 0");
        Add(kKindPhysicalDrive, L"Disk 1");
        Recreate();
    }
    bool SaveScheduled() { return KillTimer(App().worker.Get(), IDT_SAVE_SETTINGS); }
    void Mouse(int i, UINT message, int x, int y = 5)
    {
        SendMessageW(Window(i), message, MK_LBUTTON, MAKELPARAM(x, y));
    }
    // Presses on the first indicator at (5, 5), moves to each point with the keys held, lets go.
    void Drag(std::initializer_list<POINT> moves, std::initializer_list<int> keys = {})
    {
        display.held = keys;
        Mouse(0, WM_LBUTTONDOWN, 5);
        for (const POINT move : moves)
            Mouse(0, WM_MOUSEMOVE, move.x, move.y);
        Mouse(0, WM_LBUTTONUP, 5);
        display.held.clear();
    }
    bool TipShown(int i) { return IsWindowVisible(App().displays[i]->tooltip); }
    // The first indicator's tip: its title, a line break and its body.
    std::wstring TipText()
    {
        wchar_t text[1024] = {};
        GetWindowTextW(App().displays[0]->tooltip, text, 1024);
        return text;
    }
    // A statistics page (dialog 147) on the first indicator, with the program's host.
    HWND OpenPage(DLGPROC proc)
    {
        return CreateDialogParamW(nullptr, MAKEINTRESOURCEW(IDD_STATISTICS_PAGE), Window(0), proc,
                                  reinterpret_cast<LPARAM>(App().optionsHost));
    }
    static void Tick(HWND page) { SendMessageW(page, WM_TIMER, IDT_STATS_REFRESH, 0); }
    static std::wstring Text(HWND page) { return IndicatorsTest::Text(page, IDC_STAT_TEXT); }
};

// Client coordinates, so a move goes along with the window: each move is
// measured from the press. Without a key one indicator moves, with Shift both,
// with Ctrl in whole steps of 8 toward zero; the places are saved a second
// after the drag.
TEST_F(InteractionTest, DragsMoveOneOrAllIndicatorsOrSnapToTheGrid)
{
    Drag({{15, 25}});
    EXPECT_EQ("310,320", At(0));
    EXPECT_EQ("340,300", At(1));
    EXPECT_TRUE(SaveScheduled());
    Drag({{5, 15}}, {VK_SHIFT});
    EXPECT_EQ("310,330", At(0));
    EXPECT_EQ("340,310", At(1));
    Drag({{12, 2}, {16, 14}}, {VK_CONTROL});  // 7 and -3 give nothing yet; 11 and 9 give 8 and 8
    EXPECT_EQ("318,338", At(0));
}

// A press shows the drag hint at once; losing the capture (as Alt+Tab takes
// it) ends the drag; released off the indicator the tip goes (its leaving was
// not told during the capture), released on it the tip shows the statistics;
// a hover shows and leaving hides another's tip.
TEST_F(InteractionTest, TheTipShowsTheHintDuringADragAndTheStatisticsAfter)
{
    Mouse(0, WM_LBUTTONDOWN, 5);
    EXPECT_EQ(L"Disk 0\n" + std::wstring(kDragHint), TipText());
    EXPECT_TRUE(TipShown(0));
    SetCapture(Window(1));
    EXPECT_TRUE(SaveScheduled());
    Mouse(0, WM_MOUSEMOVE, 20);
    EXPECT_EQ("300,300", At(0));
    ReleaseCapture();
    for (const auto& [x, shown] : {std::pair{-30, false}, {5, true}}) {
        Mouse(0, WM_LBUTTONDOWN, 5);
        Mouse(0, WM_LBUTTONUP, x);
        EXPECT_EQ(shown, TipShown(0)) << x;
    }
    EXPECT_EQ(L"Disk 0\nRead: 1 KB\n___", TipText().substr(0, 21));  // the statistics, then the process list
    SendMessageW(Window(1), WM_MOUSEHOVER, 0, 0);
    EXPECT_TRUE(TipShown(1));
    SendMessageW(Window(1), WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(TipShown(1));
}

// The tip painted into memory: a frame in the info text colour, the title in
// bold (more ink than the same words in the body), each line's second cell
// starting at one x however wide the first cells are drawn, and the fonts at
// 144 DPI half as high again.
TEST(TipPainter, FramedBoldTitleAndColumnsAtOneX)
{
    const Canvas canvas(600, 200);
    const TipFonts fonts = MakeTipFonts(96);
    const std::wstring_view title = L"Disk 0";
    const std::wstring_view body = L"Disk 0\r\nRead: 1 \tWrite: 1\r\nRequests/sec: 12345 \t\tWrite: 2\n";
    const TipLayout layout = LayoutTip(canvas.dc, title, body, fonts);
    PaintTip(canvas.dc, layout, title, body, fonts);
    const COLORREF text = GetSysColor(COLOR_INFOTEXT);
    const COLORREF back = GetSysColor(COLOR_INFOBK);
    EXPECT_EQ(layout.titleHeight + 3 * layout.lineHeight + 2 * layout.margin, layout.size.cy);
    EXPECT_EQ(text, canvas.At(0, 0));
    EXPECT_EQ(text, canvas.At(layout.size.cx - 1, layout.size.cy - 1));
    EXPECT_EQ(back, canvas.At(1, 1));
    EXPECT_EQ(0u, canvas.At(layout.size.cx, layout.size.cy));  // nothing past the tip
    // Ink of rows [top, top + line) from x on: how much, and where it starts.
    const auto ink = [&](int top, int from, int* first) {
        int count = 0;
        *first = -1;
        for (int x = layout.size.cx - 2; x >= from; --x) {
            for (int y = top; y < top + layout.lineHeight; ++y) {
                if (canvas.At(x, y) != back) {
                    ++count;
                    *first = x;
                }
            }
        }
        return count;
    };
    const int line0 = layout.margin + layout.titleHeight;
    int first[4] = {};
    EXPECT_GT(ink(layout.margin, 1, &first[0]), ink(line0, 1, &first[1]) * 11 / 10);
    ink(line0 + layout.lineHeight, layout.columns[1] - 2, &first[2]);
    ink(line0 + 2 * layout.lineHeight, layout.columns[1] - 2, &first[3]);
    EXPECT_EQ(first[2], first[3]);
    EXPECT_LE(layout.columns[1], first[2]);
    EXPECT_GT(layout.columns[1] + 3, first[2]);
    const auto height = [](HFONT font) {
        LOGFONTW description{};
        GetObjectW(font, sizeof description, &description);
        return std::abs(description.lfHeight);
    };
    const TipFonts large = MakeTipFonts(144);
    EXPECT_EQ(MulDiv(height(fonts.Normal()), 3, 2), height(large.Normal()));
    EXPECT_EQ(MulDiv(height(fonts.Bold()), 3, 2), height(large.Bold()));
}

// The "Summary" and "User process I/O" pages: the summary's blocks and their
// bound, and "Auto refresh" freezing and resuming both pages.
TEST_F(InteractionTest, SummaryBlocksInListOrderAndAutoRefreshClearedFreezingBothPages)
{
    ScriptedProcesses system;
    const ScopedProcessSystem scoped(system);
    system.At(1);
    App().indicators[1].serialNumber = L"S1";
    const HWND summary = OpenPage(SummaryPageProc);
    const HWND processes = OpenPage(ProcessIoPageProc);
    EXPECT_EQ(L"Disk 0\r\nRead: 1 KB\r\n\r\nDisk 1\r\nRead: 1 KB\r\nSerial Number: S1\r\n\r\n", Text(summary));
    EXPECT_EQ(L"Initializing...", Text(processes));
    Toggle(summary, IDC_STAT_AUTO_REFRESH);  // cleared: the setting both pages share
    system.Busy();
    system.At(3);
    Tick(processes);  // the first report comes all the same
    const std::wstring report = Text(processes);
    EXPECT_NE(std::wstring::npos, report.find(L"\r\n\r\n4 b.exe Read+Write: 4 kB/s")) << report;

    Record(0).text = L"Read: 5 KB";
    system.Find(8)->read += 1 << 20;  // 512 kB/s
    system.At(5);
    Tick(summary);
    Tick(processes);
    EXPECT_EQ(0u, Text(summary).find(L"Disk 0\r\nRead: 1 KB"));
    EXPECT_EQ(report, Text(processes));
    Toggle(summary, IDC_STAT_AUTO_REFRESH);  // ticked again
    Tick(summary);
    Tick(processes);
    EXPECT_EQ(0u, Text(summary).find(L"Disk 0\r\nRead: 5 KB"));
    EXPECT_NE(std::wstring::npos, Text(processes).find(L"8 a.exe Read+Write: 512 kB/s"));

    Record(1).text = std::wstring(10000, L'x');  // cut at the end of the 4096-character buffer
    EXPECT_EQ(L"\r\n" + std::wstring(4095, L'x') + L"\r\nSerial", SummaryText(App().displays).substr(28, 4105));
    ShowWindow(Window(0), SW_HIDE);
    ShowWindow(Window(1), SW_HIDE);
    EXPECT_EQ(L"", SummaryText(App().displays));
}

// The process I/O sampler over scripted process snapshots (under Wine every
// process's I/O counters read as zeros): rates, ranking, forgetting.
// "id name read/write/other" of each ranked process, rates in bytes per second.
std::wstring Ranking(ProcessSampler& sampler, std::size_t count)
{
    std::wstring text;
    for (const ProcessStat& s : RankProcesses(sampler, count))
        text += std::to_wstring(s.processId) + L" " + s.name + L" " + std::to_wstring(WholeRate(s.readRate)) + L"/" +
                std::to_wstring(WholeRate(s.writeRate)) + L"/" + std::to_wstring(WholeRate(s.otherRate)) + L", ";
    return text;
}

TEST(ProcessSampler, RatesFromTheSecondReadingRankedBySumThenIdAndEndedOrReusedIdsStartAfresh)
{
    ScriptedProcesses system;
    const ScopedProcessSystem scoped(system);
    ProcessSampler sampler;
    system.At(1);
    EXPECT_EQ(L"4 b.exe 0/0/0, 8 a.exe 0/0/0, 12 c.exe 0/0/0, ", Ranking(sampler, 10));  // not a.exe's lifetime
    EXPECT_EQ(4, system.closed);  // the snapshot and the three processes opened
    system.Busy();
    system.At(3);  // equal sums in ascending id order, other transfers not counted
    EXPECT_EQ(L"4 b.exe 0/4096/0, 8 a.exe 4096/0/0, 12 c.exe 0/0/5000, ", Ranking(sampler, 3));
    system.Find(12)->other += 5000;  // no time passed: the same rates, the counters of 3 s kept
    EXPECT_EQ(L"4 b.exe 0/4096/0, 8 a.exe 4096/0/0, ", Ranking(sampler, 2));
    // 8 ended; 4 reused by another program, 12 by one of the same name started later.
    system.list = {{4, L"e.exe", 10}, {12, L"c.exe", 0, 0, 30000, 1}};
    system.At(5);
    EXPECT_EQ(L"4 e.exe 0/0/0, 12 c.exe 0/0/0, ", Ranking(sampler, 10));  // no rates from the old counters
    EXPECT_EQ(2u, sampler.entries.size());
    system.works = false;
    EXPECT_EQ(L"", Ranking(sampler, 10));
    EXPECT_EQ(2u, sampler.entries.size());  // a failed snapshot forgets nothing
}

// The page's report: nothing before a second reading, rebuilt at most once a
// second, busiest first, processes with only other transfers left out.
TEST(ProcessSampler, TheReportIsBuiltAtMostOnceASecond)
{
    ScriptedProcesses system;
    const ScopedProcessSystem scoped(system);
    ThrottledText report;
    system.At(1);
    EXPECT_EQ(L"", BuildProcessReport(report));  // one reading: the page shows "Initializing..."
    system.Busy();
    system.At(2);  // one second is not more than one second
    EXPECT_EQ(L"", BuildProcessReport(report));
    system.At(3);
    const std::wstring text = BuildProcessReport(report);
    EXPECT_LT(text.find(L"4 b.exe Read+Write: 4 kB/s"), text.find(L"8 a.exe Read+Write: 4 kB/s"));
    EXPECT_EQ(std::wstring::npos, text.find(L"c.exe"));
    system.Find(8)->read += 1 << 30;
    system.At(3.9);
    EXPECT_EQ(text, BuildProcessReport(report));  // the same second: the same figures
    system.At(4.5);
    EXPECT_NE(std::wstring::npos, BuildProcessReport(report).find(L"8 a.exe Read+Write: 699050 kB/s"));
}

TEST(ProcessSampler, TheRealSnapshotHoldsThisProcess)
{
    const ProcessSnapshot snapshot = SnapshotProcessIo();  // the real walk, PROCESSENTRY32W of 568 bytes
    EXPECT_TRUE(std::ranges::any_of(snapshot.records, [](auto& r) { return r.processId == GetCurrentProcessId(); }));
}

}  // namespace
