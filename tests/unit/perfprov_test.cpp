// The disk-counter provider in scripted mode, read through the real
// performance-data query of the test prefix: the program's reader and drive
// list must see exactly the disks and values the script lists.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "sources/drive_list.h"
#include "sources/perf_layout.h"
#include "sources/registry_access.h"
#include "tests/support/perf_snapshot.h"
#include "tests/support/provider_registration.h"
#include "tests/support/temp_folder.h"
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
    return {value(kAvgDiskQueueLength, kPerfCounter100nsQueueLen),
            value(kAvgDiskReadQueueLength, kPerfCounter100nsQueueLen),
            value(kAvgDiskWriteQueueLength, kPerfCounter100nsQueueLen),
            static_cast<std::uint32_t>(value(kDiskReadsPerSec, kPerfCounterCounter)),
            static_cast<std::uint32_t>(value(kDiskWritesPerSec, kPerfCounterCounter)),
            value(kAvgDiskBytesPerRead, kPerfAverageBulk),
            value(kAvgDiskBytesPerWrite, kPerfAverageBulk),
            static_cast<std::uint32_t>(value(198, 0x00010000))};  // current queue length, a raw count
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
        script_ = ProviderValue(nullptr, kProviderScriptFileValue);
        ASSERT_FALSE(script_.empty());
    }
    void TearDown() override { DeleteFileW(script_.c_str()); }

    // Replaces the script in one step, so that a query never reads half of it.
    void Serve(const std::string& text)
    {
        WriteBytes(script_ + L".new", text);
        ASSERT_TRUE(MoveFileExW((script_ + L".new").c_str(), script_.c_str(), MOVEFILE_REPLACE_EXISTING));
    }
    void Serve(const DiskSet& set) { Serve(FormatDiskScript(set)); }

    // The drive list as "devicePath label kind", one text per entry.
    std::vector<std::wstring> Enumerate()
    {
        IndicatorList list;
        EnumeratePhysicalDrives(access_, list);
        EnumerateLogicalDisks(access_, list);
        std::vector<std::wstring> entries;
        for (const IndicatorEntry& entry : list)
            entries.push_back(entry.devicePath + L" " + entry.label + L" " + std::to_wstring(entry.kind));
        return entries;
    }

    std::wstring script_;
    DirectRegistryAccess access_;
};

TEST_F(ScriptedProvider, ServesExactlyTheScriptedDisksAndTheNextSnapshotShowsAChangedFile)
{
    Serve("qorvel-disks 1\nphysical | 0 C: | 1402=1\nphysical | 1 D: E: | 1402=2\n"
          "logical | C: |\nlogical | D: |\nlogical | HarddiskVolume1 |\nlogical | E: |\nend\n");
    EXPECT_EQ(Enumerate(), (std::vector<std::wstring>{L"\\\\.\\PHYSICALDRIVE0 0 1", L"\\\\.\\PHYSICALDRIVE1 1 1",
                                                       L"_Total All 4", L"\\\\.\\C: C: 2", L"\\\\.\\D: D: 2",
                                                       L"\\\\.\\HarddiskVolume1 hd1 2", L"\\\\.\\E: E: 2"}));
    std::vector<std::wstring> names;
    access_.GetInstanceNames(kPhysicalDiskObject, names);
    access_.GetInstanceNames(kLogicalDiskObject, names);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"0 C:", L"1 D: E:", L"_Total", L"C:", L"D:", L"HarddiskVolume1",
                                                 L"E:", L"_Total"}));
    auto readQueue = [&](const wchar_t* instance) {
        return access_.GetCounterValue(kPhysicalDiskObject, instance, kAvgDiskReadQueueLength,
                                       kPerfCounter100nsQueueLen);
    };
    EXPECT_EQ(readQueue(L"1 "), 2u);

    Serve("qorvel-disks 1\nphysical | 0 C: | 1402=4294967396\nend\n");
    ASSERT_TRUE(access_.Refresh());
    EXPECT_EQ(readQueue(L"0 "), 4294967396u);
    EXPECT_EQ(readQueue(L"1 "), 0u);
    EXPECT_EQ(Enumerate(), (std::vector<std::wstring>{L"\\\\.\\PHYSICALDRIVE0 0 1", L"_Total All 4"}));
}

