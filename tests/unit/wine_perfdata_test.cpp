// The real performance-data query of the system the tests run on.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

#include "sources/drive_list.h"
#include "sources/perf_layout.h"
#include "sources/registry_access.h"
#include "tests/support/provider_registration.h"

namespace {

std::uint64_t NowIn100ns()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
}

TEST(SystemPerformanceData, AnswersAValidBlock)
{
    DirectRegistryAccess access;
    ASSERT_TRUE(access.Refresh());
    const perfwalk::Snapshot snapshot = access.Snapshot();
    ASSERT_GE(snapshot.size, perflayout::kBlockSize);
    EXPECT_EQ(std::memcmp(snapshot.data, L"PERF", 8), 0);
    const std::uint64_t now = NowIn100ns();
    const std::uint64_t then = access.PerfTime100nSec();
    EXPECT_LT(now - then, 600'000'000ull) << "snapshot time within a minute of now";
    EXPECT_FALSE(access.IsCounterDisabled());
}

// The test prefix has the project's disk-counter provider registered; this test
// takes it away for its run, so that the system's own answer is what is read.
TEST(SystemPerformanceData, WithoutADiskProviderOnlyTheAllInOneEntry)
{
    ProviderSetAside aside;
    ASSERT_FALSE(ProviderRegistered());
    DirectRegistryAccess access;
    IndicatorList list;
    EnumeratePhysicalDrives(access, list);
    EnumerateLogicalDisks(access, list);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].devicePath, L"_Total");
    EXPECT_EQ(list[0].displayName, L"All-In-One");
    EXPECT_EQ(list[0].kind, kKindAllInOne);
}

}  // namespace
