// The disk-counter provider in scripted mode, read through the real
// performance-data query of the test prefix: the program's reader and drive
// list must see exactly the disks and values the script lists.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "sources/drive_list.h"
#include "sources/perf_layout.h"
#include "sources/registry_access.h"
#include "tests/support/perf_snapshot.h"
#include "tests/support/provider_registration.h"
#include "tools/perfprov/disk_objects.h"
#include "tools/perfprov/disk_script.h"
#include "tools/perfprov/provider_key.h"

namespace {

using namespace perflayout;

DiskCounters ReadCounters(DirectRegistryAccess& access, std::uint32_t object, const wchar_t* instance)
{
    auto value = [&](std::uint32_t counter, std::uint32_t type) {
        return access.GetCounterValue(object, instance, counter, type);
    };
    DiskCounters c;
    c.queue = value(kAvgDiskQueueLength, kPerfCounter100nsQueueLen);
    c.readQueue = value(kAvgDiskReadQueueLength, kPerfCounter100nsQueueLen);
    c.writeQueue = value(kAvgDiskWriteQueueLength, kPerfCounter100nsQueueLen);
    c.reads = static_cast<std::uint32_t>(value(kDiskReadsPerSec, kPerfCounterCounter));
    c.writes = static_cast<std::uint32_t>(value(kDiskWritesPerSec, kPerfCounterCounter));
    c.bytesRead = value(kAvgDiskBytesPerRead, kPerfAverageBulk);
    c.bytesWritten = value(kAvgDiskBytesPerWrite, kPerfAverageBulk);
    c.inFlight = static_cast<std::uint32_t>(value(198, 0x00010000));  // current queue length, a raw count
    return c;
}

std::vector<std::wstring> Names(DirectRegistryAccess& access, std::uint32_t object)
{
    std::vector<std::wstring> names;
    access.GetInstanceNames(object, names);
    return names;
}

class ScriptedProvider : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!RunningUnderWine())
            GTEST_SKIP() << "the disk-counter provider serves Wine's performance-data query only";
        ASSERT_TRUE(ProviderRegistered())
            << "the disk-counter provider is not registered in this prefix; scripts/test registers it";
        ASSERT_EQ(ProviderValue(nullptr, kProviderModeValue), kProviderModeScripted);
        script_ = ProviderScriptFile();
        ASSERT_FALSE(script_.empty());
    }
    void TearDown() override { DeleteFileW(script_.c_str()); }

    void Serve(const std::string& text) { ASSERT_TRUE(ReplaceFileText(script_, text)); }
    void Serve(const DiskSet& set) { Serve(FormatDiskScript(set)); }

    IndicatorList Enumerate()
    {
        IndicatorList list;
        EnumeratePhysicalDrives(access_, list);
        EnumerateLogicalDisks(access_, list);
        return list;
    }

    std::wstring script_;
    DirectRegistryAccess access_;
};

TEST_F(ScriptedProvider, ServesExactlyTheScriptedDisks)
{
    Serve("qorvel-disks 1\n"
          "physical | 0 C: | 1400=1\n"
          "physical | 1 D: E: | 1400=2\n"
          "logical | C: |\n"
          "logical | D: |\n"
          "logical | HarddiskVolume1 |\n"
          "logical | E: |\n"
          "end\n");
    const IndicatorList list = Enumerate();
    std::vector<std::wstring> paths, labels;
    std::vector<std::uint32_t> kinds;
    for (const IndicatorEntry& entry : list) {
        paths.push_back(entry.devicePath);
        labels.push_back(entry.label);
        kinds.push_back(entry.kind);
    }
    EXPECT_EQ(paths, (std::vector<std::wstring>{L"\\\\.\\PHYSICALDRIVE0", L"\\\\.\\PHYSICALDRIVE1", L"_Total",
                                                 L"\\\\.\\C:", L"\\\\.\\D:", L"\\\\.\\HarddiskVolume1", L"\\\\.\\E:"}));
    EXPECT_EQ(labels, (std::vector<std::wstring>{L"0", L"1", L"All", L"C:", L"D:", L"hd1", L"E:"}));
    EXPECT_EQ(kinds, (std::vector<std::uint32_t>{1, 1, 4, 2, 2, 2, 2}));
    ASSERT_EQ(list.size(), 7u);
    EXPECT_EQ(list[4].displayName, L"D:");  // the test prefix has no drive D:
    EXPECT_EQ(Names(access_, kPhysicalDiskObject), (std::vector<std::wstring>{L"0 C:", L"1 D: E:", L"_Total"}));
    EXPECT_EQ(Names(access_, kLogicalDiskObject),
              (std::vector<std::wstring>{L"C:", L"D:", L"HarddiskVolume1", L"E:", L"_Total"}));
}

