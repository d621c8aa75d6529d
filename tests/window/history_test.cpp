// The last minute of throughput: the counter source's bytes in its ring (a
// clock set back, a counter started again, wrapping at 60), the graph's pixels
// in a tip and its peak's text, the setting that shows it in tips, and the
// "Summary" tab's rows.
#include "display/indicator_interaction.h"
#include "display/tip_window.h"
#include "indicator_fixture.h"
#include "options/options_pages.h"
#include "resources/resource.h"
#include "sources/counter_source.h"
#include "tests/support/fake_source_system.h"
#include "tests/support/perf_snapshot.h"

constexpr std::uint64_t kSecond = MinuteHistory::kSecond;

// Times in tenths of a second (the source's once-a-second steps): 3000 bytes
// read in 1.5 s are a point of 2000, the next 1.5 s two (with the half second
// left over); the clock set back to 7 s adds nothing, and at 8 s the read
// total has gone down. A record without an entry reads the first logical disk.
TEST(MinuteHistory, TheCounterSourcesBytesOnePointEachWholeSecondWrappingAtSixty)
{
    FakeSourceSystem fake;
    const ScopedSourceSystem scope(fake);
    DirectRegistryAccess access;
    CRegistryAccessIndicator record(access);
    record.Open();
    const auto take = [&](std::uint64_t time, std::uint64_t read, std::uint64_t written) {
        fake.data = perftest::Snapshot({{}, {{u"C:", {.bytesRead = read, .bytesWritten = written}}}}, time);
        access.Refresh();
        record.Sample();
    };
    const std::uint64_t takes[][3] = {{50, 1000, 7000}, {55, 2000, 7000}, {60, 3000, 8000}, {75, 6000, 8000},
                                      {90, 9000, 8000}, {70, 9500, 8000}, {80, 9000, 8500}};
    for (const auto& [time, read, written] : takes)
        take(time * kSecond / 10, read, written);
    const MinutePoints points = record.history.Points();
    EXPECT_EQ((std::vector<ThroughputPoint>{{0, 0}, {2000, 1000}, {2000, 0}, {2000, 0}, {2000, 0}, {0, 500}}),
              std::vector<ThroughputPoint>(points.end() - 6, points.end()));
    for (std::uint64_t i = 1, read = 9000; i <= 61; ++i)
        take((8 + i) * kSecond, read += i, 8500);  // i bytes in second i: the oldest of the minute is second 2
    EXPECT_EQ((std::pair{2ull, 61ull}), std::pair(record.history.Points()[0].read, record.history.Points()[59].read));
}

// Under the first body line: reads above the middle line and writes below,
// scaled to the peak (1000 fills the 20 rows above it, 500 half the rows
// below); a single byte shows as one row, the one under the line. At 144 DPI
// the graph is half as high again.
TEST(MinuteGraph, ReadsAboveWritesBelowScaledToThePeak)
{
    const Canvas canvas(600, 300);
    const TipFonts fonts = MakeTipFonts(96);
    TipGraph graph{true, 1, kRead, kWrite};
    graph.points[0] = {0, 1};
    graph.points[59] = {1000, 500};
    const std::wstring_view title = L"Disk 0", body = L"Read: 1 KB\r\n___";
    const TipLayout layout = LayoutTip(canvas.dc, title, body, fonts, graph);
    PaintTip(canvas.dc, layout, title, body, fonts, graph);
    EXPECT_EQ(73, LayoutTip(canvas.dc, title, body, MakeTipFonts(144), graph).graphBlock);
    const int x = layout.margin + 118;
    const int middle = layout.margin + layout.titleHeight + layout.lineHeight + 4 + 20;
    const COLORREF back = GetSysColor(COLOR_INFOBK);
    const std::tuple<int, int, COLORREF> pixels[] = {
        {x, middle - 21, back}, {x + 1, middle - 20, kRead},  {x - 1, middle - 1, back},
        {x, middle + 11, back}, {x + 1, middle + 10, kWrite}, {layout.margin + 1, middle + 1, kWrite}};
    for (const auto& [px, py, colour] : pixels)
        EXPECT_EQ(colour, canvas.At(px, py)) << px << "," << py;
    for (const auto& [rate, text] :
         {std::pair{1023ull, L"peak 1023 B/s"}, {1048575ull, L"peak 1.0 MB/s"}, {50541363ull, L"peak 48.2 MB/s"}})
        EXPECT_EQ(text, PeakText(rate));
}

// The "Summary" tab's row paints the indicator's 4096 bytes written in its
// newest second right of its name; its tip shows the minute (49 rows at 96
// DPI) until "Show the last minute in tips" is cleared.
TEST_F(IndicatorsTest, TheMinuteOnTheSummaryTabAndInTipsWhileTheSettingIsOn)
{
    Add(kKindPhysicalDrive, L"Disk 0").history.Take(kSecond, 0, 0);
    Record(0).history.Take(2 * kSecond, 0, 4096);
    Recreate();
    const auto open = [](int dialog, DLGPROC proc) {
        return CreateDialogParamW(nullptr, MAKEINTRESOURCEW(dialog), Window(0), proc,
                                  reinterpret_cast<LPARAM>(App().optionsHost));
    };
    const HWND list = GetDlgItem(open(IDD_SUMMARY_PAGE, SummaryPageProc), IDC_SUM_MINUTES);
    const Canvas canvas(400, 50);
    DRAWITEMSTRUCT item{ODT_LISTBOX, IDC_SUM_MINUTES, 0, ODA_DRAWENTIRE, 0, list, canvas.dc, {0, 0, 400, 47}};
    SendMessageW(GetParent(list), WM_DRAWITEM, IDC_SUM_MINUTES, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(kWrite, canvas.At(229, 43));  // the newest second's bar's lowest row
    gui_data& data = *App().displays[0];
    OnIndicatorMouseHover(Window(0), data);
    const int shown = TipSize(data.tooltip).cy;
    Toggle(open(IDD_APPEARANCE_PAGE, AppearancePageProc), IDC_APP_TIP_MINUTE);
    OnIndicatorMouseHover(Window(0), data);
    EXPECT_EQ(49, shown - TipSize(data.tooltip).cy);
}
