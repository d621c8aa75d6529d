// The performance-data walk over built and damaged snapshots. Builds both under
// Wine and natively with AddressSanitizer and UndefinedBehaviorSanitizer.
#include <gtest/gtest.h>

#include "sources/perf_layout.h"
#include "sources/perf_walk.h"
#include "tests/support/perf_snapshot.h"

namespace {

using namespace perflayout;
using perftest::Disk;

constexpr std::uint64_t kTime = 0x01D9'0000'1234'5678ull;
constexpr std::uint64_t kDisk1 = 0x1'2345'6789Aull;  // the queue total of "1 D: E:"
constexpr std::uint32_t kQueueType = kPerfCounter100nsQueueLen;

// PhysicalDisk with two drives and _Total; LogicalDisk with C:, a volume
// without a letter, D: and _Total.
perftest::Description TwoDisks()
{
    return {kTime,
            {{kPhysicalDiskObject, perftest::DiskCounters(),
              {Disk(u"0 C:", {.queue = 100, .readQueue = 60, .reads = 5, .bytesRead = 4096}),
               Disk(u"1 D: E:", {.queue = kDisk1, .writeQueue = 77, .writes = 9, .bytesWritten = 0x3'0000'0000}),
               Disk(u"_Total", {.queue = 300})}},
             {kLogicalDiskObject, perftest::DiskCounters(),
              {Disk(u"C:", {.queue = 11}), Disk(u"HarddiskVolume1", {.queue = 12}), Disk(u"D:", {.queue = 13}),
               Disk(u"_Total", {.queue = 36})}}}};
}

std::uint64_t Queue(perfwalk::Snapshot s, std::uint32_t object, std::wstring_view instance)
{
    return perfwalk::CounterValue(s, object, instance, kAvgDiskQueueLength, kQueueType);
}

// The answer of InstanceNames and the names it appended: "2|C:|D:".
std::wstring Names(perfwalk::Snapshot s, std::uint32_t object)
{
    std::vector<std::wstring> names;
    std::wstring text = std::to_wstring(perfwalk::InstanceNames(s, object, names));
    for (const std::wstring& name : names)
        text += L"|" + name;
    return text;
}

TEST(PerfWalk, ReadsTimeCountsNamesAndCounterValues)
{
    const auto bytes = perftest::Build(TwoDisks());
    const perfwalk::Snapshot s{bytes.data(), bytes.size()};
    EXPECT_EQ(perfwalk::PerfTime100nSec(s), kTime);
    EXPECT_EQ(perfwalk::InstanceCount(s, kLogicalDiskObject), 4);
    EXPECT_EQ(perfwalk::InstanceCount(s, 238), 0);
    EXPECT_EQ(Names(s, kPhysicalDiskObject), L"3|0 C:|1 D: E:|_Total");
    EXPECT_EQ(Names(s, kLogicalDiskObject), L"4|C:|HarddiskVolume1|D:|_Total");
    EXPECT_EQ(Names(s, 238), L"0");
    const struct {
        std::uint32_t object;
        const wchar_t* instance;
        std::uint32_t counter, type;
        std::uint64_t value;
    } cases[] = {
        {kPhysicalDiskObject, L"1 ", kAvgDiskQueueLength, kQueueType, kDisk1},
        {kPhysicalDiskObject, L"", kAvgDiskQueueLength, kQueueType, 100},  // the first instance
        {kPhysicalDiskObject, L"_Total", kAvgDiskQueueLength, kQueueType, 300},
        {kPhysicalDiskObject, L"_total", kAvgDiskQueueLength, kQueueType, 0},   // letter case counts
        {kPhysicalDiskObject, L"12 ", kAvgDiskQueueLength, kQueueType, 0},      // not a prefix of "1 D: E:"
        {kPhysicalDiskObject, L"0 C: D:", kAvgDiskQueueLength, kQueueType, 0},  // longer than the name
        {kLogicalDiskObject, L"H", kAvgDiskQueueLength, kQueueType, 12},
        {238, L"C:", kAvgDiskQueueLength, kQueueType, 0},
        {kPhysicalDiskObject, L"0 ", kAvgDiskReadQueueLength, kQueueType, 60},
        {kPhysicalDiskObject, L"1 ", kAvgDiskWriteQueueLength, kQueueType, 77},
        {kPhysicalDiskObject, L"0 ", kDiskReadsPerSec, kPerfCounterCounter, 5},  // 4 bytes
        {kPhysicalDiskObject, L"1 ", kDiskWritesPerSec, kPerfCounterCounter, 9},
        {kPhysicalDiskObject, L"0 ", kAvgDiskBytesPerRead, kPerfAverageBulk, 4096},
        {kPhysicalDiskObject, L"1 ", kAvgDiskBytesPerWrite, kPerfAverageBulk, 0x3'0000'0000},
        {kPhysicalDiskObject, L"1 ", kAvgDiskBytesPerWrite, kPerfAverageBase, 9},  // the base: same index
        {kPhysicalDiskObject, L"0 ", kAvgDiskQueueLength, kPerfCounterCounter, 0},  // another type
        {kPhysicalDiskObject, L"0 ", 208, 0x30020400u, 0},                          // 2 bytes: passed over
        {kPhysicalDiskObject, L"0 ", 1420, 0x00450500u, 0},                         // 16 bytes: passed over
    };
    for (const auto& c : cases)
        EXPECT_EQ(perfwalk::CounterValue(s, c.object, c.instance, c.counter, c.type), c.value) << c.counter;
}

TEST(PerfWalk, ObjectsWithoutInstancesRepeatedObjectsAndNoData)
{
    const auto bytes = perftest::Build({0,
                                        {{kPhysicalDiskObject, perftest::DiskCounters(), {}, -1},
                                         {kPhysicalDiskObject, perftest::DiskCounters(), {Disk(u"0 C:", {42})}},
                                         {kLogicalDiskObject, perftest::DiskCounters(), {}, 0}}});
    const perfwalk::Snapshot s{bytes.data(), bytes.size()};
    EXPECT_EQ(Names(s, kPhysicalDiskObject), L"1");  // the first object counts
    EXPECT_EQ(perfwalk::InstanceCount(s, kLogicalDiskObject), 1);
    EXPECT_EQ(Queue(s, kPhysicalDiskObject, L"0 "), 42u);  // from any object with the index and instances
    EXPECT_EQ(Queue(s, kLogicalDiskObject, L""), 0u);
    for (const perfwalk::Snapshot none : {perfwalk::Snapshot{}, perfwalk::Snapshot{nullptr, bytes.size()}}) {
        EXPECT_EQ(perfwalk::PerfTime100nSec(none), 0u);
        EXPECT_EQ(Names(none, kPhysicalDiskObject), L"0");
    }
}

// Every prefix of a good snapshot: an object that lies wholly inside answers,
// the cut object and everything after it answer "not found".
TEST(PerfWalkDamage, TruncatedAtEveryByte)
{
    std::vector<perftest::ObjectAt> layout;
    const auto bytes = perftest::Build(TwoDisks(), &layout);
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        const perfwalk::Snapshot s{bytes.data(), size};
        const bool physicalWhole = size >= layout[1].start;
        ASSERT_EQ(Names(s, kPhysicalDiskObject), physicalWhole ? L"3|0 C:|1 D: E:|_Total" : L"0") << size;
        ASSERT_EQ(Queue(s, kPhysicalDiskObject, L"1 "), physicalWhole ? kDisk1 : 0) << size;
        ASSERT_EQ(Names(s, kLogicalDiskObject), L"0") << size;
        ASSERT_EQ(Queue(s, kLogicalDiskObject, L"D:"), 0u) << size;
        ASSERT_EQ(perfwalk::PerfTime100nSec(s), size >= kBlockPerfTime100nSec + 8 ? kTime : 0) << size;
    }
}

