// The performance-data walk over built and damaged snapshots. Builds both under
// Wine and natively with AddressSanitizer and UndefinedBehaviorSanitizer.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "sources/perf_layout.h"
#include "sources/perf_walk.h"
#include "tests/support/perf_snapshot.h"

namespace {

using namespace perflayout;
using perftest::DiskValues;

perftest::Instance Disk(std::u16string name, DiskValues values)
{
    return {std::move(name), perftest::DiskCounterValues(values)};
}

// PhysicalDisk with two drives and _Total, LogicalDisk with C:, a volume
// without a letter, D: and _Total.
perftest::Description TwoDisks()
{
    perftest::Description d;
    d.perfTime100nSec = 0x01D9'0000'1234'5678ull;
    d.objects.push_back({kPhysicalDiskObject, perftest::DiskCounters(),
                         {Disk(u"0 C:", {.queue = 100, .readQueue = 60, .reads = 5, .bytesRead = 4096}),
                          Disk(u"1 D: E:", {.queue = 0x1'2345'6789Aull, .writeQueue = 77, .writes = 9,
                                            .bytesWritten = 0x3'0000'0000ull}),
                          Disk(u"_Total", {.queue = 300, .reads = 5, .writes = 9})}});
    d.objects.push_back({kLogicalDiskObject, perftest::DiskCounters(),
                         {Disk(u"C:", {.queue = 11}), Disk(u"HarddiskVolume1", {.queue = 12}),
                          Disk(u"D:", {.queue = 13}), Disk(u"_Total", {.queue = 36})}});
    return d;
}

perfwalk::Snapshot View(const std::vector<std::uint8_t>& bytes, std::size_t size)
{
    return {bytes.data(), size};
}
perfwalk::Snapshot View(const std::vector<std::uint8_t>& bytes)
{
    return View(bytes, bytes.size());
}

std::uint64_t Queue(perfwalk::Snapshot s, std::uint32_t object, const wchar_t* instance)
{
    return perfwalk::CounterValue(s, object, instance, kAvgDiskQueueLength, kPerfCounter100nsQueueLen);
}

std::vector<std::wstring> Names(perfwalk::Snapshot s, std::uint32_t object, std::int32_t* count = nullptr)
{
    std::vector<std::wstring> names;
    const std::int32_t n = perfwalk::InstanceNames(s, object, names);
    if (count)
        *count = n;
    return names;
}

TEST(PerfWalk, ReadsCountsNamesAndTime)
{
    const auto bytes = perftest::Build(TwoDisks());
    const auto s = View(bytes);
    EXPECT_EQ(perfwalk::PerfTime100nSec(s), 0x01D9'0000'1234'5678ull);
    EXPECT_EQ(perfwalk::InstanceCount(s, kPhysicalDiskObject), 3);
    EXPECT_EQ(perfwalk::InstanceCount(s, kLogicalDiskObject), 4);
    EXPECT_EQ(perfwalk::InstanceCount(s, 238), 0);

    std::int32_t count = 0;
    EXPECT_EQ(Names(s, kLogicalDiskObject, &count),
              (std::vector<std::wstring>{L"C:", L"HarddiskVolume1", L"D:", L"_Total"}));
    EXPECT_EQ(count, 4);
    EXPECT_EQ(Names(s, kPhysicalDiskObject), (std::vector<std::wstring>{L"0 C:", L"1 D: E:", L"_Total"}));
    EXPECT_TRUE(Names(s, 238, &count).empty());
    EXPECT_EQ(count, 0);
}

TEST(PerfWalk, CounterValuesByPrefixIndexAndType)
{
    const auto bytes = perftest::Build(TwoDisks());
    const auto s = View(bytes);
    EXPECT_EQ(Queue(s, kPhysicalDiskObject, L"1 "), 0x1'2345'6789Aull);  // more than 32 bits
    EXPECT_EQ(Queue(s, kPhysicalDiskObject, L"0 "), 100u);
    EXPECT_EQ(Queue(s, kPhysicalDiskObject, L""), 100u);  // the first instance
    EXPECT_EQ(Queue(s, kPhysicalDiskObject, L"_Total"), 300u);
    EXPECT_EQ(Queue(s, kPhysicalDiskObject, L"_total"), 0u);  // case-sensitive
    EXPECT_EQ(Queue(s, kPhysicalDiskObject, L"12 "), 0u);     // longer than "1 D: E:" matches
    EXPECT_EQ(Queue(s, kPhysicalDiskObject, L"0 C: D:"), 0u);  // longer than the name
    EXPECT_EQ(Queue(s, kLogicalDiskObject, L"D:"), 13u);
    EXPECT_EQ(Queue(s, kLogicalDiskObject, L"H"), 12u);
    EXPECT_EQ(Queue(s, 238, L"C:"), 0u);

    EXPECT_EQ(perfwalk::CounterValue(s, kPhysicalDiskObject, L"0 ", kDiskReadsPerSec, kPerfCounterCounter), 5u);
    EXPECT_EQ(perfwalk::CounterValue(s, kPhysicalDiskObject, L"1 ", kDiskWritesPerSec, kPerfCounterCounter), 9u);
    EXPECT_EQ(perfwalk::CounterValue(s, kPhysicalDiskObject, L"0 ", kAvgDiskReadQueueLength,
                                     kPerfCounter100nsQueueLen), 60u);
    EXPECT_EQ(perfwalk::CounterValue(s, kPhysicalDiskObject, L"1 ", kAvgDiskWriteQueueLength,
                                     kPerfCounter100nsQueueLen), 77u);
    EXPECT_EQ(perfwalk::CounterValue(s, kPhysicalDiskObject, L"0 ", kAvgDiskBytesPerRead, kPerfAverageBulk), 4096u);
    EXPECT_EQ(perfwalk::CounterValue(s, kPhysicalDiskObject, L"1 ", kAvgDiskBytesPerWrite, kPerfAverageBulk),
              0x3'0000'0000ull);
    // The base counter shares the index but not the type.
    EXPECT_EQ(perfwalk::CounterValue(s, kPhysicalDiskObject, L"1 ", kAvgDiskBytesPerWrite, kPerfAverageBase), 9u);
    // Wrong type, and counters of 2 and 16 bytes, read as nothing.
    EXPECT_EQ(perfwalk::CounterValue(s, kPhysicalDiskObject, L"0 ", kAvgDiskQueueLength, kPerfCounterCounter), 0u);
    EXPECT_EQ(perfwalk::CounterValue(s, kPhysicalDiskObject, L"0 ", 208, 0x30020400u), 0u);
    EXPECT_EQ(perfwalk::CounterValue(s, kPhysicalDiskObject, L"0 ", 1420, 0x00450500u), 0u);
}

TEST(PerfWalk, ObjectsWithoutInstancesAndRepeatedObjects)
{
    perftest::Description d;
    perftest::Object none{kPhysicalDiskObject, perftest::DiskCounters(), {}, true, -1};
    d.objects.push_back(none);
    d.objects.push_back({kPhysicalDiskObject, perftest::DiskCounters(), {Disk(u"0 C:", {.queue = 42})}});
    perftest::Object zero{kLogicalDiskObject, perftest::DiskCounters(), {}, true, 0};
    d.objects.push_back(zero);
    const auto bytes = perftest::Build(d);
    const auto s = View(bytes);

    std::int32_t count = 0;
    EXPECT_EQ(perfwalk::InstanceCount(s, kPhysicalDiskObject), 1);  // the first object counts
    EXPECT_TRUE(Names(s, kPhysicalDiskObject, &count).empty());
    EXPECT_EQ(count, 1);
    EXPECT_EQ(perfwalk::InstanceCount(s, kLogicalDiskObject), 1);
    // Counters come from any object with the index that has instances.
    EXPECT_EQ(Queue(s, kPhysicalDiskObject, L"0 "), 42u);
    EXPECT_EQ(Queue(s, kLogicalDiskObject, L""), 0u);
}

TEST(PerfWalk, EmptyAndNeverFilledSnapshotsHoldNoObjects)
{
    const perfwalk::Snapshot none{};
    EXPECT_EQ(perfwalk::PerfTime100nSec(none), 0u);
    EXPECT_EQ(perfwalk::InstanceCount(none, kPhysicalDiskObject), 0);
    EXPECT_EQ(Queue(none, kPhysicalDiskObject, L""), 0u);
    const auto bytes = perftest::Build(TwoDisks());
    EXPECT_EQ(perfwalk::InstanceCount({nullptr, bytes.size()}, kPhysicalDiskObject), 0);
    EXPECT_EQ(perfwalk::InstanceCount(View(bytes, 0), kPhysicalDiskObject), 0);
}

// Every prefix of a good snapshot: objects that lie wholly inside answer their
// values, the cut object and everything after it answer "not found".
TEST(PerfWalkDamage, TruncatedAtEveryByte)
{
    perftest::Layout layout;
    const auto bytes = perftest::Build(TwoDisks(), &layout);
    const std::size_t logicalStart = layout.objects[1].start;
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        SCOPED_TRACE(size);
        const auto s = View(bytes, size);
        const bool physicalWhole = size >= logicalStart;
        EXPECT_EQ(perfwalk::InstanceCount(s, kPhysicalDiskObject), physicalWhole ? 3 : 0);
        EXPECT_EQ(Queue(s, kPhysicalDiskObject, L"1 "), physicalWhole ? 0x1'2345'6789Aull : 0u);
        EXPECT_EQ(perfwalk::InstanceCount(s, kLogicalDiskObject), 0);
        EXPECT_EQ(Queue(s, kLogicalDiskObject, L"D:"), 0u);
        std::int32_t count = -5;
        EXPECT_TRUE(Names(s, kLogicalDiskObject, &count).empty());
        EXPECT_EQ(count, 0);
        EXPECT_EQ(perfwalk::PerfTime100nSec(s), size >= kBlockPerfTime100nSec + 8 ? 0x01D9'0000'1234'5678ull : 0u);
    }
}

struct Damaged {
    std::vector<std::uint8_t> bytes;
    perftest::Layout layout;
    Damaged() { bytes = perftest::Build(TwoDisks(), &layout); }
    perfwalk::Snapshot View() const { return {bytes.data(), bytes.size()}; }
    const perftest::Layout::ObjectAt& Physical() const { return layout.objects[0]; }
};

// One damaged field each: a zero or short length, an offset past its record
// or the data, a count larger than the data. The walk ends at the damage and
// the lookups answer "not found"; what lies before the damage still answers.
TEST(PerfWalkDamage, DamagedFieldsReadAsNotFound)
{
    constexpr std::uint64_t kDisk1 = 0x1'2345'6789A;
    // The record whose field is damaged, in the PhysicalDisk object.
    enum Record { kBlock, kObject, kFirstCounter, kQueueCounter, kFirstInstance, kFirstCounterBlock };
    struct Case {
        const char* what;
        Record record;
        std::size_t field;
        std::uint32_t value;
        std::int32_t physicalCount;  // InstanceCount(PhysicalDisk)
        std::uint64_t disk1Queue;    // the queue total of "1 D: E:"
        std::int32_t logicalCount;   // InstanceCount(LogicalDisk), the object after it
    };
    const std::uint32_t blockLength = [] {
        Damaged d;
        return perftest::Get32(d.bytes, d.Physical().instances[0].counterBlock);
    }();
    const Case cases[] = {
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
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Damaged d;
        const auto& physical = d.Physical();
        const std::size_t records[] = {0, physical.start, physical.counters[0], physical.counters[1],
                                       physical.instances[0].start, physical.instances[0].counterBlock};
        perftest::Put32(d.bytes, records[c.record] + c.field, c.value);
        EXPECT_EQ(perfwalk::InstanceCount(d.View(), kPhysicalDiskObject), c.physicalCount);
        EXPECT_EQ(Queue(d.View(), kPhysicalDiskObject, L"1 "), c.disk1Queue);
        EXPECT_EQ(perfwalk::InstanceCount(d.View(), kLogicalDiskObject), c.logicalCount);
        EXPECT_EQ(Queue(d.View(), kPhysicalDiskObject, L"9 "), 0u);
        std::int32_t named = -5;
        EXPECT_EQ(Names(d.View(), kPhysicalDiskObject, &named).size(), c.physicalCount == 3 ? 3u : 0u);
        EXPECT_EQ(named, c.physicalCount);
    }
}

TEST(PerfWalkDamage, NameWithoutTerminatingNullEndsAtItsRecord)
{
    Damaged d;
    // "C:" takes 6 bytes with its null; the record pads the name area to 8.
    const std::size_t name = d.layout.objects[1].instances[0].name;
    perftest::Put32(d.bytes, name + 4, 0x00590058);  // "XY" over the null and the padding
    EXPECT_EQ(Names(d.View(), kLogicalDiskObject),
              (std::vector<std::wstring>{L"C:XY", L"HarddiskVolume1", L"D:", L"_Total"}));
    EXPECT_EQ(Queue(d.View(), kLogicalDiskObject, L"C:XY"), 11u);
    EXPECT_EQ(Queue(d.View(), kLogicalDiskObject, L"C:XYZ"), 0u);
}

// Every byte set to 0xFF and to 0x00 in turn: each lookup ends and answers
// either the intact value or "not found".
TEST(PerfWalkDamage, EveryByteOverwritten)
{
    const Damaged good;
    const std::size_t valueAt = good.layout.objects[0].instances[1].counterBlock + good.layout.objects[0].valueOffsets[1];
    const std::size_t definitionAt = good.layout.objects[0].counters[1];  // the queue-total counter
    for (std::uint8_t fill : {std::uint8_t{0xFF}, std::uint8_t{0x00}}) {
        for (std::size_t at = 0; at < good.bytes.size(); ++at) {
            auto bytes = good.bytes;
            bytes[at] = fill;
            const perfwalk::Snapshot s{bytes.data(), bytes.size()};
            const std::int32_t count = perfwalk::InstanceCount(s, kLogicalDiskObject);
            ASSERT_TRUE(count == 0 || count == 1 || count == 4) << at << " gives " << count;
            std::vector<std::wstring> names;
            const std::int32_t named = perfwalk::InstanceNames(s, kLogicalDiskObject, names);
            ASSERT_EQ(named, count) << at;
            ASSERT_EQ(names.size(), count == 4 ? 4u : 0u) << at;
            const std::uint64_t value = Queue(s, kPhysicalDiskObject, L"1 ");
            const bool inDefinition = at >= definitionAt && at < definitionAt + kCounterDefinitionSize;
            if ((at < valueAt || at >= valueAt + 8) && !inDefinition) {
                ASSERT_TRUE(value == 0 || value == 0x1'2345'6789Aull) << at << " gives " << value;
            }
        }
    }
}

}  // namespace
