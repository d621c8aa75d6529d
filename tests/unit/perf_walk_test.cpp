// The performance-data walk over built and damaged snapshots. Builds both under
// Wine and natively with AddressSanitizer and UndefinedBehaviorSanitizer.
#include <gtest/gtest.h>

#include "sources/perf_walk.h"
#include "tests/support/perf_snapshot.h"

namespace {

using namespace perflayout;

constexpr std::uint64_t kTime = 0x01D9'0000'1234'5678ull;
constexpr std::uint64_t kDisk1 = 0x1'2345'6789Aull;  // the queue total of "1 D: E:"
constexpr std::uint32_t kQueueType = kPerfCounter100nsQueueLen;

// PhysicalDisk with two drives and _Total; LogicalDisk with C:, a volume
// without a letter, D: and _Total.
const std::vector<std::uint8_t> kTwoDisks = perftest::Snapshot(
    {{{u"0 C:", {100, 60, 0, 5, 0, 4096}}, {u"1 D: E:", {kDisk1, 0, 77, 0, 9, 0, 0x3'0000'0000}}, {u"_Total", {300}}},
     {{u"C:", {11}}, {u"HarddiskVolume1", {12}}, {u"D:", {13}}, {u"_Total", {36}}}},
    kTime);

// A text of digits names a physical disk's number; any other a whole name.
std::uint64_t Queue(perfwalk::Snapshot s, std::uint32_t object, std::wstring_view instance)
{
    const bool number = !instance.empty() && instance.find_first_not_of(L"0123456789") == std::wstring_view::npos;
    const perfwalk::Match match = number ? perfwalk::Match::DiskNumber : perfwalk::Match::Whole;
    return perfwalk::CounterValue(s, object, instance, match, kAvgDiskQueueLength, kQueueType);
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
    const perfwalk::Snapshot s{kTwoDisks.data(), kTwoDisks.size()};
    EXPECT_EQ(perfwalk::PerfTime100nSec(s), kTime);
    EXPECT_EQ(Names(s, kPhysicalDiskObject), L"3|0 C:|1 D: E:|_Total");
    EXPECT_EQ(Names(s, kLogicalDiskObject), L"4|C:|HarddiskVolume1|D:|_Total");
    EXPECT_EQ(Names(s, 238), L"0");
    struct Case {
        std::uint32_t object;
        const wchar_t* instance;
        std::uint32_t counter, type;
        std::uint64_t value;
    };
    const Case cases[] = {
        {kPhysicalDiskObject, L"1", kAvgDiskQueueLength, kQueueType, kDisk1},
        {kPhysicalDiskObject, L"", kAvgDiskQueueLength, kQueueType, 100},       // the first instance
        {kPhysicalDiskObject, L"12", kAvgDiskQueueLength, kQueueType, 0},       // not "1 D: E:"
        {kPhysicalDiskObject, L"0 C: D:", kAvgDiskQueueLength, kQueueType, 0},  // longer than the name
        {kLogicalDiskObject, L"H", kAvgDiskQueueLength, kQueueType, 0},         // a part of a name names nothing
        {kLogicalDiskObject, L"HarddiskVolume1", kAvgDiskQueueLength, kQueueType, 12},
        {238, L"C:", kAvgDiskQueueLength, kQueueType, 0},
        {kPhysicalDiskObject, L"0", kDiskReadsPerSec, kPerfCounterCounter, 5},  // 4 bytes
        {kPhysicalDiskObject, L"0", kAvgDiskBytesPerRead, kPerfAverageBulk, 4096},
        {kPhysicalDiskObject, L"1", kAvgDiskBytesPerWrite, kPerfAverageBulk, 0x3'0000'0000},
        {kPhysicalDiskObject, L"1", kAvgDiskBytesPerWrite, kPerfAverageBase, 9},   // the base: same index
        {kPhysicalDiskObject, L"0", kAvgDiskQueueLength, kPerfCounterCounter, 0},  // another type
    };
    for (const auto& c : cases) {
        const auto match = c.object == kPhysicalDiskObject ? perfwalk::Match::DiskNumber : perfwalk::Match::Whole;
        EXPECT_EQ(perfwalk::CounterValue(s, c.object, c.instance, match, c.counter, c.type), c.value) << c.instance;
    }
}

// A disk that holds no lettered volume is named by its number alone; a
// volume's name may begin another volume's name that comes first.
TEST(PerfWalk, ADiskIsItsNumberAloneOrWithABlankAndAVolumeItsWholeName)
{
    const std::vector<std::uint8_t> bytes = perftest::Snapshot(
        {{{u"10 C:", {10}}, {u"1", {1}}, {u"0 D:", {2}}}, {{u"HarddiskVolume12", {12}}, {u"HarddiskVolume1", {1}}}},
        kTime);
    const perfwalk::Snapshot s{bytes.data(), bytes.size()};
    EXPECT_EQ(Queue(s, kPhysicalDiskObject, L"1"), 1u);
    EXPECT_EQ(Queue(s, kPhysicalDiskObject, L"0"), 2u);
    EXPECT_EQ(Queue(s, kPhysicalDiskObject, L"10"), 10u);
    EXPECT_EQ(Queue(s, kLogicalDiskObject, L"HarddiskVolume1"), 1u);
    EXPECT_EQ(Queue(s, kLogicalDiskObject, L"HarddiskVolume12"), 12u);
}

// An object whose NumInstances is -1 or 0 has one instance without a name; only
// objects with instances answer counters, the first of them that has the
// instance. No data holds no objects.
TEST(PerfWalk, ObjectsWithoutInstancesRepeatedObjectsAndNoData)
{
    auto bytes = perftest::Snapshot({{{u"0 C:", {41}}}, {}}, 0, {true, false});
    const std::vector<std::uint8_t> more = BuildDiskObjects({{{u"0 C:", {42}}}, {}}, {true, true}, {}, nullptr);
    bytes.insert(bytes.end(), more.begin(), more.end());
    const auto [first, second] = perftest::Objects(bytes);
    perftest::Put32(bytes, kBlockNumObjectTypes, 3);
    perftest::Put32(bytes, first + kObjectNumInstances, 0xFFFFFFFF);
    perftest::Put32(bytes, second + perftest::Get32(bytes.data(), second) + kObjectNumInstances, 0);
    const perfwalk::Snapshot s{bytes.data(), bytes.size()};
    EXPECT_EQ(Names(s, kPhysicalDiskObject), L"1");  // the first object with the index counts
    EXPECT_EQ(perfwalk::InstanceCount(s, kLogicalDiskObject), 1);
    EXPECT_EQ(Queue(s, kPhysicalDiskObject, L"0"), 42u);
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
    const std::size_t logical = perftest::Objects(kTwoDisks).second;
    for (std::size_t size = 0; size < kTwoDisks.size(); ++size) {
        const perfwalk::Snapshot s{kTwoDisks.data(), size};
        const bool physicalWhole = size >= logical;
        ASSERT_EQ(Names(s, kPhysicalDiskObject), physicalWhole ? L"3|0 C:|1 D: E:|_Total" : L"0") << size;
        ASSERT_EQ(Queue(s, kPhysicalDiskObject, L"1"), physicalWhole ? kDisk1 : 0) << size;
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
    const std::size_t physical = perftest::Objects(kTwoDisks).first, counter = physical + kObjectSize;
    const std::size_t queue = counter + kCounterDefinitionSize;  // the second counter, 1400
    const std::size_t instance = physical + perftest::Get32(kTwoDisks.data(), physical + kObjectDefinitionLength);
    const std::size_t block = instance + perftest::Get32(kTwoDisks.data(), instance + kInstanceByteLength);
    const std::uint32_t blockLength = perftest::Get32(kTwoDisks.data(), block);
    const std::size_t second = block + blockLength, logical = perftest::Objects(kTwoDisks).second;  // "1 D: E:"
    const std::size_t secondBlock = second + perftest::Get32(kTwoDisks.data(), second + kInstanceByteLength);
    // The field damaged and its values; then InstanceCount(PhysicalDisk), the queue total of "1 D: E:" and
    // InstanceCount(LogicalDisk), the object after it.
    struct Case {
        const char* what;
        std::size_t field;
        std::vector<std::uint32_t> values;
        int physical;
        std::uint64_t disk1;
        int logical;
    };
    const Case cases[] = {
        {"object length short or past the data", physical + kObjectTotalByteLength, {63, 0xFFFFFFFF}, 0, 0, 0},
        {"first object at the end or far past", kBlockHeaderLength, {0, 0xFFFFFFF0}, 0, 0, 0},
        {"instances past the object", physical + kObjectDefinitionLength, {0xFFFFFFF8}, 0, 0, 0},
        {"definitions past the object", physical + kObjectHeaderLength, {0x7FFFFFF0}, 0, 0, 0},
        {"object count huge", kBlockNumObjectTypes, {0xFFFFFFFF}, 3, kDisk1, 4},
        {"instance count huge", physical + kObjectNumInstances, {1000000}, 0, kDisk1, 4},
        {"counter count huge", physical + kObjectNumCounters, {0x7FFFFFFF}, 3, kDisk1, 4},
        {"definition length 39", counter + kCounterByteLength, {39}, 3, 0, 4},
        {"a counter of 2 or 16 bytes is passed over", queue + kCounterSize, {2, 16}, 3, 0, 4},
        {"instance length short or huge", instance + kInstanceByteLength, {0, 23, 0xFFFFFFFF}, 0, 0, 4},
        {"an instance one byte past its object",
         second + kInstanceByteLength,
         {std::uint32_t(logical + 1 - second)},
         0,
         0,
         4},
        {"counter block length short or huge", block + kCounterBlockByteLength, {0, 3, 0x7FFFFFFF}, 0, 0, 4},
        {"a counter block one byte past its object",
         secondBlock + kCounterBlockByteLength,
         {std::uint32_t(logical + 1 - secondBlock)},
         0,
         0,
         4},
        {"name inside the header or past the instance", instance + kInstanceNameOffset, {0, 23, 0x1000}, 0, 0, 4},
        {"value across, at or far past the block end",
         queue + kCounterOffset,
         {blockLength - 4, blockLength, 0xFFFFFFFC},
         3,
         0,
         4},
    };
    for (const auto& c : cases)
        for (std::uint32_t value : c.values) {
            SCOPED_TRACE(std::string(c.what) + ": " + std::to_string(value));
            auto bytes = kTwoDisks;
            perftest::Put32(bytes, c.field, value);
            const perfwalk::Snapshot s{bytes.data(), bytes.size()};
            EXPECT_EQ(perfwalk::InstanceCount(s, kPhysicalDiskObject), c.physical);
            EXPECT_EQ(Queue(s, kPhysicalDiskObject, L"1"), c.disk1);
            EXPECT_EQ(perfwalk::InstanceCount(s, kLogicalDiskObject), c.logical);
            EXPECT_EQ(Names(s, kPhysicalDiskObject),
                      c.physical == 3 ? L"3|0 C:|1 D: E:|_Total" : std::to_wstring(c.physical));
        }
}

TEST(PerfWalkDamage, NameWithoutItsNullEndsAtItsRecord)
{
    auto bytes = kTwoDisks;
    // "C:" takes 6 bytes with its null; the record pads its name to 8.
    const std::size_t logical = perftest::Objects(bytes).second;
    const std::size_t name = logical + perftest::Get32(bytes.data(), logical + kObjectDefinitionLength) + kInstanceSize;
    perftest::Put32(bytes, name + 4, 0x00590058);  // "XY" over the null and the padding
    const perfwalk::Snapshot s{bytes.data(), bytes.size()};
    EXPECT_EQ(Names(s, kLogicalDiskObject), L"4|C:XY|HarddiskVolume1|D:|_Total");
    EXPECT_EQ(Queue(s, kLogicalDiskObject, L"C:XY"), 11u);
    EXPECT_EQ(Queue(s, kLogicalDiskObject, L"C:"), 0u);
    EXPECT_EQ(Queue(s, kLogicalDiskObject, L"C:XYZ"), 0u);
}

}  // namespace
