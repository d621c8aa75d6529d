// The counter source over scripted snapshots: states, once-per-second
// readings and the statistics text.
#include <gtest/gtest.h>

#include <windows.h>

#include "sources/counter_source.h"
#include "sources/perf_layout.h"
#include "sources/registry_access.h"
#include "tests/support/fake_source_system.h"
#include "tests/support/perf_snapshot.h"
#include "tests/support/text_expect.h"

namespace {

using namespace perflayout;
using perftest::DiskValues;
using textexpect::ByteSize;
using textexpect::Exact;
using textexpect::KBSize;

constexpr std::uint64_t kSecond = 10'000'000;

class CounterSourceTest : public ::testing::Test {
protected:
    // One snapshot: the instances of PhysicalDisk and LogicalDisk with values.
    void Serve(std::uint64_t time, std::vector<std::pair<std::u16string, DiskValues>> physical,
               std::vector<std::pair<std::u16string, DiskValues>> logical = {})
    {
        perftest::Description d;
        d.perfTime100nSec = time;
        perftest::Object p{kPhysicalDiskObject, perftest::DiskCounters(), {}};
        for (auto& [name, values] : physical)
            p.instances.push_back({name, perftest::DiskCounterValues(values)});
        perftest::Object l{kLogicalDiskObject, perftest::DiskCounters(), {}};
        for (auto& [name, values] : logical)
            l.instances.push_back({name, perftest::DiskCounterValues(values)});
        d.objects = {p, l};
        fake.data = perftest::Build(d);
        access.Refresh();
    }
    // Serves one instance of PhysicalDisk, "0 C:", and samples the record.
    std::uint32_t Tick(CRegistryAccessIndicator& record, std::uint64_t time, DiskValues values)
    {
        Serve(time, {{u"0 C:", values}});
        return record.Sample();
    }
    std::unique_ptr<CRegistryAccessIndicator> Record(std::wstring path, std::uint32_t kind,
                                                     std::wstring displayName = L"")
    {
        IndicatorEntry entry;
        entry.devicePath = std::move(path);
        entry.displayName = std::move(displayName);
        entry.kind = kind;
        list.push_back(entry);
        auto record = std::make_unique<CRegistryAccessIndicator>(access);
        record->entry = &list.back();
        EXPECT_TRUE(record->Open());
        return record;
    }
    std::wstring Text(CRegistryAccessIndicator& record)
    {
        wchar_t text[512];
        EXPECT_TRUE(record.GetText(text, 512));
        return text;
    }

