// DirectRegistryAccess over a scripted performance-data query.
#include <gtest/gtest.h>

#include <windows.h>

#include "sources/perf_layout.h"
#include "sources/registry_access.h"
#include "tests/support/fake_source_system.h"
#include "tests/support/perf_snapshot.h"

namespace {

using namespace perflayout;

std::vector<std::uint8_t> OneDisk(std::uint64_t queue, std::size_t padInstances = 0)
{
    perftest::Description d;
    d.perfTime100nSec = 5000;
    perftest::Object physical{kPhysicalDiskObject, perftest::DiskCounters(), {}};
    physical.instances.push_back({u"0 C:", perftest::DiskCounterValues({.queue = queue})});
    for (std::size_t i = 0; i < padInstances; ++i)
        physical.instances.push_back({u"pad " + std::u16string(40, u'x'), {}});
    physical.instances.push_back({u"_Total", perftest::DiskCounterValues({.queue = queue})});
    d.objects.push_back(physical);
    return perftest::Build(d);
}

std::uint64_t Queue(DirectRegistryAccess& access, const wchar_t* instance)
{
    return access.GetCounterValue(kPhysicalDiskObject, instance, kAvgDiskQueueLength, kPerfCounter100nsQueueLen);
}

class RegistryAccessTest : public ::testing::Test {
protected:
    FakeSourceSystem fake;
    ScopedSourceSystem scope{fake};
    DirectRegistryAccess access;
};

TEST_F(RegistryAccessTest, ReadsTheAnsweredSnapshot)
{
    fake.data = OneDisk(1234);
    EXPECT_TRUE(access.Init());
    EXPECT_TRUE(access.Refresh());
    EXPECT_EQ(Queue(access, L"0 "), 1234u);
    EXPECT_EQ(Queue(access, nullptr), 1234u);  // no text matches the first instance
    EXPECT_EQ(access.GetInstanceCount(kPhysicalDiskObject), 2);
    EXPECT_EQ(access.PerfTime100nSec(), 5000u);
    std::vector<std::wstring> names{L"kept"};
    EXPECT_EQ(access.GetInstanceNames(kPhysicalDiskObject, names), 2);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"kept", L"0 C:", L"_Total"}));
    EXPECT_EQ(fake.offered, (std::vector<DWORD>{65536}));
}

// The query leaves its size at 0 after ERROR_MORE_DATA: growth must start
// from the size that was offered, or it would never end.
TEST_F(RegistryAccessTest, GrowsFromTheOfferedSizeWhenTheQueryLeavesZero)
{
    fake.data = OneDisk(77, 450);
    ASSERT_GT(fake.data.size(), 100000u);
    ASSERT_LT(fake.data.size(), 131072u);
    fake.sizeAfterMoreData = 0;
    EXPECT_TRUE(access.Refresh());
    EXPECT_EQ(fake.offered, (std::vector<DWORD>{65536, 131072}));
    EXPECT_EQ(access.Snapshot().size, fake.data.size());
    EXPECT_EQ(Queue(access, L"_Total"), 77u);  // the last instance, past the first 65,536 bytes
    EXPECT_EQ(access.GetInstanceCount(kPhysicalDiskObject), 452);

    // The next refresh offers the grown size at once.
    EXPECT_TRUE(access.Refresh());
    EXPECT_EQ(fake.offered.back(), 131072u);
    EXPECT_EQ(fake.queries, 3);
}

TEST_F(RegistryAccessTest, BuffersHaveRoomBeyondTheOfferedSize)
{
    fake.data = OneDisk(1, 450);
    fake.sizeAfterMoreData = 12345;  // whatever the query leaves, it is not trusted
    access.Refresh();
    ASSERT_EQ(fake.offered.size(), fake.allocated.size());
    for (std::size_t i = 0; i < fake.offered.size(); ++i)
        EXPECT_GE(fake.allocated[i], fake.offered[i] + 128u) << i;
    EXPECT_EQ(fake.offered, (std::vector<DWORD>{65536, 131072}));
}