TEST_F(ScriptedProvider, ReadsEveryScriptedValue)
{
    const DiskCounters d0{5'000'000'000'000ull, 0x1'0000'0001ull, 3, 4'000'000'000u, 17,
                          0xFFFF'FFFF'FFFF'FFF0ull, 1ull << 40, 2};
    const DiskCounters d1{10, 20, 0x2'0000'0000ull, 1'000'000'000u, 5, 0x20, 512, 1};
    const DiskCounters c{~0ull, 0, 0x7'0000'0000ull, 0, 0xFFFF'FFFFu, 0, 12'345'678'901'234ull};
    DiskSet set;
    set.physical = {{u"0 C:", d0, -1}, {u"1 D:", d1, -1}};
    set.logical = {{u"C:", c, -1}, {u"D:", d1, -1}};
    Serve(set);
    ASSERT_TRUE(access_.Refresh());

    EXPECT_EQ(ReadCounters(access_, kPhysicalDiskObject, L"0 "), d0);
    EXPECT_EQ(ReadCounters(access_, kPhysicalDiskObject, L"1 "), d1);
    EXPECT_EQ(ReadCounters(access_, kLogicalDiskObject, L"C:"), c);
    // _Total sums each counter, wrapping as the counter's size does (reads:
    // 5,000,000,000 in 32 bits).
    EXPECT_EQ(ReadCounters(access_, kPhysicalDiskObject, L"_Total"),
              (DiskCounters{5'000'000'000'010ull, 0x1'0000'0015ull, 0x2'0000'0003ull, 705'032'704u, 22, 0x10,
                            (1ull << 40) + 512, 3}));
    // The neighbours: each average's base counts the requests.
    EXPECT_EQ(access_.GetCounterValue(kPhysicalDiskObject, L"0 ", kAvgDiskBytesPerRead, kPerfAverageBase),
              4'000'000'000u);
    EXPECT_EQ(access_.GetCounterValue(kLogicalDiskObject, L"C:", kAvgDiskBytesPerWrite, kPerfAverageBase),
              0xFFFF'FFFFu);
}

TEST_F(ScriptedProvider, AMissingOrDamagedFileServesNoDisks)
{
    const std::vector<std::string> damaged = {
        "",                                                         // the file is missing
        std::string("\x00\xFF\x7F garbage", 12),
        "qorvel-disks 1\nphysical | 0 C: |\nlogical | C: |\n",      // cut short
        "qorvel-disks 1\nphysical | 0 C: | 214=4294967296\nend\n",  // too large for the counter
    };
    for (const std::string& text : damaged) {
        SCOPED_TRACE(text);
        Serve("qorvel-disks 1\nphysical | 0 C: |\nlogical | C: |\nend\n");
        ASSERT_EQ(Enumerate().size(), 3u);
        if (text.empty())
            ASSERT_TRUE(DeleteFileW(script_.c_str()));
        else
            Serve(text);
        EXPECT_EQ(Enumerate(), std::vector<std::wstring>{L"_Total All 4"});
        EXPECT_EQ(access_.GetInstanceCount(kPhysicalDiskObject), 0) << "no objects at all";
        EXPECT_EQ(access_.GetInstanceCount(kLogicalDiskObject), 0);
    }
}

TEST_F(ScriptedProvider, ASnapshotLargerThan64KiBIsReadWhole)
{
    // 300 physical disks "i HarddiskVolumei" and their volumes, each counter
    // telling the disk apart.
    DiskSet set;
    for (int i = 0; i < 300; ++i) {
        const std::string volume = "HarddiskVolume" + std::to_string(i), physical = std::to_string(i) + " " + volume;
        const DiskCounters c{(1ull << 40) + i, 0, 0, 0, 0, 0, std::uint64_t(i) << 33};
        set.physical.push_back({std::u16string(physical.begin(), physical.end()), c, -1});
        set.logical.push_back({std::u16string(volume.begin(), volume.end()), c, -1});
    }
    Serve(set);
    const std::vector<std::wstring> list = Enumerate();
    const perfwalk::Snapshot snapshot = access_.Snapshot();
    ASSERT_GT(snapshot.size, 65536u);
    // The reader offered 65,536 bytes, was told ERROR_MORE_DATA and grew once.
    EXPECT_EQ(access_.OfferedSize(), 131072u);
    EXPECT_EQ(perftest::Get32({snapshot.data, snapshot.data + kBlockSize}, kBlockTotalByteLength), snapshot.size);
    ASSERT_EQ(list.size(), 601u);
    EXPECT_EQ(list[600], L"\\\\.\\HarddiskVolume299 hd299 2");
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
    Serve(DiskSet{});
    ASSERT_TRUE(access_.Refresh());
    const perfwalk::Snapshot first = access_.Snapshot();
    ASSERT_GE(first.size, kBlockSize);
    const std::size_t header = perftest::Get32({first.data, first.data + kBlockSize}, kBlockHeaderLength);

    // Volumes until one more would pass 65,544 bytes, then longer names (4
    // characters more take 8 bytes more) to reach it exactly.
    const std::size_t target = 65536 + 8;
    DiskSet set;
    auto answer = [&] {
        std::uint32_t objects = 0;
        return header + BuildDiskObjects(set, {true, true}, {}, &objects).size();
    };
    do
        set.logical.push_back({u"V", {}, -1});
    while (answer() <= target);
    set.logical.pop_back();
    for (std::size_t i = 0; answer() < target; ++i)
        set.logical[i].name += u"VVVV";
    ASSERT_EQ(answer(), target);
    set.logical.back() = {u"L", {0xABCD'0000'1234ull}, -1};
    Serve(set);

    DirectRegistryAccess fresh;
    ASSERT_TRUE(fresh.Refresh());
    EXPECT_EQ(fresh.Snapshot().size, target);
    EXPECT_EQ(fresh.OfferedSize(), 131072u);
    EXPECT_EQ(fresh.GetCounterValue(kLogicalDiskObject, L"L", kAvgDiskQueueLength, kPerfCounter100nsQueueLen),
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

    struct Call {
        std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(8192, 0xCD);
        std::uint8_t* at = nullptr;
        DWORD size = 0, objects = 0, result = 0;
        bool UntouchedFrom(std::size_t from) const
        {
            return std::all_of(bytes.begin() + from, bytes.end(), [](std::uint8_t b) { return b == 0xCD; });
        }
    };
    // Collect into a caller's buffer of 8 KiB filled with 0xCD with a block
    // header (88 bytes and a 4-byte name: HeaderLength 96) whose objects end
    // at total. Wine hands the provider a pointer 88 bytes past that end.
    Call Collect(const wchar_t* query, DWORD size, std::uint32_t total, bool asWine)
    {
        Call call;
        perftest::Description empty;
        empty.systemName = u"WIN";
        const std::vector<std::uint8_t> block = perftest::Build(empty);
        std::memcpy(call.bytes.data(), block.data(), block.size());
        perftest::Put32(call.bytes, kBlockHeaderLength, 96);
        perftest::Put32(call.bytes, kBlockTotalByteLength, total);
        std::wstring text = query;
        void* pointer = call.bytes.data() + total + (asWine ? kBlockSize : 0);
        call.size = size;
        call.result = collect_(text.data(), &pointer, &call.size, &call.objects);
        call.at = static_cast<std::uint8_t*>(pointer);
        return call;
    }

    HMODULE library_ = nullptr;
    CollectFunction collect_ = nullptr;
};

TEST_F(ProviderCall, WritesTheObjectsAskedForWhereTheLayoutSaysAndNeverPastTheBuffer)
{
    // As Wine calls the first provider, the size counted from HeaderLength.
    const Call wine = Collect(L"234 236", 4096 - 96, 96, true);
    ASSERT_EQ(wine.result, static_cast<DWORD>(ERROR_SUCCESS));
    const DWORD needed = wine.size;
    EXPECT_EQ(wine.objects, 2u);
    EXPECT_EQ(wine.at, wine.bytes.data() + 96 + needed);
    EXPECT_EQ(perftest::Get32(wine.bytes, 96 + kObjectNameTitleIndex), kPhysicalDiskObject);
    EXPECT_TRUE(wine.UntouchedFrom(96 + needed));

    // Exactly the room the caller's buffer has: the last byte is its last.
    const Call exact = Collect(L"234 236", needed, 96, true);
    EXPECT_EQ(exact.result, static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(exact.size, needed);
    EXPECT_TRUE(exact.UntouchedFrom(96 + needed));

    // One byte less: Wine's size would allow 87 more, the buffer does not.
    const Call tight = Collect(L"234 236", needed - 1, 96, true);
    EXPECT_EQ(tight.result, static_cast<DWORD>(ERROR_MORE_DATA));
    EXPECT_EQ(tight.size, 0u);
    EXPECT_EQ(tight.objects, 0u);
    EXPECT_EQ(tight.at, tight.bytes.data() + kBlockSize + 96);
    EXPECT_TRUE(tight.UntouchedFrom(96));

    // A caller that follows the layout (an earlier provider answered 64 bytes).
    const Call layout = Collect(L"Global", 4096, 96 + 64, false);
    ASSERT_EQ(layout.result, static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(layout.size, needed);
    EXPECT_EQ(perftest::Get32(layout.bytes, 96 + 64 + kObjectNameTitleIndex), kPhysicalDiskObject);
    EXPECT_TRUE(layout.UntouchedFrom(96 + 64 + needed));

    // Only the objects asked for.
    const Call logical = Collect(L"236", 4096, 96, true);
    EXPECT_EQ(logical.objects, 1u);
    EXPECT_EQ(perftest::Get32(logical.bytes, 96 + kObjectNameTitleIndex), kLogicalDiskObject);
    EXPECT_EQ(perftest::Get32(logical.bytes, 96 + kObjectTotalByteLength), logical.size);
    const Call none = Collect(L"Costly", 4096, 96, true);
    EXPECT_EQ(none.result, static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(none.objects, 0u);
    EXPECT_EQ(none.size, 0u);
    EXPECT_TRUE(none.UntouchedFrom(96));
}

}  // namespace