TEST_F(ScriptedProvider, ReadsEveryScriptedValue)
{
    DiskSet set;
    DiskCounters d0;
    d0.queue = 5'000'000'000'000ull;
    d0.readQueue = 0x1'0000'0001ull;
    d0.writeQueue = 3;
    d0.reads = 4'000'000'000u;
    d0.writes = 17;
    d0.bytesRead = 0xFFFF'FFFF'FFFF'FFF0ull;
    d0.bytesWritten = 1ull << 40;
    d0.inFlight = 2;
    DiskCounters d1;
    d1.queue = 10;
    d1.readQueue = 20;
    d1.writeQueue = 0x2'0000'0000ull;
    d1.reads = 1'000'000'000u;
    d1.writes = 5;
    d1.bytesRead = 0x20;
    d1.bytesWritten = 512;
    d1.inFlight = 1;
    DiskCounters c;
    c.queue = ~0ull;
    c.writeQueue = 0x7'0000'0000ull;
    c.writes = 0xFFFF'FFFFu;
    c.bytesWritten = 12'345'678'901'234ull;
    set.physical = {{u"0 C:", d0, -1}, {u"1 D:", d1, -1}};
    set.logical = {{u"C:", c, -1}, {u"D:", d1, -1}};
    Serve(set);
    ASSERT_TRUE(access_.Refresh());

    EXPECT_EQ(ReadCounters(access_, kPhysicalDiskObject, L"0 "), d0);
    EXPECT_EQ(ReadCounters(access_, kPhysicalDiskObject, L"1 "), d1);
    EXPECT_EQ(ReadCounters(access_, kLogicalDiskObject, L"C:"), c);
    EXPECT_EQ(ReadCounters(access_, kLogicalDiskObject, L"D:"), d1);
    // _Total sums each counter, wrapping as the counter's size does.
    DiskCounters total;
    total.queue = 5'000'000'000'010ull;
    total.readQueue = 0x1'0000'0015ull;
    total.writeQueue = 0x2'0000'0003ull;
    total.reads = 705'032'704u;  // 5,000,000,000 in 32 bits
    total.writes = 22;
    total.bytesRead = 0x10;
    total.bytesWritten = (1ull << 40) + 512;
    total.inFlight = 3;
    EXPECT_EQ(ReadCounters(access_, kPhysicalDiskObject, L"_Total"), total);
    // The neighbours: each average's base counts the requests.
    EXPECT_EQ(access_.GetCounterValue(kPhysicalDiskObject, L"0 ", kAvgDiskBytesPerRead, kPerfAverageBase),
              4'000'000'000u);
    EXPECT_EQ(access_.GetCounterValue(kLogicalDiskObject, L"C:", kAvgDiskBytesPerWrite, kPerfAverageBase),
              0xFFFF'FFFFu);
}

TEST_F(ScriptedProvider, TheNextSnapshotShowsAChangedFile)
{
    Serve("qorvel-disks 1\nphysical | 0 C: | 1402=100\nphysical | 1 D: | 1402=200\nlogical | C: |\nend\n");
    EXPECT_EQ(Enumerate().size(), 4u);
    EXPECT_EQ(access_.GetCounterValue(kPhysicalDiskObject, L"0 ", kAvgDiskReadQueueLength, kPerfCounter100nsQueueLen),
              100u);

    Serve("qorvel-disks 1\nphysical | 0 C: | 1402=4294967396\nend\n");
    ASSERT_TRUE(access_.Refresh());
    EXPECT_EQ(access_.GetCounterValue(kPhysicalDiskObject, L"0 ", kAvgDiskReadQueueLength, kPerfCounter100nsQueueLen),
              4294967396u);
    EXPECT_EQ(access_.GetCounterValue(kPhysicalDiskObject, L"1 ", kAvgDiskReadQueueLength, kPerfCounter100nsQueueLen),
              0u);
    const IndicatorList list = Enumerate();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].devicePath, L"\\\\.\\PHYSICALDRIVE0");
    EXPECT_EQ(list[1].devicePath, L"_Total");
}

