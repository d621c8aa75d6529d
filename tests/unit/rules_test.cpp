// The decisions that need no window, built natively with the sanitizers: the
// Ctrl grid and the highlight's hues; the "General" page's visible flags; the
// Summary's blocks and the tip's process list; the bounded copy every text
// uses; the process rates.
#include <gtest/gtest.h>

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

TEST(IndicatorRules, TheGridAndTheHues)
{
    // Whole steps toward zero: the rest carries over to the next move.
    const std::pair<int, int> steps[] = {{7, 0}, {8, 8}, {15, 8}, {16, 16}, {-7, 0}, {-9, -8}};
    for (const auto& [delta, snapped] : steps)
        EXPECT_EQ(snapped, SnapToGrid(delta)) << delta;
    // Red at the middle step, magenta at the last, cyan a quarter of the way from either end.
    const std::pair<int, Rgb> hues[] = {
        {75, {0, 255, 255}}, {50, {255, 0, 0}}, {25, {0, 255, 255}}, {0, {255, 0, 255}}};
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

// A block per indicator in the order given, each ending with an empty line; a
// physical drive's serial number and details follow its statistics.
TEST(SummaryText, TheBlocksInOrderWithADrivesSerialNumberOnly)
{
    std::wstring text;
    AppendSummaryBlock(text, {kKindPhysicalDrive, L"D0", L"R0", L"S0", L"X0"});
    AppendSummaryBlock(text, {kKindPhysicalDrive, L"D1", L"R1", L"", L""});
    AppendSummaryBlock(text, {kKindLogicalDisk, L"C:", L"R2", L"S2", L"X2"});
    const std::size_t serial = text.find(L"S0");
    EXPECT_LT(text.find(L"R0"), serial);
    EXPECT_LT(serial, text.find(L"X0"));
    EXPECT_LT(text.find(L"X0\r\n\r\nD1\r\nR1\r\n\r\nC:\r\nR2\r\n\r\n"), text.size());
    EXPECT_EQ(std::wstring::npos, text.find(L"S2"));  // a logical disk has no serial number shown
}

// One line a process in the ranked order, right-aligned ids, once there are rates.
TEST(TipText, OneLinePerRankedProcessOnceThereAreRates)
{
    const std::vector<TipProcess> processes{{4, L"b.exe", 4096}, {123456789, L"a.exe", 1023}, {12, L"c.exe", 0}};
    const std::wstring header = ProcessAppendix(processes, false);
    EXPECT_EQ(std::wstring::npos, header.find(L"b.exe"));
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
        std::size_t capacity;
        std::size_t at;
        std::wstring expected;
    };
    const Case cases[] = {{10, 2, L"xx" + text}, {6, 2, L"xxab"}, {5, 2, L"xxab"}, {3, 2, L"xx"}, {3, 7, L"xx"}};
    for (const Case& c : cases) {
        std::wstring buffer(12, L'#');  // the text before `at` written as "x"
        buffer.replace(0, std::min(c.at, c.capacity), std::min(c.at, c.capacity), L'x');
        CopyBounded(text, buffer.data(), c.capacity, c.at);
        EXPECT_EQ(c.expected, std::wstring(buffer.c_str())) << c.capacity << " " << c.at;
        EXPECT_EQ(std::wstring(12 - c.capacity, L'#'), buffer.substr(c.capacity)) << c.capacity;
    }
    std::wstring untouched(2, L'#');
    CopyBounded(text, untouched.data(), 0);
    EXPECT_EQ(L"##", untouched);
}

TEST(Rates, ClockAndNumberConversions)
{
    EXPECT_EQ(12345678u, MicrosecondsOf(123456789, 10'000'000));
    EXPECT_EQ(86400'000'000u, MicrosecondsOf(3'579'545ull * 86400, 3'579'545));
    EXPECT_EQ(22 * 86400'000'000ull, MicrosecondsOf(22 * 86400ull * 10'000'000, 10'000'000));  // 2^64 / 10^6 passed
    EXPECT_EQ(1844674407370955161u, MicrosecondsOf(std::numeric_limits<std::uint64_t>::max(), 10'000'000));
    EXPECT_EQ(0u, MicrosecondsOf(5, 0));
    const std::int64_t max = std::numeric_limits<std::int64_t>::max();
    const std::pair<double, std::int64_t> wholes[] = {
        {std::nan(""), 0}, {1e30, max}, {-1e30, std::numeric_limits<std::int64_t>::min()}, {2047.9, 2047}, {-5.5, -5}};
    for (const auto& [rate, whole] : wholes)
        EXPECT_EQ(whole, WholeRate(rate)) << rate;
    const std::pair<std::int64_t, std::wstring> texts[] = {{0, L"0 kB/s"},    {1, L"<1 kB/s"},   {1023, L"<1 kB/s"},
                                                           {1024, L"1 kB/s"}, {2047, L"1 kB/s"}, {2048, L"2 kB/s"}};
    for (const auto& [rate, text] : texts)
        EXPECT_EQ(text, FormatRate(rate)) << rate;
}

}  // namespace
