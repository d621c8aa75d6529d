// The process I/O sampler over scripted process snapshots (under Wine every
// process's I/O counters read as zeros): rates, ranking, forgetting, the page
// and tooltip texts byte for byte, the once-a-second throttle, the clock.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "display/indicator_interaction.h"
#include "scripted_processes.h"

namespace {

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
    system.Busy(), system.At(3);  // equal sums in ascending id order, other transfers not counted
    EXPECT_EQ(L"4 b.exe 0/4096/0, 8 a.exe 4096/0/0, 12 c.exe 0/0/5000, ", Ranking(sampler, 3));
    system.Find(12)->other += 5000;  // no time passed: the same rates, the counters of 3 s kept
    EXPECT_EQ(L"4 b.exe 0/4096/0, 8 a.exe 4096/0/0, ", Ranking(sampler, 2));
    system.list = {{4, L"e.exe", 10}, {12, L"c.exe", 0, 0, 30000}}, system.At(5);  // 8 ended, 4 reused
    EXPECT_EQ(L"4 e.exe 0/0/0, 12 c.exe 0/0/10000, ", Ranking(sampler, 10));  // no difference to b.exe's counters
    EXPECT_EQ(2u, sampler.entries.size());
    system.works = false;
    EXPECT_EQ(L"", Ranking(sampler, 10));
    EXPECT_EQ(2u, sampler.entries.size());  // a failed snapshot forgets nothing
}

TEST(ProcessSampler, ReportAndAppendixTextsByteForByteBuiltAtMostOnceASecond)
{
    ScriptedProcesses system;
    const ScopedProcessSystem scoped(system);
    ThrottledText report, appendix;
    system.At(1);
    EXPECT_EQ(L"", BuildProcessReport(report));  // one reading: the page shows "Initializing..."
    const std::wstring header = L"\n" + std::wstring(74, L'_') +
                                L"\nSystem-wide Top5 user processes with most IO. Some non-disk IO also included.\n";
    EXPECT_EQ(header, BuildProcessAppendix(appendix));
    system.Busy(), system.At(2);  // one second is not more than one second
    EXPECT_EQ(L"", BuildProcessReport(report));
    system.At(3);
    const std::wstring head = L"Top user processes with most data I/O.\r\n"
                              L"Windows also include some non-disk IO in those numbers.\r\n\r\n";
    const std::wstring text = head + L"4 b.exe Read+Write: 4 kB/s\r\n Read: 0 kB/s;  Write: 4 kB/s;  Other: 0 kB/s"
                                     L"\r\n\r\n8 a.exe Read+Write: 4 kB/s\r\n Read: 4 kB/s;  Write: 0 kB/s;  "
                                     L"Other: 0 kB/s\r\n\r\n";
    EXPECT_EQ(text, BuildProcessReport(report));  // c.exe's other transfers only: not on the page
    EXPECT_EQ(header + L"       4 b.exe: 4 kB/s\n       8 a.exe: 4 kB/s\n      12 c.exe: 0 kB/s\n",
              BuildProcessAppendix(appendix));
    system.Find(8)->read += 1 << 30, system.At(3.9);
    EXPECT_EQ(text, BuildProcessReport(report));  // the same second: the same figures
    system.At(4.5);
    EXPECT_NE(std::wstring::npos, BuildProcessReport(report).find(L"8 a.exe Read+Write: 699050 kB/s"));
    system.At(6);
    EXPECT_EQ(head + L"No user processes with data I/O\r\n", BuildProcessReport(report));
}

TEST(ProcessSampler, ClockAndNumberConversions)
{
    for (auto [count, frequency] : {std::pair<std::uint64_t, std::uint64_t>{123456789, 10'000'000},
                                    {3'579'545ull * 86400, 3'579'545}, {999, 1000}})
        EXPECT_EQ(count * 1'000'000 / frequency, MicrosecondsOf(count, frequency));
    EXPECT_EQ(22 * 86400'000'000ull, MicrosecondsOf(22 * 86400ull * 10'000'000, 10'000'000));  // 2^64 / 10^6 passed
    EXPECT_EQ(1844674407370955161u, MicrosecondsOf(std::numeric_limits<std::uint64_t>::max(), 10'000'000));
    EXPECT_EQ(0u, MicrosecondsOf(5, 0));

    const std::int64_t max = std::numeric_limits<std::int64_t>::max(), min = std::numeric_limits<std::int64_t>::min();
    for (auto [rate, whole] : {std::pair{std::nan(""), std::int64_t{0}}, {1e30, max}, {9.3e18, max}, {-1e30, min},
                               {2047.9, 2047}, {-5.5, -5}})
        EXPECT_EQ(whole, WholeRate(rate)) << rate;
    for (auto [rate, text] : {std::pair<std::int64_t, std::wstring>{0, L"0 kB/s"}, {1, L"<1 kB/s"}, {1023, L"<1 kB/s"},
                              {1024, L"1 kB/s"}, {2047, L"1 kB/s"}, {2048, L"2 kB/s"}, {-5, L"<1 kB/s"}})
        EXPECT_EQ(text, FormatRate(rate)) << rate;
}

TEST(ProcessSampler, TheRealSnapshotHoldsThisProcess)
{
    const ProcessSnapshot snapshot = SnapshotProcessIo();
    EXPECT_NE(0u, snapshot.time);
    EXPECT_TRUE(std::ranges::any_of(snapshot.records, [](auto& r) { return r.processId == GetCurrentProcessId(); }));
}

}  // namespace