TEST_F(ScriptedProvider, AMissingOrDamagedFileServesNoDisks)
{
    const std::string good = "qorvel-disks 1\nphysical | 0 C: |\nlogical | C: |\nend\n";
    const std::vector<std::string> damaged = {
        "",                                                       // the file is missing
        std::string("\x00\xFF\x7F garbage", 12),
        "qorvel-disks 1\nphysical | 0 C: |\nlogical | C: |\n",     // cut short
        "qorvel-disks 1\nphysical | 0 C: | 214=4294967296\nend\n",  // too large for the counter
    };
    for (const std::string& text : damaged) {
        Serve(good);
        ASSERT_EQ(Enumerate().size(), 3u);
        if (text.empty())
            ASSERT_TRUE(DeleteFileW(script_.c_str()));
        else
            Serve(text);
        const IndicatorList list = Enumerate();
        ASSERT_EQ(list.size(), 1u) << text;
        EXPECT_EQ(list[0].devicePath, L"_Total");
        EXPECT_EQ(access_.GetInstanceCount(kPhysicalDiskObject), 0) << "no objects at all";
        EXPECT_EQ(access_.GetInstanceCount(kLogicalDiskObject), 0);
    }
}

// n physical disks "i HarddiskVolumei" and their volumes, each counter telling
// the disk apart.
DiskSet ManyDisks(int count)
{
    DiskSet set;
    for (int i = 0; i < count; ++i) {
        const std::string volume = "HarddiskVolume" + std::to_string(i);
        DiskCounters c;
        c.queue = (1ull << 40) + static_cast<std::uint64_t>(i);
        c.bytesWritten = static_cast<std::uint64_t>(i) << 33;
        const std::string physical = std::to_string(i) + " " + volume;
        set.physical.push_back({std::u16string(physical.begin(), physical.end()), c, -1});
        set.logical.push_back({std::u16string(volume.begin(), volume.end()), c, -1});
    }
    return set;
}

TEST_F(ScriptedProvider, ASnapshotLargerThan64KiBIsReadWhole)
{
    Serve(ManyDisks(300));
    const IndicatorList list = Enumerate();
    const perfwalk::Snapshot snapshot = access_.Snapshot();
    ASSERT_GT(snapshot.size, 65536u);
    // The reader offered 65,536 bytes, was told ERROR_MORE_DATA and grew once.
    EXPECT_EQ(access_.OfferedSize(), 131072u);
    EXPECT_EQ(perftest::Get32(std::vector<std::uint8_t>(snapshot.data, snapshot.data + kBlockSize),
                              kBlockTotalByteLength),
              snapshot.size);
    ASSERT_EQ(list.size(), 601u);
    EXPECT_EQ(list[299].devicePath, L"\\\\.\\PHYSICALDRIVE299");
    EXPECT_EQ(list[300].devicePath, L"_Total");
    EXPECT_EQ(list[600].devicePath, L"\\\\.\\HarddiskVolume299");
    EXPECT_EQ(list[600].label, L"hd299");
    EXPECT_EQ(access_.GetCounterValue(kLogicalDiskObject, L"HarddiskVolume299", kAvgDiskBytesPerWrite,
                                      kPerfAverageBulk),
              299ull << 33);
    EXPECT_EQ(access_.GetCounterValue(kPhysicalDiskObject, L"_Total", kAvgDiskQueueLength, kPerfCounter100nsQueueLen),
              300 * (1ull << 40) + 44850);
}

