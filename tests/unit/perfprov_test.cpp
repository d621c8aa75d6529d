// The disk-counter provider in scripted mode, read through the real
// performance-data query of the test prefix: the program's reader and drive
// list must see exactly the disks and values the script lists, and the
// provider must write inside the caller's buffer only.
#include <gtest/gtest.h>

#include <algorithm>

#include "sources/registry_access.h"
#include "tests/support/perf_snapshot.h"
#include "tests/support/program_driver.h"
#include "tools/perfprov/disk_script.h"
#include "tools/perfprov/provider_key.h"

namespace {

using namespace perflayout;

class ScriptedProvider : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))
            GTEST_SKIP() << "the disk-counter provider serves Wine's performance-data query only";
        ASSERT_EQ(ProviderValue(kProviderServiceKey, kProviderModeValue), kProviderModeScripted)
            << "the disk-counter provider is not registered in scripted mode; scripts/test registers it";
    }
    void TearDown() override { ClearDisks(); }

    // The instance names of both objects, each followed by "|".
    std::wstring Names()
    {
        std::vector<std::wstring> names;
        access_.Refresh();
        access_.GetInstanceNames(kPhysicalDiskObject, names);
        access_.GetInstanceNames(kLogicalDiskObject, names);
        std::wstring text;
        for (const std::wstring& name : names)
            text += name + L"|";
        return text;
    }
    // The counters the program reads.
    DiskCounters Read(std::uint32_t object, const wchar_t* instance)
    {
        auto value = [&](std::uint32_t counter, std::uint32_t type) {
            const auto match = object == kPhysicalDiskObject ? perfwalk::Match::DiskNumber : perfwalk::Match::Whole;
            return access_.GetCounterValue(object, instance, match, counter, type);
        };
        constexpr std::uint32_t queue = kPerfCounter100nsQueueLen, count = kPerfCounterCounter, bulk = kPerfAverageBulk;
        return {value(kAvgDiskQueueLength, queue),
                value(kAvgDiskReadQueueLength, queue),
                value(kAvgDiskWriteQueueLength, queue),
                static_cast<std::uint32_t>(value(kDiskReadsPerSec, count)),
                static_cast<std::uint32_t>(value(kDiskWritesPerSec, count)),
                value(kAvgDiskBytesPerRead, bulk),
                value(kAvgDiskBytesPerWrite, bulk)};
    }

    DirectRegistryAccess access_;
};

