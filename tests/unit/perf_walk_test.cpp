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

// A counter's value; a text of digits names a physical disk's number, any other
// a whole name.
std::uint64_t Value(const std::vector<std::uint8_t>& bytes, std::uint32_t object, std::wstring_view instance,
                    std::uint32_t counter = kAvgDiskQueueLength, std::uint32_t type = kQueueType)
{
    const bool number = !instance.empty() && instance.find_first_not_of(L"0123456789") == std::wstring_view::npos;
    const perfwalk::Match match = number ? perfwalk::Match::DiskNumber : perfwalk::Match::Whole;
    return perfwalk::CounterValue({bytes.data(), bytes.size()}, object, instance, match, counter, type);
}

// The answer of InstanceNames and the names it appended: "2|C:|D:".
std::wstring Names(const std::vector<std::uint8_t>& bytes, std::uint32_t object)
{
    std::vector<std::wstring> names;
    std::wstring text = std::to_wstring(perfwalk::InstanceNames({bytes.data(), bytes.size()}, object, names));
    for (const std::wstring& name : names)
        text += L"|" + name;
    return text;
}

TEST(PerfWalk, ReadsTimeCountsNamesAndCounterValues)
{
    EXPECT_EQ(perfwalk::PerfTime100nSec({kTwoDisks.data(), kTwoDisks.size()}), kTime);
    EXPECT_EQ(Names(kTwoDisks, kPhysicalDiskObject), L"3|0 C:|1 D: E:|_Total");
    EXPECT_EQ(Names(kTwoDisks, kLogicalDiskObject), L"4|C:|HarddiskVolume1|D:|_Total");
    EXPECT_EQ(Names(kTwoDisks, 238), L"0");
    EXPECT_EQ(Value(kTwoDisks, kPhysicalDiskObject, L"1"), kDisk1);
    EXPECT_EQ(Value(kTwoDisks, kPhysicalDiskObject, L"0 C: D:"), 0u);  // longer than the name
    EXPECT_EQ(Value(kTwoDisks, kPhysicalDiskObject, L"0", kDiskReadsPerSec, kPerfCounterCounter), 5u);  // 4 bytes
    EXPECT_EQ(Value(kTwoDisks, kPhysicalDiskObject, L"0", kAvgDiskBytesPerRead, kPerfAverageBulk), 4096u);
    EXPECT_EQ(Value(kTwoDisks, kPhysicalDiskObject, L"1", kAvgDiskBytesPerWrite, kPerfAverageBulk), 0x3'0000'0000u);
    // The base has the same index; another type names nothing.
    EXPECT_EQ(Value(kTwoDisks, kPhysicalDiskObject, L"1", kAvgDiskBytesPerWrite, kPerfAverageBase), 9u);
    EXPECT_EQ(Value(kTwoDisks, kPhysicalDiskObject, L"0", kAvgDiskQueueLength, kPerfCounterCounter), 0u);
}

// A disk that holds no lettered volume is named by its number alone; a
// volume's name may begin another volume's name that comes first.
TEST(PerfWalk, ADiskIsItsNumberAloneOrWithABlankAndAVolumeItsWholeName)
{
    const std::vector<std::uint8_t> bytes = perftest::Snapshot(
        {{{u"10 C:", {10}}, {u"1", {1}}, {u"0 D:", {2}}}, {{u"HarddiskVolume12", {12}}, {u"HarddiskVolume1", {1}}}},
        kTime);
    EXPECT_EQ(Value(bytes, kPhysicalDiskObject, L"1"), 1u);
    EXPECT_EQ(Value(bytes, kPhysicalDiskObject, L"0"), 2u);
    EXPECT_EQ(Value(bytes, kPhysicalDiskObject, L"10"), 10u);
    EXPECT_EQ(Value(bytes, kLogicalDiskObject, L"HarddiskVolume1"), 1u);
    EXPECT_EQ(Value(bytes, kLogicalDiskObject, L"HarddiskVolume12"), 12u);
}

// The counter block of "1 D: E:" reaching one byte into the next object: the
// walk ends there, and the object after it still answers.
TEST(PerfWalkDamage, ACounterBlockPastItsObjectReadsAsNotFound)
{
    auto bytes = kTwoDisks;
    const auto [physical, logical] = perftest::Objects(bytes);
    const std::size_t first = physical + perftest::Get32(bytes, physical + kObjectDefinitionLength);
    const std::size_t block = first + perftest::Get32(bytes, first + kInstanceByteLength);
    const std::size_t second = block + perftest::Get32(bytes, block + kCounterBlockByteLength);
    const std::size_t secondBlock = second + perftest::Get32(bytes, second + kInstanceByteLength);
    perftest::Put32(bytes, secondBlock + kCounterBlockByteLength, std::uint32_t(logical + 1 - secondBlock));
    const perfwalk::Snapshot s{bytes.data(), bytes.size()};
    EXPECT_EQ(Value(bytes, kPhysicalDiskObject, L"1"), 0u);
    EXPECT_EQ(perfwalk::InstanceCount(s, kPhysicalDiskObject), 0);
    EXPECT_EQ(perfwalk::InstanceCount(s, kLogicalDiskObject), 4);
}

TEST(PerfWalkDamage, NameWithoutItsNullEndsAtItsRecord)
{
    auto bytes = kTwoDisks;
    // "C:" takes 6 bytes with its null; the record pads its name to 8.
    const std::size_t logical = perftest::Objects(bytes).second;
    const std::size_t name = logical + perftest::Get32(bytes, logical + kObjectDefinitionLength) + kInstanceSize;
    perftest::Put32(bytes, name + 4, 0x00590058);  // "XY" over the null and the padding
    EXPECT_EQ(Names(bytes, kLogicalDiskObject), L"4|C:XY|HarddiskVolume1|D:|_Total");
    EXPECT_EQ(Value(bytes, kLogicalDiskObject, L"C:XY"), 11u);
    EXPECT_EQ(Value(bytes, kLogicalDiskObject, L"C:"), 0u);
    EXPECT_EQ(Value(bytes, kLogicalDiskObject, L"C:XYZ"), 0u);
}

}  // namespace
