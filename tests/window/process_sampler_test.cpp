// The process I/O sampler over scripted process snapshots (under Wine every
// process's I/O counters read as zeros): rates, ranking, forgetting, the page
// and tooltip texts byte for byte, the once-a-second throttle, the clock.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "display/indicator_interaction.h"
#include "options/process_sampler.h"
#include "options/process_system.h"

namespace {

// Processes with scripted counters; an entry of another size than the x64
// PROCESSENTRY32W ends the walk, as the real call does.
class ScriptedProcesses : public ProcessSystem {
public:
    struct Process {
        DWORD id;
        std::wstring name;
        ULONGLONG read = 0, write = 0, other = 0;
        bool opens = true;
    };
    HANDLE CreateProcessSnapshot() override { return snapshotWorks ? reinterpret_cast<HANDLE>(1) : nullptr; }
    bool FirstProcess(HANDLE, PROCESSENTRY32W* entry) override { return next = 0, NextProcess(nullptr, entry); }
    bool NextProcess(HANDLE, PROCESSENTRY32W* entry) override
    {
        if (entry->dwSize != 568 || next == list.size())
            return false;
        entry->th32ProcessID = list[next].id;
        wcsncpy(entry->szExeFile, list[next++].name.c_str(), MAX_PATH);
        return true;
    }
    HANDLE OpenProcessForQuery(DWORD id) override
    {
        return Find(id) && Find(id)->opens ? reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(id) + 2) : nullptr;
    }
    bool ReadIoCounters(HANDLE process, IO_COUNTERS* c) override
    {
        const Process* p = Find(static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(process) - 2));
        *c = {1, 2, 3, p->read, p->write, p->other};
        return true;
    }
    std::uint64_t CreationTime(HANDLE) override { return 0; }
    void Close(HANDLE) override { ++closed; }
    std::uint64_t PerformanceCounter() override { return counter; }
    std::uint64_t PerformanceFrequency() override { return 10'000'000; }

    void At(double seconds) { counter = static_cast<std::uint64_t>(seconds * 10'000'000); }
    Process* Find(DWORD id)
    {
        for (Process& p : list)
            if (p.id == id)
                return &p;
        return nullptr;
    }

    std::vector<Process> list;
    std::size_t next = 0;
    std::uint64_t counter = 0;
    int closed = 0;
    bool snapshotWorks = true;
};

std::vector<DWORD> Ids(const std::vector<ProcessStat>& ranked)
{
    std::vector<DWORD> ids;
    for (const ProcessStat& s : ranked)
        ids.push_back(s.processId);
    return ids;
}

TEST(ProcessSampler, RatesFromTheSecondReadingRankedBySumThenIdAndEndedOrReusedIdsStartAfresh)
{
    ScriptedProcesses system;
    const ScopedProcessSystem scoped(system);
    ProcessSampler sampler;
    system.list = {{8, L"a.exe", 1000}, {4, L"b.exe"}, {12, L"c.exe"}, {20, L"locked.exe", 0, 0, 0, false}};
    system.At(1);
    const auto first = RankProcesses(sampler, 10);
    ASSERT_EQ((std::vector<DWORD>{4, 8, 12}), Ids(first));  // no rate yet: process-id order
    EXPECT_EQ(0, first[1].readRate);                       // not its lifetime's 1000 bytes
    EXPECT_EQ(4, system.closed);                           // the snapshot and the three opened processes
    system.Find(8)->read += 8192, system.Find(4)->write += 8192, system.Find(12)->other += 10000;
    system.At(3);
    const auto second = RankProcesses(sampler, 3);
    ASSERT_EQ((std::vector<DWORD>{4, 8, 12}), Ids(second));  // equal sums: ascending ids
    EXPECT_EQ(4096, second[1].readRate);
    EXPECT_EQ(5000, second[2].otherRate);
    EXPECT_EQ((std::vector<DWORD>{4, 8}), Ids(RankProcesses(sampler, 2)));  // no time passed: the same rates

    system.list = {{4, L"e.exe", 10}, {12, L"c.exe", 0, 0, 10000}};  // 8 ended, 4 reused
    system.At(5);
    const auto third = RankProcesses(sampler, 10);
    ASSERT_EQ((std::vector<DWORD>{4, 12}), Ids(third));
    EXPECT_EQ(L"e.exe", third[0].name);
    EXPECT_EQ(0, third[0].readRate + third[0].writeRate);  // a fresh entry, no difference to b.exe
    EXPECT_EQ(2u, sampler.entries.size());

    system.snapshotWorks = false;
    EXPECT_TRUE(RankProcesses(sampler, 10).empty());
    EXPECT_EQ(2u, sampler.entries.size());  // nothing learnt, nothing forgotten
}