TEST_F(ScriptedProvider, ServesExactlyTheScriptedDisksAndValuesAndTheNextSnapshotSeesAChangedFile)
{
    const DiskCounters d0{5'000'000'000'000, 0x1'0000'0001, 3, 4'000'000'000u, 17, 0xFFFF'FFFF'FFFF'FFF0, 1ull << 40};
    const DiskCounters d1{10, 20, 0x2'0000'0000, 1'000'000'000u, 5, 0x20, 512};
    const DiskCounters c{~0ull, 0, 0x7'0000'0000, 0, 0xFFFF'FFFFu, 0, 12'345'678'901'234ull};
    WriteDisks({{{u"0 C:", d0}, {u"1 D: E:", d1}}, {{u"C:", c}, {u"HarddiskVolume1", d1}}});
    EXPECT_EQ(Names(), L"0 C:|1 D: E:|_Total|C:|HarddiskVolume1|_Total|");
    EXPECT_EQ(Read(kPhysicalDiskObject, L"0"), d0);
    EXPECT_EQ(Read(kPhysicalDiskObject, L"1"), d1);
    EXPECT_EQ(Read(kLogicalDiskObject, L"C:"), c);
    // _Total sums each counter, wrapping as its size does (reads: 5,000,000,000 in 32 bits).
    EXPECT_EQ(Read(kPhysicalDiskObject, L"_Total"), (DiskCounters{5'000'000'000'010, 0x1'0000'0015, 0x2'0000'0003,
                                                                  705'032'704u, 22, 0x10, (1ull << 40) + 512}));
    ServeScript("qorvel-disks 1\nphysical | 0 C: | 1402=4294967396\nphysical | _Total | 1402=9\nend\n");
    EXPECT_EQ(Names(), L"0 C:|_Total|_Total|");
    EXPECT_EQ(Read(kPhysicalDiskObject, L"0").readQueue, 4294967396u);
    EXPECT_EQ(Read(kPhysicalDiskObject, L"_Total").readQueue, 9u);  // a scripted "_Total" replaces the sum
    ServeScript("qorvel-disks 1\nphysical | 0 C: |\n");             // cut short: no objects at all
    EXPECT_EQ(Names(), L"");
}

// Collect, called as Wine calls the first provider (a pointer 88 bytes past the
// place, the size counted from HeaderLength) and as the layout says, into a
// caller's buffer of 8 KiB filled with 0xCD whose block header (HeaderLength 96)
// says the objects before ours end at `total`.
TEST_F(ScriptedProvider, CollectWritesWhereTheLayoutSaysAndNeverPastTheBuffer)
{
    const HMODULE library = LoadLibraryW(ProviderValue(kProviderPerformanceKey, kProviderLibraryValue).c_str());
    ASSERT_NE(library, nullptr);
    const auto collect = reinterpret_cast<DWORD(WINAPI*)(LPWSTR, LPVOID*, LPDWORD, LPDWORD)>(
        reinterpret_cast<void*>(GetProcAddress(library, "CollectQorvelDisks")));
    const std::string script = "qorvel-disks 1\nphysical | 0 C: | 1400=4294967297\nlogical | C: | 1404=9\nend\n";
    ServeScript(script);
    DiskSet set;
    ASSERT_TRUE(ParseDiskScript(script, set));
    const auto both = static_cast<DWORD>(BuildDiskObjects(set, {true, true}, {}, nullptr).size());
    const auto logical = static_cast<DWORD>(BuildDiskObjects(set, {false, true}, {}, nullptr).size());
    // `first`: the first of the `count` objects written, 0 for none.
    struct Call {
        const wchar_t* query;
        DWORD room, total;
        bool asWine;
        DWORD result, size, count;
        std::uint32_t first;
    };
    const Call calls[] = {
        {L"234 236", 4096 - 96, 96, true, ERROR_SUCCESS, both, 2, kPhysicalDiskObject},
        {L"234 236", both, 96, true, ERROR_SUCCESS, both, 2, kPhysicalDiskObject},  // exactly the room there is
        {L"234 236", both - 1, 96, true, ERROR_MORE_DATA, 0, 0, 0},  // Wine's size would allow 87 bytes more
        {L"Global", 4096, 96 + 64, false, ERROR_SUCCESS, both, 2, kPhysicalDiskObject},  // after another's 64 bytes
        {L"236", 4096, 96, true, ERROR_SUCCESS, logical, 1, kLogicalDiskObject},
        {L"Costly", 4096, 96, true, ERROR_SUCCESS, 0, 0, 0},
    };
    for (const auto& c : calls) {
        std::vector<std::uint8_t> bytes(8192, 0xCD);
        const std::vector<std::uint8_t> block = perftest::Snapshot({}, 0, {false, false});
        std::copy(block.begin(), block.begin() + kBlockSize, bytes.begin());
        perftest::Put32(bytes, kBlockHeaderLength, 96);
        perftest::Put32(bytes, kBlockTotalByteLength, static_cast<std::uint32_t>(c.total));
        std::uint8_t* const given = bytes.data() + c.total + (c.asWine ? kBlockSize : 0);
        void* pointer = given;
        DWORD size = c.room, objects = 0;
        std::wstring query = c.query;
        EXPECT_EQ(collect(query.data(), &pointer, &size, &objects), c.result) << query;
        EXPECT_EQ(std::pair(size, objects), std::pair(c.size, c.count)) << query;
        EXPECT_EQ(pointer, c.size ? bytes.data() + c.total + c.size : given) << query;
        EXPECT_EQ(c.first ? perftest::Get32(bytes.data(), c.total + kObjectNameTitleIndex) : 0, c.first) << query;
        const std::ptrdiff_t untouched = c.size ? c.total + c.size : 96;  // from there to the end, as filled
        EXPECT_EQ(8192 - untouched, std::count(bytes.begin() + untouched, bytes.end(), 0xCD)) << query;
    }
    FreeLibrary(library);
}

}  // namespace
