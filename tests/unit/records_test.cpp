// The performance records over scripted sources: the counter source's states;
// the direct sources over device statistics.
#include <gtest/gtest.h>

#include <winternl.h>

#include "common/live_counts.h"
#include "sources/counter_source.h"
#include "sources/disk_source.h"
#include "sources/registry_access.h"
#include "tests/support/fake_source_system.h"
#include "tests/support/perf_snapshot.h"

namespace {

class RecordTest : public ::testing::Test {
protected:
    IndicatorEntry& Add(std::wstring path, std::uint32_t kind)
    {
        return list.emplace_back(IndicatorEntry{.devicePath = path, .kind = kind});
    }
    template <class Record, class... Args>
    std::unique_ptr<Record> Open(IndicatorEntry& entry, Args&... args)
    {
        auto record = std::make_unique<Record>(args...);
        record->entry = &entry;
        EXPECT_TRUE(record->Open());
        return record;
    }
    void SetDevice(const std::wstring& path, DWORD reads, DWORD writes, DWORD queue)
    {
        fake.devices[path].statistics = {.ReadCount = reads, .WriteCount = writes, .QueueDepth = queue};
    }
    FakeSourceSystem fake;
    ScopedSourceSystem scope{fake};
    DirectRegistryAccess access;
    IndicatorList list;
};

TEST_F(RecordTest, CounterRecordsReadTheirOwnInstance)
{
    fake.data = perftest::Snapshot(
        {{{u"0 C:", {1}}, {u"1 D: E:", {2, 0x30000}}, {u"2", {3, 2}}, {u"_Total", {3, 0, 5}}},
         {{u"G:", {4, 0, 6}}, {u"HarddiskVolume31", {5, 9}}, {u"H:", {5, 7}}, {u"HarddiskVolume3", {6, 0, 8}}}});
    access.Refresh();
    const std::tuple<const wchar_t*, std::uint32_t, std::uint32_t> cases[] = {
        {L"\\\\.\\PHYSICALDRIVE1", kKindPhysicalDrive, 0x10000},  // 0x30000 has no low 16 bits
        {L"\\\\.\\PHYSICALDRIVE12", kKindPhysicalDrive, 0},       // not "1 D: E:"
        {L"\\\\.\\PHYSICALDRIVE2", kKindPhysicalDrive, 0x20000},  // a disk without a lettered volume
        {L"_Total", kKindAllInOne, 5},
        {L"\\\\.\\H:", kKindLogicalDisk, 0x70000},
        {L"\\\\.\\HarddiskVolume3", kKindLogicalDisk, 8},  // its own instance, not "HarddiskVolume31"
        {L"?", 16, 6}};                                    // the first LogicalDisk instance
    for (auto [path, kind, state] : cases)
        EXPECT_EQ(Open<CRegistryAccessIndicator>(Add(path, kind), access)->Sample(), state) << path;
}

TEST_F(RecordTest, CounterStatesFromTheQueueCounters)
{
    auto record = Open<CRegistryAccessIndicator>(Add(L"\\\\.\\PHYSICALDRIVE0", kKindPhysicalDrive), access);
    const struct {
        std::uint64_t queue, readQueue, writeQueue;
        std::uint32_t state;
    } steps[] = {
        {1000, 500, 700, 0x01F402BC},
        {1000, 900, 900, 0},                               // the queue total did not move: idle
        {1001, 900 + 0x12345, 900 + 0x10000, 0x23450000},  // the low 16 bits of each growth
        {5, 900 + 0x12341, 900 + 0x10000, 0xFFFC0000},     // counters that go back wrap around
    };
    std::uint64_t time = 10'000'000;
    for (const auto& s : steps) {
        fake.data = perftest::Snapshot({{{u"0 C:", {s.queue, s.readQueue, s.writeQueue}}}, {}}, ++time);
        access.Refresh();
        EXPECT_EQ(record->Sample(), s.state) << s.queue;
    }
}

TEST_F(RecordTest, DirectStateFromCountsAndQueueDepth)
{
    const std::wstring path = L"\\\\.\\PHYSICALDRIVE0";
    SetDevice(path, 0, 0, 0);
    auto disk = Open<CHardDiskIndicatorInfo>(Add(path, kKindPhysicalDrive));
    const struct {
        std::uint32_t reads, writes, queue;
        bool answers;
        std::uint32_t state;
    } steps[] = {
        {100, 50, 0, true, 0},                          // the first sample has no counts to compare
        {103, 51, 0, true, 0x00030001},                 // reads high, writes low
        {103, 51, 2, true, 0x00020000},                 // two requests outstanding, none completed: reading
        {103, 53, 5, true, 0x00000002},                 // completed writes: the outstanding ones wait their turn
        {200, 90, 4, false, 0},                         // a device that does not answer: no change
        {105, 53, 0, true, 0x00020000},                 // counted from the last good sample
        {0x00020000, 0x00020000, 0, true, 0xFFFFFFFF},  // each half at most 0xFFFF
        {1, 0x00020000, 0, true, 0xFFFF0000},           // 32 bits, wrapping around
    };
    for (const auto& s : steps) {
        fake.devices[path].answers = s.answers;
        SetDevice(path, s.reads, s.writes, s.queue);
        EXPECT_EQ(disk->Sample(), s.state) << s.reads;
        EXPECT_EQ(disk->state, s.state);
    }
}

// "Safely remove" asked for a drive: exactly its handle closes at once and its
// next sample is idle without asking it; a removal that fails opens it again;
// closing releases every handle and registration, the program's counts back
// where they were.
TEST_F(RecordTest, ADriveAskedToBeRemovedIsLetGoAndTakenBackWhenTheRemovalFails)
{
    const LiveCounts before = Live();
    for (const wchar_t* n : {L"0", L"1"})
        SetDevice(Add(std::wstring(L"\\\\.\\PHYSICALDRIVE") + n, kKindPhysicalDrive).devicePath, 0, 0, 0);
    auto all = Open<CAllInOneIndicatorInfo>(Add(L"_Total", kKindAllInOne), list);
    FakeSourceSystem::Device &first = fake.devices[list[0].devicePath], &second = fake.devices[list[1].devicePath];
    EXPECT_EQ(2, fake.watches);
    EXPECT_EQ(before.handles + 2, Live().handles);
    EXPECT_EQ(0u, all->Sample());  // the counts to compare with
    const HDEVNOTIFY asked = second.watch;
    EXPECT_FALSE(all->DeviceRemovalQueried(reinterpret_cast<HDEVNOTIFY>(0x1)));  // not one of its devices
    EXPECT_TRUE(all->DeviceRemovalQueried(asked));
    EXPECT_EQ(std::vector<HANDLE>{&second}, fake.closed);
    EXPECT_EQ(1, fake.openHandles);
    SetDevice(list[0].devicePath, 1, 0, 0);
    SetDevice(list[1].devicePath, 0, 9, 0);
    const int asks = second.queries;
    EXPECT_EQ(0x10000u, all->Sample());  // drive 1's writes are not seen: it is not asked
    EXPECT_EQ(asks, second.queries);

    EXPECT_TRUE(all->DeviceRemovalFailed(asked));
    EXPECT_EQ(2, fake.openHandles);
    EXPECT_EQ(2, fake.watches);
    SetDevice(list[1].devicePath, 0, 12, 0);
    EXPECT_EQ(12u, all->Sample());  // asked again: the writes since its last answer
    // The device is going: its handle and its registration go at once.
    EXPECT_TRUE(all->DeviceRemoved(second.watch));
    EXPECT_EQ(1, fake.openHandles);
    EXPECT_EQ(1, fake.watches);
    EXPECT_FALSE(all->DeviceRemoved(asked));  // told once
    all->Close();
    EXPECT_EQ(0, fake.openHandles);
    EXPECT_EQ(0, fake.watches);
    EXPECT_EQ(before.handles, Live().handles);
    EXPECT_EQ(before.deviceWatches, Live().deviceWatches);
    EXPECT_EQ(nullptr, first.watch);
}

// The real seam opens a device asking for no access: the statistics need
// none, and reading a disk or a volume needs administrator rights.
TEST(SourceSystem, DevicesAreOpenedWithoutTheRightToReadThem)
{
    SourceSystem real;
    const HANDLE device = real.OpenDevice(L"\\\\.\\C:");
    ASSERT_NE(nullptr, device);
    PUBLIC_OBJECT_BASIC_INFORMATION information{};
    EXPECT_EQ(0, NtQueryObject(device, ObjectBasicInformation, &information, sizeof information, nullptr));
    EXPECT_EQ(0u, information.GrantedAccess & (FILE_READ_DATA | FILE_WRITE_DATA));
    real.CloseDevice(device);
}

}  // namespace