// Wine tells the provider of 88 bytes more room than the reader's buffer has.
// An answer that would fit only in those 88 bytes must make the reader grow,
// not run past its buffer.
TEST_F(ScriptedProvider, AnAnswerJustPastTheOfferedSizeMakesTheReaderGrow)
{
    Serve(ManyDisks(1));
    ASSERT_TRUE(access_.Refresh());
    ASSERT_GE(access_.Snapshot().size, kBlockSize);
    std::uint32_t header = 0;
    std::memcpy(&header, access_.Snapshot().data + kBlockHeaderLength, 4);

    // Volumes with names of two lengths, chosen so that the answer is 65,544
    // bytes. An instance record holds 24 bytes and the UTF-16 name with its
    // null, padded to 8 bytes.
    const std::size_t target = 65536 + 8;
    auto record = [](std::size_t length) { return (24 + 2 * (length + 1) + 7) / 8 * 8; };
    DiskSet set;
    bool found = false;
    for (int count = 300; count < 500 && !found; ++count) {
        set = {};
        for (int i = 0; i < count; ++i)
            set.logical.push_back({std::u16string(i % 2 ? 9 : 5, u'V'), {}, -1});
        std::uint32_t objects = 0;
        const std::size_t base = header + BuildDiskObjects(set, {true, true}, {}, &objects).size();
        for (std::size_t extra = 0; extra < 58 && !found; ++extra) {
            for (std::size_t more = 0; more < 54 && !found; ++more) {
                found = base + record(5 + extra) - record(5) + record(9 + more) - record(9) == target;
                if (found) {
                    set.logical[0].name = std::u16string(5 + extra, u'V');
                    set.logical[1].name = std::u16string(9 + more, u'V');
                }
            }
        }
    }
    ASSERT_TRUE(found);
    set.logical.back().counters.queue = 0xABCD'0000'1234ull;
    set.logical.back().name = u"Last" + std::u16string(set.logical.back().name.size() - 4, u'V');
    Serve(set);

    DirectRegistryAccess fresh;
    ASSERT_TRUE(fresh.Refresh());
    EXPECT_EQ(fresh.Snapshot().size, target);
    EXPECT_EQ(fresh.OfferedSize(), 131072u);
    EXPECT_EQ(fresh.GetCounterValue(kLogicalDiskObject, L"Last", kAvgDiskQueueLength, kPerfCounter100nsQueueLen),
              0xABCD'0000'1234ull);
}

// ---- The provider's Collect, called as Wine calls it ----

using CollectFunction = DWORD(WINAPI*)(LPWSTR, LPVOID*, LPDWORD, LPDWORD);

class ProviderCall : public ScriptedProvider {
protected:
    void SetUp() override
    {
        ScriptedProvider::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        library_ = LoadLibraryW(ProviderValue(L"Performance", kProviderLibraryValue).c_str());
        ASSERT_NE(library_, nullptr);
        collect_ = reinterpret_cast<CollectFunction>(
            reinterpret_cast<void*>(GetProcAddress(library_, "CollectQorvelDisks")));
        ASSERT_NE(collect_, nullptr);
        Serve("qorvel-disks 1\nphysical | 0 C: | 1400=4294967297\nlogical | C: | 1404=9\nend\n");
    }
    void TearDown() override
    {
        if (library_)
            FreeLibrary(library_);
        ScriptedProvider::TearDown();
    }

    // A caller's buffer of 8 KiB filled with 0xCD and a block header (88 bytes
    // and a 4-byte name: HeaderLength 96) whose objects end at TotalByteLength.
    std::vector<std::uint8_t> Caller(std::uint32_t total = 96)
    {
        std::vector<std::uint8_t> bytes(8192, 0xCD);
        perftest::Description empty;
        empty.systemName = u"WIN";
        const std::vector<std::uint8_t> block = perftest::Build(empty);
        std::memcpy(bytes.data(), block.data(), block.size());
        perftest::Put32(bytes, kBlockHeaderLength, 96);
        perftest::Put32(bytes, kBlockTotalByteLength, total);
        return bytes;
    }