// One damaged field each: a zero or short length, an offset past its record or
// the data, a count larger than the data. The walk ends at the damage and
// answers "not found"; what lies before the damage still answers.
TEST(PerfWalkDamage, DamagedFieldsReadAsNotFound)
{
    enum Record { kBlock, kObject, kFirstCounter, kQueueCounter, kFirstInstance, kFirstCounterBlock };
    std::vector<perftest::ObjectAt> layout;
    const auto good = perftest::Build(TwoDisks(), &layout);
    const perftest::ObjectAt& physical = layout[0];
    const std::size_t records[] = {0, physical.start, physical.counters[0], physical.counters[1],
                                   physical.instances[0], physical.blocks[0]};
    const std::uint32_t blockLength = perftest::Get32(good.data(), physical.blocks[0]);
    const struct {
        const char* what;
        Record record;
        std::size_t field;
        std::uint32_t value;
        std::int32_t physicalCount;  // InstanceCount(PhysicalDisk)
        std::uint64_t disk1;         // the queue total of "1 D: E:"
        std::int32_t logicalCount;   // InstanceCount(LogicalDisk), the object after it
    } cases[] = {
        {"object length 0", kObject, kObjectTotalByteLength, 0, 0, 0, 0},
        {"object length 63", kObject, kObjectTotalByteLength, 63, 0, 0, 0},
        {"object length past the data", kObject, kObjectTotalByteLength, 0xFFFFFFFF, 0, 0, 0},
        {"first object at the end", kBlock, kBlockHeaderLength, 0, 0, 0, 0},
        {"first object far past", kBlock, kBlockHeaderLength, 0xFFFFFFF0, 0, 0, 0},
        {"instances past the object", kObject, kObjectDefinitionLength, 0xFFFFFFF8, 0, 0, 0},
        {"definitions past the object", kObject, kObjectHeaderLength, 0x7FFFFFF0, 0, 0, 0},
        {"object count huge", kBlock, kBlockNumObjectTypes, 0xFFFFFFFF, 3, kDisk1, 4},
        {"instance count huge", kObject, kObjectNumInstances, 1000000, 0, kDisk1, 4},
        {"counter count huge", kObject, kObjectNumCounters, 0x7FFFFFFF, 3, kDisk1, 4},
        {"definition length 0", kFirstCounter, kCounterByteLength, 0, 3, 0, 4},
        {"definition length 39", kFirstCounter, kCounterByteLength, 39, 3, 0, 4},
        {"instance length 0", kFirstInstance, kInstanceByteLength, 0, 0, 0, 4},
        {"instance length 23", kFirstInstance, kInstanceByteLength, 23, 0, 0, 4},
        {"instance length huge", kFirstInstance, kInstanceByteLength, 0xFFFFFFFF, 0, 0, 4},
        {"counter block length 0", kFirstCounterBlock, kCounterBlockByteLength, 0, 0, 0, 4},
        {"counter block length 3", kFirstCounterBlock, kCounterBlockByteLength, 3, 0, 0, 4},
        {"counter block length huge", kFirstCounterBlock, kCounterBlockByteLength, 0x7FFFFFFF, 0, 0, 4},
        {"name inside the header", kFirstInstance, kInstanceNameOffset, 0, 0, 0, 4},
        {"name offset 23", kFirstInstance, kInstanceNameOffset, 23, 0, 0, 4},
        {"name past the instance", kFirstInstance, kInstanceNameOffset, 0x1000, 0, 0, 4},
        {"name far past", kFirstInstance, kInstanceNameOffset, 0xFFFFFFF0, 0, 0, 4},
        {"value across the block end", kQueueCounter, kCounterOffset, blockLength - 4, 3, 0, 4},
        {"value at the block end", kQueueCounter, kCounterOffset, blockLength, 3, 0, 4},
        {"value far past", kQueueCounter, kCounterOffset, 0xFFFFFFFC, 3, 0, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto bytes = good;
        perftest::Put32(bytes, records[c.record] + c.field, c.value);
        const perfwalk::Snapshot s{bytes.data(), bytes.size()};
        EXPECT_EQ(perfwalk::InstanceCount(s, kPhysicalDiskObject), c.physicalCount);
        EXPECT_EQ(Queue(s, kPhysicalDiskObject, L"1 "), c.disk1);
        EXPECT_EQ(perfwalk::InstanceCount(s, kLogicalDiskObject), c.logicalCount);
        EXPECT_EQ(Names(s, kPhysicalDiskObject), c.physicalCount == 3 ? L"3|0 C:|1 D: E:|_Total"
                                                                       : std::to_wstring(c.physicalCount));
    }
}

TEST(PerfWalkDamage, NameWithoutItsNullEndsAtItsRecord)
{
    std::vector<perftest::ObjectAt> layout;
    auto bytes = perftest::Build(TwoDisks(), &layout);
    // "C:" takes 6 bytes with its null; the record pads its name to 8.
    perftest::Put32(bytes, layout[1].instances[0] + kInstanceSize + 4, 0x00590058);  // "XY" over null and padding
    const perfwalk::Snapshot s{bytes.data(), bytes.size()};
    EXPECT_EQ(Names(s, kLogicalDiskObject), L"4|C:XY|HarddiskVolume1|D:|_Total");
    EXPECT_EQ(Queue(s, kLogicalDiskObject, L"C:XY"), 11u);
    EXPECT_EQ(Queue(s, kLogicalDiskObject, L"C:XYZ"), 0u);
}

}  // namespace