TEST(ProcessSampler, ReportAndAppendixTextsByteForByteBuiltAtMostOnceASecond)
{
    ScriptedProcesses system;
    const ScopedProcessSystem scoped(system);
    ThrottledText report, appendix;
    system.list = {{8, L"a.exe", 1000}, {4, L"b.exe"}, {12, L"c.exe"}};
    system.At(1);
    EXPECT_EQ(L"", BuildProcessReport(report));  // one reading: the page shows "Initializing..."
    const std::wstring header = L"\n" + std::wstring(74, L'_') +
                                L"\nSystem-wide Top5 user processes with most IO. Some non-disk IO also included.\n";
    EXPECT_EQ(header, BuildProcessAppendix(appendix));
    system.Find(8)->read += 8192, system.Find(4)->write += 8192, system.Find(12)->other += 10000;
    system.At(2);  // one second is not more than one second
    EXPECT_EQ(L"", BuildProcessReport(report));
    system.At(3);
    const std::wstring head = L"Top user processes with most data I/O.\r\n"
                              L"Windows also include some non-disk IO in those numbers.\r\n\r\n";
    const std::wstring text = head + L"4 b.exe Read+Write: 4 kB/s\r\n Read: 0 kB/s;  Write: 4 kB/s;  Other: 0 kB/s"
                                     L"\r\n\r\n8 a.exe Read+Write: 4 kB/s\r\n Read: 4 kB/s;  Write: 0 kB/s;  "
                                     L"Other: 0 kB/s\r\n\r\n";
    EXPECT_EQ(text, BuildProcessReport(report));
    EXPECT_EQ(header + L"       4 b.exe: 4 kB/s\n       8 a.exe: 4 kB/s\n      12 c.exe: 0 kB/s\n",
              BuildProcessAppendix(appendix));  // other transfers only: in the top five, not on the page
    system.Find(8)->read += 1 << 30;
    system.At(3.9);
    EXPECT_EQ(text, BuildProcessReport(report));  // the same second: the same figures
    system.At(4.5);
    EXPECT_NE(std::wstring::npos, BuildProcessReport(report).find(L"8 a.exe Read+Write: 699050 kB/s"));
    system.At(6);
    EXPECT_EQ(head + L"No user processes with data I/O\r\n", BuildProcessReport(report));
}

TEST(ProcessSampler, AReadingWithoutElapsedTimeKeepsRatesAndTheirCounters)
{
    ProcessStat entry;
    UpdateProcessStat(entry, {1, L"x", {0, 0, 0, 1000, 0, 0}}, 5'000'000);
    UpdateProcessStat(entry, {1, L"x", {0, 0, 0, 3000, 0, 0}}, 6'000'000);
    EXPECT_EQ(2000, entry.readRate);
    UpdateProcessStat(entry, {1, L"x", {0, 0, 0, 9000, 0, 0}}, 6'000'000);
    UpdateProcessStat(entry, {1, L"x", {0, 0, 0, 9000, 0, 0}}, 5'000'000);  // the clock went back
    EXPECT_EQ(2000, entry.readRate);
    EXPECT_EQ(3000u, entry.counters.ReadTransferCount);
    UpdateProcessStat(entry, {1, L"x", {0, 0, 0, 9000, 0, 0}}, 9'000'000);
    EXPECT_EQ(2000, entry.readRate);  // 6000 bytes over the 3 s since the reading they pair with
}

TEST(ProcessSampler, ClockAndNumberConversions)
{
    for (auto [count, frequency] : {std::pair<std::uint64_t, std::uint64_t>{123456789, 10'000'000},
                                    {3'579'545ull * 86400, 3'579'545}, {999, 1000}})
        EXPECT_EQ(count * 1'000'000 / frequency, MicrosecondsOf(count, frequency));
    EXPECT_EQ(22 * 86400ull * 1'000'000, MicrosecondsOf(22 * 86400ull * 10'000'000, 10'000'000));  // past 2^64 / 10^6
    EXPECT_EQ(1844674407370955161u, MicrosecondsOf(std::numeric_limits<std::uint64_t>::max(), 10'000'000));
    EXPECT_EQ(0u, MicrosecondsOf(5, 0));

    const std::int64_t max = std::numeric_limits<std::int64_t>::max(), min = std::numeric_limits<std::int64_t>::min();
    for (auto [rate, whole] : {std::pair{std::nan(""), std::int64_t{0}}, {1e30, max}, {9.3e18, max}, {-1e30, min},
                               {2047.9, 2047}, {-5.5, -5}})
        EXPECT_EQ(whole, WholeRate(rate)) << rate;
    const wchar_t* texts[] = {L"0 kB/s", L"<1 kB/s", L"<1 kB/s", L"1 kB/s", L"1 kB/s", L"2 kB/s", L"<1 kB/s"};
    const std::int64_t rates[] = {0, 1, 1023, 1024, 2047, 2048, -5};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(texts[i], FormatRate(rates[i])) << rates[i];
}

TEST(ProcessSampler, TheRealSnapshotHoldsThisProcess)
{
    const ProcessSnapshot snapshot = SnapshotProcessIo();
    EXPECT_NE(0u, snapshot.time);
    bool found = false;
    for (const ProcessIoRecord& record : snapshot.records)
        found |= record.processId == GetCurrentProcessId();
    EXPECT_TRUE(found);
}

}  // namespace