    FakeSourceSystem fake;
    ScopedSourceSystem scope{fake};
    DirectRegistryAccess access;
    IndicatorList list;
};

TEST_F(CounterSourceTest, InstanceTextAndObjectByKind)
{
    struct Case {
        const wchar_t* path;
        std::uint32_t kind;
        const wchar_t* instance;
        std::uint32_t object;
    } cases[] = {
        {L"\\\\.\\PHYSICALDRIVE3", kKindPhysicalDrive, L"3 ", kPhysicalDiskObject},
        {L"\\\\.\\PHYSICALDRIVE12", kKindPhysicalDrive, L"12 ", kPhysicalDiskObject},
        {L"\\\\.\\C:", kKindLogicalDisk, L"C:", kLogicalDiskObject},
        {L"\\\\.\\HarddiskVolume3", kKindLogicalDisk, L"H:", kLogicalDiskObject},
        {L"_Total", kKindAllInOne, L"_Total", kPhysicalDiskObject},
        {L"\\\\.\\X:", 8, L"", kLogicalDiskObject},
    };
    for (const Case& c : cases) {
        auto record = Record(c.path, c.kind);
        EXPECT_EQ(std::wstring(record->InstanceText()), c.instance) << c.path;
        EXPECT_EQ(record->Object(), c.object) << c.path;
        const CounterSlot& queue = record->SlotAt(CRegistryAccessIndicator::kQueueTotal);
        EXPECT_EQ(queue.counter, kAvgDiskQueueLength);
        EXPECT_EQ(queue.type, kPerfCounter100nsQueueLen);
        EXPECT_EQ(record->SlotAt(CRegistryAccessIndicator::kBytesRead).type, kPerfAverageBulk);
        EXPECT_EQ(record->SlotAt(CRegistryAccessIndicator::kReads).type, kPerfCounterCounter);
        EXPECT_EQ(record->SlotAt(CRegistryAccessIndicator::kWriteQueueTick).counter, kAvgDiskWriteQueueLength);
    }
}

TEST_F(CounterSourceTest, RecordsReadTheirOwnInstance)
{
    auto drive1 = Record(L"\\\\.\\PHYSICALDRIVE1", kKindPhysicalDrive);
    auto drive12 = Record(L"\\\\.\\PHYSICALDRIVE12", kKindPhysicalDrive);
    auto total = Record(L"_Total", kKindAllInOne);
    auto volume = Record(L"\\\\.\\HarddiskVolume3", kKindLogicalDisk);
    auto other = Record(L"?", 16);
    Serve(kSecond, {{u"0 C:", {.queue = 1}}, {u"1 D: E:", {.queue = 2, .readQueue = 0x30000}},
                    {u"_Total", {.queue = 3, .writeQueue = 5}}},
          {{u"G:", {.queue = 4, .writeQueue = 6}}, {u"H:", {.queue = 5, .readQueue = 7}}});
    EXPECT_EQ(drive1->Sample(), 0x00010000u);   // 0x30000 has no low 16 bits
    EXPECT_EQ(drive12->Sample(), 0u);           // "12 " does not match "1 D: E:"
    EXPECT_EQ(total->Sample(), 0x00000005u);
    EXPECT_EQ(volume->Sample(), 0x00070000u);   // HarddiskVolume3 reads H:
    EXPECT_EQ(other->Sample(), 0x00000006u);    // the first LogicalDisk instance
}

TEST_F(CounterSourceTest, StatesFromTheQueueCounters)
{
    auto record = Record(L"\\\\.\\PHYSICALDRIVE0", kKindPhysicalDrive);
    EXPECT_EQ(Tick(*record, kSecond, {.queue = 1000, .readQueue = 500, .writeQueue = 700}), 0x01F402BCu);
    // The queue total did not move: idle, even though read and write queues moved.
    EXPECT_EQ(Tick(*record, kSecond + 1, {.queue = 1000, .readQueue = 900, .writeQueue = 900}), 0u);
    // Growth counts from the last sample: 0x12345 read, 0x10000 write.
    EXPECT_EQ(Tick(*record, kSecond + 2, {.queue = 1001, .readQueue = 900 + 0x12345, .writeQueue = 900 + 0x10000}),
              0x23450000u);
    // Both grew by multiples of 65,536: shown as reading.
    EXPECT_EQ(Tick(*record, kSecond + 3, {.queue = 1002, .readQueue = 900 + 0x32345, .writeQueue = 900 + 0x10000}),
              0x00010000u);
    // Only writes.
    EXPECT_EQ(Tick(*record, kSecond + 4, {.queue = 1003, .readQueue = 900 + 0x32345, .writeQueue = 900 + 0x10003}),
              0x00000003u);
    EXPECT_EQ(record->state, 0u);  // the caller stores the state
}

TEST_F(CounterSourceTest, CounterGoingBackwardsWrapsAround)
{
    auto record = Record(L"\\\\.\\PHYSICALDRIVE0", kKindPhysicalDrive);
    Tick(*record, kSecond, {.queue = 10, .readQueue = 0x10005});
    EXPECT_EQ(Tick(*record, kSecond + 1, {.queue = 5, .readQueue = 0x10001}), 0xFFFC0000u);
}

TEST_F(CounterSourceTest, VanishedInstanceAnswersOnceMoreThenIdle)
{
    auto record = Record(L"\\\\.\\PHYSICALDRIVE1", kKindPhysicalDrive);
    Serve(kSecond, {{u"1 D:", {.queue = 40, .readQueue = 2}}});
    EXPECT_EQ(record->Sample(), 0x00020000u);
    Serve(kSecond + 1, {{u"0 C:", {.queue = 40}}});
    EXPECT_EQ(record->Sample(), 0xFFFE0000u);  // every counter fell to 0
    Serve(kSecond + 2, {{u"0 C:", {.queue = 41}}});
    EXPECT_EQ(record->Sample(), 0u);
    EXPECT_EQ(record->Sample(), 0u);
}

TEST_F(CounterSourceTest, RecordThatNeverFindsItsInstanceIsIdle)
{
    auto record = Record(L"\\\\.\\PHYSICALDRIVE4", kKindPhysicalDrive);
    for (std::uint64_t t = 1; t < 5; ++t)
        EXPECT_EQ(Tick(*record, t * kSecond, {.queue = t * 7}), 0u);
}

TEST_F(CounterSourceTest, TextBeforeAnySample)
{
    auto record = Record(L"\\\\.\\PHYSICALDRIVE0", kKindPhysicalDrive);
    EXPECT_EQ(Text(*record), L"Read: " + ByteSize(0) + L" (0) \tWrite: " + ByteSize(0) +
                                 L" (0)\r\nRate kB/sec: " + KBSize(0) + L"      \t\tRate kB/sec: " + KBSize(0) +
                                 L"\r\nRequests/sec: 0       \t\tRequests/sec: 0\r\n"
                                 L"Queue length/sec: 0.000 \t\tQueue length/sec: 0.000");
}

// Ticks 0.3 s apart: the once-per-second step runs on the first tick and then
// on the first tick at least a second after it; the text covers the interval
// between the last two steps.
TEST_F(CounterSourceTest, OncePerSecondReadingsAndTheirText)
{
    ASSERT_EQ(Exact(1610612736).size(), 15u) << "the user's locale groups digits by threes";
    auto record = Record(L"\\\\.\\PHYSICALDRIVE0", kKindPhysicalDrive);
    const std::uint64_t t0 = 1000 * kSecond;
    DiskValues v{.queue = 1, .readQueue = 0, .writeQueue = 0, .reads = 100, .writes = 50,
                 .bytesRead = 1'000'000'000, .bytesWritten = 500'000'000};
    Tick(*record, t0, v);  // first step
    for (int i = 1; i <= 4; ++i) {
        // 1.2 s of work between t0 and t0 + 1.2 s, then 0.3 s steps: the step
        // at 0.3, 0.6, 0.9 s is not due; 1.2 s is.
        v.queue += 1;
        v.readQueue += 750'000;      // 3,000,000 over 12,000,000: queue length 0.25
        v.writeQueue += 1'500'000;   // 0.5
        v.reads += 6;                // 24 reads, 20 per second
        v.writes += 3;
        v.bytesRead += 153'600'000;  // 614,400,000 bytes in 1.2 s: 512,000,000 per second
        v.bytesWritten += 3'000;
        Tick(*record, t0 + i * 3 * kSecond / 10, v);
        if (i < 4) {
            EXPECT_EQ(record->SlotAt(CRegistryAccessIndicator::kReadSnapshot).current.time, t0) << i;
            EXPECT_EQ(Text(*record).substr(0, 5), L"Read:");
        }
    }
    EXPECT_EQ(record->SlotAt(CRegistryAccessIndicator::kReadSnapshot).current.time, t0 + 12 * kSecond / 10);
    const std::uint64_t read = 1'000'000'000 + 614'400'000;
    const std::uint64_t written = 500'000'000 + 12'000;
    const std::wstring expected = L"Read: " + ByteSize(read) + L" " + Exact(read) + L" \tWrite: " +
                                  ByteSize(written) + L" " + Exact(written) + L"\r\nRate kB/sec: " +
                                  KBSize(512'000'000) + L"      \t\tRate kB/sec: " + KBSize(10'000) +
                                  L"\r\nRequests/sec: 20       \t\tRequests/sec: 10\r\n"
                                  L"Queue length/sec: 0.250 \t\tQueue length/sec: 0.500";
    EXPECT_EQ(Text(*record), expected);

    // A tick 0.3 s later moves the totals but not the rates.
    v.queue += 1;
    v.reads += 1000;
    v.bytesRead += 1;
    Tick(*record, t0 + 15 * kSecond / 10, v);
    const std::wstring after = Text(*record);
    EXPECT_EQ(after.substr(after.find(L"\r\n")), expected.substr(expected.find(L"\r\n")));
    EXPECT_NE(after.find(Exact(read + 1)), std::wstring::npos);
}

// When the clock is set back, the next tick takes the step at once and the
// text shows no rates for the backwards interval instead of nonsense.
TEST_F(CounterSourceTest, ClockSetBack)
{
    auto record = Record(L"\\\\.\\PHYSICALDRIVE0", kKindPhysicalDrive);
    Tick(*record, 5000 * kSecond, {.queue = 1, .reads = 10, .bytesRead = 100});
    Tick(*record, 5001 * kSecond, {.queue = 2, .reads = 20, .bytesRead = 200});
    EXPECT_NE(Text(*record).find(L"Requests/sec: 10 "), std::wstring::npos);
    Tick(*record, 4000 * kSecond, {.queue = 3, .reads = 30, .bytesRead = 300});
    EXPECT_EQ(record->SlotAt(CRegistryAccessIndicator::kReadSnapshot).current.time, 4000 * kSecond);
    const std::wstring text = Text(*record);
    EXPECT_NE(text.find(L"Rate kB/sec: " + KBSize(0) + L" "), std::wstring::npos) << testing::PrintToString(text);
    EXPECT_NE(text.find(L"Requests/sec: 0 "), std::wstring::npos);
    Tick(*record, 4001 * kSecond, {.queue = 4, .reads = 35, .bytesRead = 300});
    EXPECT_NE(Text(*record).find(L"Requests/sec: 5 "), std::wstring::npos);
}

TEST_F(CounterSourceTest, NamesByKind)
{
    auto drive = Record(L"\\\\.\\PHYSICALDRIVE0", kKindPhysicalDrive, L"Physical Drive 0");
    EXPECT_EQ(drive->GetName(), L"Physical Drive 0");
    list.back().model = L"Fast Disk";
    EXPECT_EQ(drive->GetName(), L"Physical Drive 0 - Fast Disk");
    EXPECT_EQ(Record(L"\\\\.\\C:", kKindLogicalDisk, L"C:\\ - Data")->GetName(), L"C:\\ - Data");
    EXPECT_EQ(Record(L"_Total", kKindAllInOne, L"All-In-One")->GetName(), L"All-In-One");
    EXPECT_EQ(Record(L"x", 3, L"Something")->GetName(), L"Unknown storage");
    EXPECT_TRUE(drive->Close());
}

}  // namespace