TEST_F(RegistryAccessTest, FailedQueryKeepsThePreviousSnapshot)
{
    fake.data = OneDisk(1000);
    access.Refresh();
    // The failing query writes a whole, valid-looking snapshot before failing.
    fake.data = OneDisk(2000);
    fake.failWith = ERROR_ACCESS_DENIED;
    fake.writeDataOnFailure = true;
    EXPECT_TRUE(access.Refresh());
    EXPECT_EQ(Queue(access, L"0 "), 1000u);
    fake.failWith = ERROR_SUCCESS;
    EXPECT_TRUE(access.Refresh());
    EXPECT_EQ(Queue(access, L"0 "), 2000u);
}

TEST_F(RegistryAccessTest, NeverFilledSnapshotHoldsNoObjects)
{
    EXPECT_EQ(access.GetInstanceCount(kPhysicalDiskObject), 0);  // before any refresh
    EXPECT_EQ(access.PerfTime100nSec(), 0u);
    fake.data = OneDisk(5);
    fake.failWith = ERROR_INVALID_PARAMETER;
    fake.writeDataOnFailure = true;
    EXPECT_TRUE(access.Refresh());
    EXPECT_EQ(access.GetInstanceCount(kPhysicalDiskObject), 0);
    EXPECT_EQ(Queue(access, L"0 "), 0u);
    std::vector<std::wstring> names;
    EXPECT_EQ(access.GetInstanceNames(kPhysicalDiskObject, names), 0);
    EXPECT_TRUE(names.empty());
}

TEST_F(RegistryAccessTest, QueryThatNeverFitsEnds)
{
    fake.data.assign(DirectRegistryAccess::kMaxSize + 1, 0);
    EXPECT_TRUE(access.Refresh());
    EXPECT_EQ(fake.offered.front(), 65536u);
    EXPECT_EQ(fake.offered.back(), DirectRegistryAccess::kMaxSize);
    EXPECT_EQ(fake.queries, static_cast<int>(DirectRegistryAccess::kMaxSize / 65536));
    EXPECT_EQ(access.GetInstanceCount(kPhysicalDiskObject), 0);
}

TEST_F(RegistryAccessTest, AnsweredSizeLargerThanTheBufferIsNotTrusted)
{
    class Liar : public FakeSourceSystem {
        LONG QueryPerformanceData(std::uint8_t* buffer, DWORD* size) override
        {
            const LONG result = FakeSourceSystem::QueryPerformanceData(buffer, size);
            *size = 0xFFFFFFF0u;
            return result;
        }
    } liar;
    ScopedSourceSystem lie(liar);
    liar.data = OneDisk(9);
    access.Refresh();
    EXPECT_EQ(access.Snapshot().size, 65536u);
    EXPECT_EQ(Queue(access, L"0 "), 9u);
}

TEST_F(RegistryAccessTest, ReleaseEmptiesTheSnapshot)
{
    fake.data = OneDisk(3);
    access.Refresh();
    EXPECT_TRUE(access.Release());
    EXPECT_EQ(access.GetInstanceCount(kPhysicalDiskObject), 0);
    EXPECT_TRUE(access.Refresh());
    EXPECT_EQ(Queue(access, L"0 "), 3u);
}

TEST_F(RegistryAccessTest, CountersDisabledIsReadUntilItSucceedsThenKept)
{
    EXPECT_FALSE(access.IsCounterDisabled());  // missing: enabled, asked again next time
    EXPECT_FALSE(access.IsCounterDisabled());
    EXPECT_EQ(fake.disableReads, 2);
    fake.disableCounters = 1;
    EXPECT_TRUE(access.IsCounterDisabled());
    fake.disableCounters.reset();  // the value deleted: the answer stays until restart
    EXPECT_TRUE(access.IsCounterDisabled());
    EXPECT_EQ(fake.disableReads, 3);

    DirectRegistryAccess other;
    fake.disableCounters = 0;
    EXPECT_FALSE(other.IsCounterDisabled());
    fake.disableCounters = 7;
    EXPECT_FALSE(other.IsCounterDisabled());
    EXPECT_EQ(fake.disableReads, 4);

    DirectRegistryAccess third;
    fake.disableCounters = 0x80000000u;
    EXPECT_TRUE(third.IsCounterDisabled());
}

}  // namespace
