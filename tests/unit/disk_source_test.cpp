// The record factory and the direct sources over scripted device statistics.
#include <gtest/gtest.h>

#include <windows.h>

#include "sources/counter_source.h"
#include "sources/disk_source.h"
#include "sources/registry_access.h"
#include "tests/support/fake_source_system.h"
#include "tests/support/text_expect.h"

namespace {

using textexpect::ByteSize;
using textexpect::Exact;

DISK_PERFORMANCE Stats(std::uint32_t reads, std::uint32_t writes, std::uint32_t queue,
                       std::int64_t bytesRead = 0, std::int64_t bytesWritten = 0)
{
    DISK_PERFORMANCE d{};
    d.ReadCount = reads;
    d.WriteCount = writes;
    d.QueueDepth = queue;
    d.BytesRead.QuadPart = bytesRead;
    d.BytesWritten.QuadPart = bytesWritten;
    return d;
}

class DirectSourceTest : public ::testing::Test {
protected:
    IndicatorEntry& Add(std::wstring path, std::wstring displayName, std::uint32_t kind)
    {
        IndicatorEntry entry;
        entry.devicePath = std::move(path);
        entry.displayName = std::move(displayName);
        entry.kind = kind;
        list.push_back(entry);
        return list.back();
    }
    std::unique_ptr<CHardDiskIndicatorInfo> Disk(IndicatorEntry& entry)
    {
        auto record = std::make_unique<CHardDiskIndicatorInfo>();
        record->entry = &entry;
        record->Open();
        return record;
    }
    DISK_PERFORMANCE& Device(const std::wstring& path) { return fake.devices[path].statistics; }

