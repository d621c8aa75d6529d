// DirectRegistryAccess over a scripted performance-data query, and the
// indicator list built from its snapshot.
#include <gtest/gtest.h>

#include "sources/drive_list.h"
#include "sources/registry_access.h"
#include "tests/support/fake_source_system.h"
#include "tests/support/perf_snapshot.h"

namespace {

using namespace perflayout;

// PhysicalDisk with "0 C:", `pad` instances of 192 bytes and "_Total".
std::vector<std::uint8_t> OneDisk(std::uint64_t queue, std::size_t pad = 0)
{
    DiskSet set{{{u"0 C:", {queue}}}, {}};
    set.physical.resize(pad + 1, {u"pad " + std::u16string(12, u'x')});
    set.physical.push_back({u"_Total", {queue}});
    return perftest::Snapshot(set, 5000, {true, false});
}

class RegistryAccessTest : public ::testing::Test {
protected:
    std::uint64_t Queue(const wchar_t* instance)
    {
        return access.GetCounterValue(kPhysicalDiskObject, instance, perfwalk::Match::Whole, kAvgDiskQueueLength,
                                      kPerfCounter100nsQueueLen);
    }
    // The indicator list, one "devicePath|displayName|label|kind" text per entry.
    std::vector<std::wstring> Enumerate()
    {
        EnumeratePhysicalDrives(access, list);
        EnumerateLogicalDisks(access, list);
        std::vector<std::wstring> entries;
        for (const IndicatorEntry& e : list)
            entries.push_back(e.devicePath + L"|" + e.displayName + L"|" + e.label + L"|" + std::to_wstring(e.kind));
        return entries;
    }

    FakeSourceSystem fake;
    ScopedSourceSystem scope{fake};
    DirectRegistryAccess access;
    IndicatorList list;
};

// The query leaves its size at 0 after ERROR_MORE_DATA: growth starts from the
// size that was offered, and every buffer has room beyond the offered size; an
// answered size is never read past the buffer.
TEST_F(RegistryAccessTest, GrowsFromTheOfferedSizeWithSlackAndOffersTheGrownSizeNext)
{
    fake.data = OneDisk(77, 400);  // past 65,536 + 128 bytes, within 131,072
    EXPECT_TRUE(access.Refresh());
    EXPECT_TRUE(access.Refresh());
    EXPECT_EQ(fake.offered, (std::vector<DWORD>{65536, 131072, 131072}));
    for (std::size_t i = 0; i < fake.offered.size(); ++i)
        EXPECT_GE(fake.allocated[i], fake.offered[i] + 128u) << i;
    EXPECT_EQ(access.Snapshot().size, fake.data.size());
    EXPECT_EQ(Queue(L"_Total"), 77u);  // the last instance, past the first 65,536 bytes
    EXPECT_EQ(Queue(nullptr), 77u);    // no text: the first instance
    EXPECT_EQ(access.GetInstanceCount(kPhysicalDiskObject), 402);
    fake.answeredSize = 0xFFFFFFF0u;  // a size past the buffer is not trusted
    EXPECT_TRUE(access.Refresh());
    EXPECT_EQ(access.Snapshot().size, 131072u);
}

// A failed query keeps the previous snapshot. Windows keeps the performance
// libraries its query loaded (and what they cached, such as a list of disks)
// until HKEY_PERFORMANCE_DATA is closed: releasing the access closes it; the
// libraries called in-process (Wine) are released instead.
TEST_F(RegistryAccessTest, AFailedQueryKeepsThePreviousSnapshotAndReleasingClosesTheSystemsData)
{
    // The failing queries still write a whole snapshot.
    for (auto [queue, error, seen] : {std::tuple{5u, ERROR_INVALID_PARAMETER, 0u},
                                      {5u, ERROR_SUCCESS, 5u},
                                      {2000u, ERROR_ACCESS_DENIED, 5u},
                                      {2000u, ERROR_SUCCESS, 2000u}}) {
        fake.data = OneDisk(queue);
        fake.failWith = error;
        EXPECT_TRUE(access.Refresh());
        EXPECT_EQ(Queue(L"0 C:"), seen) << queue << " " << error;
    }
    EXPECT_TRUE(access.Release());
    EXPECT_EQ(access.GetInstanceCount(kPhysicalDiskObject), 0);
    EXPECT_EQ(1, fake.closes);
    DirectRegistryAccess inProcess;
    inProcess.Init();
    EXPECT_TRUE(inProcess.Release());
    EXPECT_EQ(1, fake.closes);
}

// Drives are numbered as their instance names start, gaps kept ("2 F: E:" is
// drive 2), one entry a number, and names without a number passed over;
// volumes before "_Total" are listed. The list is the fixture's, so each
// enumeration must start it afresh.
TEST_F(RegistryAccessTest, TheIndicatorListFollowsTheSnapshot)
{
    const std::wstring all = L"_Total|All-In-One|All|4";
    // NumInstances written over the objects' when not 0.
    struct Case {
        DiskSet set;
        std::uint32_t physicalCount, logicalCount;
        std::vector<std::wstring> entries;
    };
    const Case cases[] = {
        {{{{u"0 C:"}, {u"2 F: E:"}, {u"3x"}, {u"2 G:"}, {u"_Total"}},
          {{u"C:"}, {u"HarddiskVolume1"}, {u"D:"}, {u"E:"}, {u"_Total"}, {u"F:"}}},
         0,
         0,
         {L"\\\\.\\PHYSICALDRIVE0|Physical Drive 0|0|1", L"\\\\.\\PHYSICALDRIVE2|Physical Drive 2|2|1", all,
          L"\\\\.\\C:|C:\\ - Data|C:|2", L"\\\\.\\HarddiskVolume1|HarddiskVolume1|hd1|2", L"\\\\.\\D:|D:\\|D:|2",
          L"\\\\.\\E:|E:|E:|2"}},
        {{{{u"0 C:"}}, {{u"Harddisk"}}}, 0x40000000, 0, {all, L"\\\\.\\Harddisk|Harddisk|Harddisk|2"}},  // damaged
        {{{{u"0 C:"}}, {{u"C:"}}}, 0xFFFFFFFF, 0xFFFFFFFF, {all}},  // objects without instances
    };
    fake.volumes = {{L"C:\\", L"Data"}, {L"D:\\", L""}};  // E: has no medium
    for (const auto& c : cases) {
        fake.data = perftest::Snapshot(c.set);
        const auto [physical, logical] = perftest::Objects(fake.data);
        for (const auto& [object, count] : {std::pair{physical, c.physicalCount}, {logical, c.logicalCount}})
            if (count)
                perftest::Put32(fake.data, object + kObjectNumInstances, count);
        EXPECT_EQ(Enumerate(), c.entries);
    }
    EXPECT_EQ(fake.offered.size(), 2 * std::size(cases));  // one refresh per enumeration
}

}  // namespace