    DWORD Collect(const wchar_t* query, std::uint8_t*& at, DWORD& size, DWORD& objects)
    {
        std::wstring text = query;
        void* pointer = at;
        const DWORD result = collect_(text.data(), &pointer, &size, &objects);
        at = static_cast<std::uint8_t*>(pointer);
        return result;
    }

    static bool Untouched(const std::vector<std::uint8_t>& bytes, std::size_t from)
    {
        for (std::size_t i = from; i < bytes.size(); ++i) {
            if (bytes[i] != 0xCD)
                return false;
        }
        return true;
    }

    HMODULE library_ = nullptr;
    CollectFunction collect_ = nullptr;
};

TEST_F(ProviderCall, WritesWhereTheLayoutSaysAndNeverPastTheBuffer)
{
    // As Wine calls the first provider: 88 bytes past HeaderLength, and the
    // size counted from HeaderLength.
    std::vector<std::uint8_t> bytes = Caller();
    std::uint8_t* at = bytes.data() + kBlockSize + 96;
    DWORD size = 4096 - 96;
    DWORD objects = 0;
    ASSERT_EQ(Collect(L"234 236", at, size, objects), static_cast<DWORD>(ERROR_SUCCESS));
    const DWORD needed = size;
    EXPECT_EQ(objects, 2u);
    EXPECT_EQ(at, bytes.data() + 96 + needed);
    EXPECT_EQ(perftest::Get32(bytes, 96 + kObjectNameTitleIndex), kPhysicalDiskObject);
    EXPECT_TRUE(Untouched(bytes, 96 + needed));

    // Exactly the room the caller's buffer has: the last byte is its last.
    bytes = Caller();
    at = bytes.data() + kBlockSize + 96;
    size = needed;
    ASSERT_EQ(Collect(L"234 236", at, size, objects), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(size, needed);
    EXPECT_TRUE(Untouched(bytes, 96 + needed));

    // One byte less: Wine's size would allow 87 more, the buffer does not.
    bytes = Caller();
    at = bytes.data() + kBlockSize + 96;
    size = needed - 1;
    EXPECT_EQ(Collect(L"234 236", at, size, objects), static_cast<DWORD>(ERROR_MORE_DATA));
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(objects, 0u);
    EXPECT_EQ(at, bytes.data() + kBlockSize + 96);
    EXPECT_TRUE(Untouched(bytes, 96));

    // A caller that follows the layout (an earlier provider answered 64 bytes).
    bytes = Caller(96 + 64);
    at = bytes.data() + 96 + 64;
    size = 4096;
    ASSERT_EQ(Collect(L"Global", at, size, objects), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(size, needed);
    EXPECT_EQ(perftest::Get32(bytes, 96 + 64 + kObjectNameTitleIndex), kPhysicalDiskObject);
    EXPECT_TRUE(Untouched(bytes, 96 + 64 + needed));
}

TEST_F(ProviderCall, AnswersOnlyTheObjectsAskedFor)
{
    std::vector<std::uint8_t> bytes = Caller();
    std::uint8_t* at = bytes.data() + kBlockSize + 96;
    DWORD size = 4096;
    DWORD objects = 0;
    ASSERT_EQ(Collect(L"236", at, size, objects), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(objects, 1u);
    EXPECT_EQ(perftest::Get32(bytes, 96 + kObjectNameTitleIndex), kLogicalDiskObject);
    EXPECT_EQ(perftest::Get32(bytes, 96 + kObjectTotalByteLength), size);

    bytes = Caller();
    at = bytes.data() + kBlockSize + 96;
    size = 4096;
    ASSERT_EQ(Collect(L"Costly", at, size, objects), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(objects, 0u);
    EXPECT_EQ(size, 0u);
    EXPECT_TRUE(Untouched(bytes, 96));
}

}  // namespace
