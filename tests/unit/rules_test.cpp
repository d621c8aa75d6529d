// The decisions that need no window, built natively with the sanitizers: the
// LED sizes, default places, the Ctrl grid and the highlight's hues; the
// "General" page's visible flags; the Summary's blocks and the tip's process
// list; the bounded copy every text uses; the process rates.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/bounded_text.h"
#include "display/indicator_rules.h"
#include "display/tip_text.h"
#include "options/selection_rules.h"
#include "options/summary_text.h"
#include "sources/indicator_kind.h"
#include "sources/rates.h"

namespace {

TEST(IndicatorRules, LedSizesPlacesGridAndHues)
{
    const std::pair<int, LedSize> sizes[] = {{-1, {16, 12}}, {0, {12, 9}},  {1, {16, 12}},  {2, {24, 18}},
                                             {3, {32, 24}},  {4, {64, 40}}, {5, {128, 96}}, {6, {16, 12}}};
    for (const auto& [index, size] : sizes) {
        EXPECT_EQ(size.width, LedSizeFor(index).width) << index;
        EXPECT_EQ(size.height, LedSizeFor(index).height) << index;
    }
    EXPECT_EQ(2, DefaultIndicatorPlace(0).x);
    EXPECT_EQ(56, DefaultIndicatorPlace(3).x);
    EXPECT_EQ(2, DefaultIndicatorPlace(3).y);
    const std::pair<int, int> steps[] = {{7, 0}, {8, 8}, {9, 8}, {15, 8}, {16, 16}, {-7, 0}, {-9, -8}};
    for (const auto& [delta, snapped] : steps)
        EXPECT_EQ(snapped, SnapToGrid(delta)) << delta;
    // Step 99 is red with a touch of blue, 50 red, 0 magenta; cyan a quarter of the way from either end.
    const std::pair<int, Rgb> hues[] = {{99, {255, 0, 30}}, {75, {0, 255, 255}}, {60, {203, 255, 0}},
                                        {50, {255, 0, 0}},  {25, {0, 255, 255}}, {0, {255, 0, 255}}};
    for (const auto& [n, hue] : hues)
        EXPECT_EQ(hue, HighlightHue(n)) << n;
}

// Selected items show their indicators (a position past the list is passed
// over); the all-in-one indicator shows whenever the mode shows its kind.
TEST(SelectionRules, SelectedItemsAndTheAllInOneIndicatorAreShown)
{
    const std::vector<std::uint32_t> kinds{kKindPhysicalDrive, kKindPhysicalDrive, kKindAllInOne, kKindLogicalDisk};
    EXPECT_EQ((std::vector<bool>{true, false, true, true}), VisibleFlags(kinds, {0, 3, 9}, 7));
    EXPECT_EQ((std::vector<bool>{false, true, false, false}), VisibleFlags(kinds, {1}, kKindPhysicalDrive));
    EXPECT_EQ((std::vector<bool>{false, false, true, false}), VisibleFlags(kinds, {}, kKindAllInOne));
}

TEST(SummaryText, ABlockPerIndicatorWithADrivesSerialNumberAndDetails)
{
    std::wstring text;
    AppendSummaryBlock(text, {kKindPhysicalDrive, L"Physical Drive 0 - M", L"Read: 1 KB", L"S1", L"Details"});
    AppendSummaryBlock(text, {kKindPhysicalDrive, L"Physical Drive 1", L"Read: 2 KB", L"", L""});
    AppendSummaryBlock(text, {kKindLogicalDisk, L"C:\\", L"Read: 3 KB", L"S2", L"Details"});
    EXPECT_EQ(
        L"Physical Drive 0 - M\r\nRead: 1 KB\r\nSerial Number: S1\r\nDetails\r\n\r\n"
        L"Physical Drive 1\r\nRead: 2 KB\r\n\r\nC:\\\r\nRead: 3 KB\r\n\r\n",
        text);
}

TEST(TipText, TheProcessListIsAHeaderThenOneLinePerProcessOnceThereAreRates)
{
    const std::wstring header = L"\n" + std::wstring(74, L'_') +
                                L"\nSystem-wide Top5 user processes with most IO. Some non-disk IO also included.\n";
    const std::vector<TipProcess> processes{{4, L"b.exe", 4096}, {123456789, L"a.exe", 1023}, {12, L"c.exe", 0}};
    EXPECT_EQ(header, ProcessAppendix(processes, false));
    EXPECT_EQ(header + L"       4 b.exe: 4 kB/s\n123456789 a.exe: <1 kB/s\n      12 c.exe: 0 kB/s\n",
              ProcessAppendix(processes, true));
}

// A text copied after the first characters of a fixed buffer: cut at its end,
// never splitting a surrogate pair, always terminated, nothing past the buffer.
TEST(BoundedText, CopiesAreCutAtTheEndOfTheBuffer)
{
    const std::wstring text =
        L"ab\xD83D\xDCBE"
        L"cd";
    struct Case {
        std::size_t capacity, at;
        std::wstring expected;
    };
    const Case cases[] = {{10, 2,
                           L"xxab\xD83D\xDCBE"
                           L"cd"},
                          {6, 2, L"xxab"},
                          {5, 2, L"xxab"},
                          {3, 2, L"xx"},
                          {3, 7, L"xx"},
                          {1, 0, L""}};
    for (const Case& c : cases) {
        std::wstring buffer(12, L'#');  // the text before `at` written as "x"
        buffer.replace(0, std::min(c.at, c.capacity), std::min(c.at, c.capacity), L'x');
        CopyBounded(text, buffer.data(), c.capacity, c.at);
        EXPECT_EQ(c.expected, std::wstring(buffer.c_str())) << c.capacity << " " << c.at;
        EXPECT_EQ(std::wstring(11 - c.capacity + 1, L'#'), buffer.substr(c.capacity)) << c.capacity;
    }
    std::wstring untouched(2, L'#');
    CopyBounded(text, untouched.data(), 0);
    EXPECT_EQ(L"##", untouched);
}

TEST(Rates, ClockAndNumberConversions)
{
    for (auto [count, frequency] : {std::pair<std::uint64_t, std::uint64_t>{123456789, 10'000'000},
                                    {3'579'545ull * 86400, 3'579'545},
                                    {999, 1000}})
        EXPECT_EQ(count * 1'000'000 / frequency, MicrosecondsOf(count, frequency));
    EXPECT_EQ(22 * 86400'000'000ull, MicrosecondsOf(22 * 86400ull * 10'000'000, 10'000'000));  // 2^64 / 10^6 passed
    EXPECT_EQ(1844674407370955161u, MicrosecondsOf(std::numeric_limits<std::uint64_t>::max(), 10'000'000));
    EXPECT_EQ(0u, MicrosecondsOf(5, 0));

    const std::int64_t max = std::numeric_limits<std::int64_t>::max(), min = std::numeric_limits<std::int64_t>::min();
    for (auto [rate, whole] : {std::pair{std::nan(""), std::int64_t{0}},
                               {1e30, max},
                               {9.3e18, max},
                               {-1e30, min},
                               {2047.9, 2047},
                               {-5.5, -5}})
        EXPECT_EQ(whole, WholeRate(rate)) << rate;
    for (auto [rate, text] : {std::pair<std::int64_t, std::wstring>{0, L"0 kB/s"},
                              {1, L"<1 kB/s"},
                              {1023, L"<1 kB/s"},
                              {1024, L"1 kB/s"},
                              {2047, L"1 kB/s"},
                              {2048, L"2 kB/s"},
                              {-5, L"<1 kB/s"}})
        EXPECT_EQ(text, FormatRate(rate)) << rate;
}

}  // namespace