    FakeSourceSystem fake;
    ScopedSourceSystem scope{fake};
    IndicatorList list;
};

TEST(RecordFactory, CountersEnabledGiveTheCounterSourceForEveryKind)
{
    FakeSourceSystem fake;
    ScopedSourceSystem scope(fake);
    IndicatorList list;
    for (std::optional<DWORD> setting : {std::optional<DWORD>(), std::optional<DWORD>(0)}) {
        fake.disableCounters = setting;
        DirectRegistryAccess access;
        for (std::uint32_t kind : {1u, 2u, 4u, 3u, 0u}) {
            auto record = CreatePerformanceData(kind, access, list);
            ASSERT_NE(dynamic_cast<CRegistryAccessIndicator*>(record.get()), nullptr) << kind;
            EXPECT_EQ(record->entry, nullptr);
            EXPECT_EQ(record->state, 0u);
            EXPECT_EQ(record->device, nullptr);
        }
    }
}

TEST(RecordFactory, CountersDisabledGiveTheDirectSources)
{
    FakeSourceSystem fake;
    ScopedSourceSystem scope(fake);
    IndicatorList list;
    for (DWORD setting : {1u, 0x80000000u}) {
        fake.disableCounters = setting;
        DirectRegistryAccess access;
        auto physical = CreatePerformanceData(kKindPhysicalDrive, access, list);
        auto logical = CreatePerformanceData(kKindLogicalDisk, access, list);
        auto all = CreatePerformanceData(kKindAllInOne, access, list);
        ASSERT_NE(dynamic_cast<CHardDiskIndicatorInfo*>(physical.get()), nullptr);
        EXPECT_EQ(dynamic_cast<CAllInOneIndicatorInfo*>(physical.get()), nullptr);
        ASSERT_NE(dynamic_cast<CHardDiskIndicatorInfo*>(logical.get()), nullptr);
        auto* allInOne = dynamic_cast<CAllInOneIndicatorInfo*>(all.get());
        ASSERT_NE(allInOne, nullptr);
        EXPECT_TRUE(allInOne->children.empty());
        auto* disk = static_cast<CHardDiskIndicatorInfo*>(physical.get());
        EXPECT_EQ(disk->lastReadCount, 0xFFFFFFFFu);
        EXPECT_EQ(disk->lastWriteCount, 0xFFFFFFFFu);
        EXPECT_EQ(disk->device, nullptr);
        EXPECT_EQ(CreatePerformanceData(3, access, list), nullptr);
    }
}

TEST_F(DirectSourceTest, StateFromCountsAndQueueDepth)
{
    auto& entry = Add(L"\\\\.\\PHYSICALDRIVE0", L"Physical Drive 0", kKindPhysicalDrive);
    Device(entry.devicePath) = Stats(100, 50, 0);
    auto disk = Disk(entry);
    ASSERT_NE(disk->device, nullptr);
    EXPECT_EQ(disk->Sample(), 0u);  // first sample of an idle device with an empty queue
    Device(entry.devicePath) = Stats(103, 51, 0);
    EXPECT_EQ(disk->Sample(), 3u);  // three reads OR one write
    EXPECT_EQ(disk->state, 3u);
    Device(entry.devicePath) = Stats(103, 51, 2);
    EXPECT_EQ(disk->Sample(), 2u);  // two requests outstanding
    Device(entry.devicePath) = Stats(103 + 0x10000, 51, 0);
    EXPECT_EQ(disk->Sample(), 0x10000u);
    EXPECT_EQ(disk->lastReadCount, 103u + 0x10000u);
    EXPECT_EQ(disk->lastWriteCount, 51u);
}

// The first sample answers the queue alone; counts wrap around; a count of
// exactly 0xFFFFFFFF reads as "no previous sample".
TEST_F(DirectSourceTest, FirstSampleWrapAroundAndAllOnes)
{
    auto& entry = Add(L"\\\\.\\C:", L"C:\\", kKindLogicalDisk);
    fake.devices[entry.devicePath];
    auto disk = Disk(entry);
    const struct {
        std::uint32_t reads, writes, queue, state;
    } steps[] = {{0xFFFFFFFE, 7, 2, 2}, {1, 7, 0, 3}, {0xFFFFFFFF, 7, 0, 0xFFFFFFFE}, {5, 7, 0, 0}, {6, 7, 0, 1}};
    for (const auto& step : steps) {
        Device(entry.devicePath) = Stats(step.reads, step.writes, step.queue);
        EXPECT_EQ(disk->Sample(), step.state) << step.reads;
    }
}

TEST_F(DirectSourceTest, FailedQueryCountsAsNoChange)
{
    auto& entry = Add(L"\\\\.\\PHYSICALDRIVE0", L"Physical Drive 0", kKindPhysicalDrive);
    Device(entry.devicePath) = Stats(10, 10, 0, 4096, 8192);
    auto disk = Disk(entry);
    disk->Sample();
    fake.devices[entry.devicePath].answers = false;
    Device(entry.devicePath) = Stats(20, 30, 4);
    EXPECT_EQ(disk->Sample(), 0u);
    EXPECT_EQ(disk->state, 0u);
    EXPECT_EQ(disk->lastReadCount, 10u);
    EXPECT_EQ(disk->lastWriteCount, 10u);
    wchar_t text[256];
    disk->GetText(text, 256);
    EXPECT_EQ(std::wstring(text), L"Physical Drive 0 - \r\n Data Read: " + ByteSize(0) + L" (0) \tData Write: " +
                                      ByteSize(0) + L" (0)");
    fake.devices[entry.devicePath].answers = true;
    Device(entry.devicePath) = Stats(12, 10, 0);
    EXPECT_EQ(disk->Sample(), 2u);  // counted from the last good sample
}

TEST_F(DirectSourceTest, DeviceThatCannotBeOpenedStaysInService)
{
    auto& entry = Add(L"\\\\.\\PHYSICALDRIVE7", L"Physical Drive 7", kKindPhysicalDrive);
    auto disk = Disk(entry);  // no such device
    EXPECT_EQ(disk->device, nullptr);
    EXPECT_EQ(disk->Sample(), 0u);
    EXPECT_EQ(disk->Sample(), 0u);
    EXPECT_EQ(disk->lastReadCount, 0xFFFFFFFFu);
    EXPECT_TRUE(disk->Close());
    EXPECT_EQ(fake.openHandles, 0);
}

TEST_F(DirectSourceTest, TextsOfPhysicalDrivesAndLogicalDisks)
{
    ASSERT_EQ(Exact(1610612736).size(), 15u) << "the user's locale groups digits by threes";
    auto& drive = Add(L"\\\\.\\PHYSICALDRIVE0", L"Physical Drive 0", kKindPhysicalDrive);
    auto& volume = Add(L"\\\\.\\C:", L"C:\\ - Data", kKindLogicalDisk);
    Device(drive.devicePath) = Stats(1, 1, 0, 1610612736, 536870912);
    Device(volume.devicePath) = Stats(1, 1, 0, 1610612736, 536870912);
    wchar_t text[256];
    auto physical = Disk(drive);
    ASSERT_TRUE(physical->GetText(text, 256));
    EXPECT_EQ(std::wstring(text), L"Physical Drive 0 - \r\n Data Read: " + ByteSize(1610612736) + L" " +
                                      Exact(1610612736) + L" \tData Write: " + ByteSize(536870912) + L" " +
                                      Exact(536870912));
    drive.model = L"Model 9";
    physical->GetText(text, 256);
    EXPECT_EQ(std::wstring(text).substr(0, 29), L"Physical Drive 0 - Model 9\r\n ");
    auto logical = Disk(volume);
    logical->GetText(text, 256);
    EXPECT_EQ(std::wstring(text), L"C:\\ - Data \r\n Data Read: " + ByteSize(1610612736) + L" " +
                                      Exact(1610612736) + L" \tData Write: " + ByteSize(536870912) + L" " +
                                      Exact(536870912));
    EXPECT_EQ(physical->GetName(), L"");
    EXPECT_EQ(fake.devices[drive.devicePath].queries, 2);  // each text asks the device afresh
}

TEST_F(DirectSourceTest, AllInOneCombinesOneChildPerPhysicalDrive)
{
    Add(L"\\\\.\\PHYSICALDRIVE0", L"Physical Drive 0", kKindPhysicalDrive);
    Add(L"\\\\.\\PHYSICALDRIVE1", L"Physical Drive 1", kKindPhysicalDrive);
    Add(L"\\\\.\\PHYSICALDRIVE2", L"Physical Drive 2", kKindPhysicalDrive);  // cannot be opened
    auto& total = Add(L"_Total", L"All-In-One", kKindAllInOne);
    Add(L"\\\\.\\C:", L"C:\\", kKindLogicalDisk);
    Device(L"\\\\.\\PHYSICALDRIVE0") = Stats(0, 0, 0);
    Device(L"\\\\.\\PHYSICALDRIVE1") = Stats(0, 0, 0);
    fake.devices[L"\\\\.\\PHYSICALDRIVE2"].opens = false;

    CAllInOneIndicatorInfo all(list);
    all.entry = &total;
    EXPECT_TRUE(all.Open());
    ASSERT_EQ(all.children.size(), 3u);
    EXPECT_EQ(all.children[2]->device, nullptr);
    EXPECT_EQ(fake.openedPaths, (std::vector<std::wstring>{L"\\\\.\\PHYSICALDRIVE0", L"\\\\.\\PHYSICALDRIVE1",
                                                           L"\\\\.\\PHYSICALDRIVE2"}));
    EXPECT_EQ(all.Sample(), 0u);
    Device(L"\\\\.\\PHYSICALDRIVE0") = Stats(4, 0, 0);
    Device(L"\\\\.\\PHYSICALDRIVE1") = Stats(0, 0, 0x20000);
    EXPECT_EQ(all.Sample(), 0x20004u);
    EXPECT_EQ(all.state, 0x20004u);
    EXPECT_EQ(all.children[0]->state, 4u);

    wchar_t text[1024];
    all.GetText(text, 1024);
    const std::wstring zero = L" Data Read: " + ByteSize(0) + L" (0) \tData Write: " + ByteSize(0) + L" (0)\r\n";
    EXPECT_EQ(std::wstring(text), L"All-In-One\r\nPhysical Drive 0 - \r\n" + zero + L"Physical Drive 1 - \r\n" +
                                      zero + L"Physical Drive 2 - \r\n" + zero);
    EXPECT_TRUE(all.Close());
    EXPECT_TRUE(all.children.empty());
    EXPECT_EQ(fake.openHandles, 0);
}

TEST_F(DirectSourceTest, AllInOneWithoutDrives)
{
    auto& total = Add(L"_Total", L"All-In-One", kKindAllInOne);
    CAllInOneIndicatorInfo all(list);
    all.entry = &total;
    all.Open();
    EXPECT_EQ(all.Sample(), 0u);
    wchar_t text[64];
    all.GetText(text, 64);
    EXPECT_EQ(std::wstring(text), L"All-In-One\r\n");
}

// Every drive adds about 110 characters to the all-in-one text: a fixed buffer
// must be cut, never overrun.
TEST_F(DirectSourceTest, TextsAreCutAtTheEndOfTheBuffer)
{
    for (int i = 0; i < 40; ++i) {
        auto& drive = Add(L"\\\\.\\PHYSICALDRIVE" + std::to_wstring(i), L"Physical Drive " + std::to_wstring(i),
                          kKindPhysicalDrive);
        Device(drive.devicePath) = Stats(0, 0, 0, 1610612736, 536870912);
    }
    auto& total = Add(L"_Total", L"All-In-One", kKindAllInOne);
    CAllInOneIndicatorInfo all(list);
    all.entry = &total;
    all.Open();
    wchar_t whole[8192];
    all.GetText(whole, 8192);
    ASSERT_GT(wcslen(whole), 3000u);

    wchar_t buffer[1024 + 16];
    std::fill(std::begin(buffer), std::end(buffer), L'#');
    all.GetText(buffer, 1024);
    EXPECT_EQ(wcslen(buffer), 1023u);
    EXPECT_EQ(std::wstring(buffer), std::wstring(whole, 1023));
    EXPECT_EQ(std::wstring(buffer + 1024, 16), std::wstring(16, L'#'));

    auto one = Disk(list.front());
    std::fill(std::begin(buffer), std::end(buffer), L'#');
    one->GetText(buffer, 5);
    EXPECT_EQ(std::wstring(buffer), L"Phys");
    EXPECT_EQ(buffer[5], L'#');
    buffer[0] = L'#';
    one->GetText(buffer, 0);
    EXPECT_EQ(buffer[0], L'#');  // nothing written
}

TEST_F(DirectSourceTest, CutNeverSplitsASurrogatePair)
{
    auto& total = Add(L"_Total", L"Disks \xD83D\xDCBE", kKindAllInOne);
    CAllInOneIndicatorInfo all(list);
    all.entry = &total;
    wchar_t buffer[9];
    all.GetText(buffer, 8);  // room for 7: the pair would be cut in half
    EXPECT_EQ(std::wstring(buffer), L"Disks ");
    all.GetText(buffer, 9);
    EXPECT_EQ(std::wstring(buffer), L"Disks \xD83D\xDCBE");
}

TEST(ExactNumber, AppendsTheGroupedValueInParentheses)
{
    DirectRegistryAccess access;
    CRegistryAccessIndicator record(access);
    wchar_t text[64] = L"Total ";
    EXPECT_EQ(record.AppendExactNumber(text, 64, 0), text);
    EXPECT_EQ(std::wstring(text), L"Total (0)");
    text[0] = L'\0';
    record.AppendExactNumber(text, 64, 1234567);
    EXPECT_EQ(std::wstring(text), L"(1" + textexpect::Separator() + L"234" + textexpect::Separator() + L"567)");
    text[0] = L'\0';
    record.AppendExactNumber(text, 64, 18446744073709551615ull);
    EXPECT_EQ(std::wstring(text), Exact(18446744073709551615ull));
    wcscpy(text, L"ab");
    record.AppendExactNumber(text, 6, 1234567);  // room for three more characters
    EXPECT_EQ(std::wstring(text), L"ab(1" + textexpect::Separator().substr(0, 1));
}

}  // namespace
