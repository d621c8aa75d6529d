// Building the indicator list from performance-data snapshots.
#include <gtest/gtest.h>

#include "sources/drive_list.h"
#include "sources/perf_layout.h"
#include "sources/registry_access.h"
#include "tests/support/fake_source_system.h"
#include "tests/support/perf_snapshot.h"

namespace {

using namespace perflayout;

perftest::Object Named(std::uint32_t index, std::vector<std::u16string> names)
{
    perftest::Object object{index, perftest::DiskCounters(), {}};
    for (auto& name : names)
        object.instances.push_back({std::move(name), {}});
    return object;
}

struct Row {
    std::wstring devicePath, displayName, label;
    std::uint32_t kind;
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& row)
{
    return out << testing::PrintToString(row.devicePath) << " " << testing::PrintToString(row.displayName)
               << " " << testing::PrintToString(row.label) << " " << row.kind;
}

std::vector<Row> Rows(const IndicatorList& list)
{
    std::vector<Row> rows;
    for (const IndicatorEntry& e : list) {
        rows.push_back({e.devicePath, e.displayName, e.label, e.kind});
        EXPECT_EQ(e.window, nullptr);
        EXPECT_TRUE(e.serialNumber.empty() && e.model.empty() && e.details.empty());
    }
    return rows;
}

class DriveListTest : public ::testing::Test {
protected:
    void Serve(std::vector<perftest::Object> objects)
    {
        perftest::Description d;
        d.objects = std::move(objects);
        fake.data = perftest::Build(d);
    }
    std::vector<Row> Enumerate()
    {
        EnumeratePhysicalDrives(access, list);
        EnumerateLogicalDisks(access, list);
        return Rows(list);
    }

    FakeSourceSystem fake;
    ScopedSourceSystem scope{fake};
    DirectRegistryAccess access;
    IndicatorList list;
};

const Row kAllInOne{L"_Total", L"All-In-One", L"All", kKindAllInOne};

TEST_F(DriveListTest, PhysicalDrivesThenAllInOneThenLogicalDisks)
{
    Serve({Named(kPhysicalDiskObject, {u"0 C:", u"1 D: E:", u"_Total"}),
           Named(kLogicalDiskObject, {u"C:", u"HarddiskVolume1", u"D:", u"E:", u"_Total"})});
    fake.volumes = {{L"C:\\", L"Data"}, {L"D:\\", L""}};  // E: has no medium
    EXPECT_EQ(Enumerate(), (std::vector<Row>{
                               {L"\\\\.\\PHYSICALDRIVE0", L"Physical Drive 0", L"0", kKindPhysicalDrive},
                               {L"\\\\.\\PHYSICALDRIVE1", L"Physical Drive 1", L"1", kKindPhysicalDrive},
                               kAllInOne,
                               {L"\\\\.\\C:", L"C:\\ - Data", L"C:", kKindLogicalDisk},
                               {L"\\\\.\\HarddiskVolume1", L"HarddiskVolume1", L"hd1", kKindLogicalDisk},
                               {L"\\\\.\\D:", L"D:\\", L"D:", kKindLogicalDisk},
                               {L"\\\\.\\E:", L"E:", L"E:", kKindLogicalDisk},
                           }));
    EXPECT_EQ(fake.volumeRoots,
              (std::vector<std::wstring>{L"C:\\", L"HarddiskVolume1\\", L"D:\\", L"E:\\"}));
    EXPECT_EQ(fake.queries, 2);  // one refresh per enumeration
}

TEST_F(DriveListTest, DrivesAreNumberedByPositionNotByName)
{
    Serve({Named(kPhysicalDiskObject, {u"0 C:", u"2 F:", u"_Total"})});
    const auto rows = Enumerate();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].devicePath, L"\\\\.\\PHYSICALDRIVE1");
    EXPECT_EQ(rows[1].label, L"1");
    EXPECT_EQ(rows[2], kAllInOne);
}

TEST_F(DriveListTest, TotalEndsTheLogicalDisksAndShortNamesKeepTheirLabel)
{
    Serve({Named(kPhysicalDiskObject, {u"_Total"}),
           Named(kLogicalDiskObject, {u"Harddisk", u"_Total", u"C:"})});
    EXPECT_EQ(Enumerate(), (std::vector<Row>{kAllInOne,
                                             {L"\\\\.\\Harddisk", L"Harddisk", L"Harddisk", kKindLogicalDisk}}));
}

TEST_F(DriveListTest, NoSnapshotGivesOnlyTheAllInOneEntry)
{
    fake.failWith = ERROR_ACCESS_DENIED;
    EXPECT_EQ(Enumerate(), (std::vector<Row>{kAllInOne}));
}

TEST_F(DriveListTest, ObjectWithoutInstancesGivesNoDrives)
{
    perftest::Object none{kPhysicalDiskObject, perftest::DiskCounters(), {}, true, -1};
    perftest::Object logical{kLogicalDiskObject, perftest::DiskCounters(), {}, true, -1};
    Serve({none, logical});
    EXPECT_EQ(Enumerate(), (std::vector<Row>{kAllInOne}));
}

TEST_F(DriveListTest, DamagedPhysicalDiskObjectGivesNoDrives)
{
    perftest::Description d;
    d.objects = {Named(kPhysicalDiskObject, {u"0 C:", u"_Total"}), Named(kLogicalDiskObject, {u"C:", u"_Total"})};
    perftest::Layout layout;
    fake.data = perftest::Build(d, &layout);
    perftest::Put32(fake.data, layout.objects[0].start + kObjectNumInstances, 0x40000000);
    EXPECT_EQ(Enumerate(), (std::vector<Row>{kAllInOne, {L"\\\\.\\C:", L"C:", L"C:", kKindLogicalDisk}}));
}

TEST_F(DriveListTest, EnumeratingAgainStartsAFreshList)
{
    Serve({Named(kPhysicalDiskObject, {u"0 C:", u"1 D:", u"_Total"}), Named(kLogicalDiskObject, {u"C:", u"_Total"})});
    fake.volumes = {{L"C:\\", L"Sys"}};
    EXPECT_EQ(Enumerate().size(), 4u);
    Serve({Named(kPhysicalDiskObject, {u"0 C:", u"_Total"}), Named(kLogicalDiskObject, {u"C:", u"_Total"})});
    EXPECT_EQ(Enumerate(), (std::vector<Row>{{L"\\\\.\\PHYSICALDRIVE0", L"Physical Drive 0", L"0", kKindPhysicalDrive},
                                             kAllInOne,
                                             {L"\\\\.\\C:", L"C:\\ - Sys", L"C:", kKindLogicalDisk}}));
}

}  // namespace
