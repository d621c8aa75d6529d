// The performance libraries called in-process: the block laid out as the
// system lays it out, every kind of misbehaving library left out while the
// others answer, and the registered libraries answering what Wine's own query
// answers; the disk-counter provider writing where Wine's caller and the
// in-process caller say, and never past the buffer.
#include <gtest/gtest.h>

#include <windows.h>
#include <winperf.h>

#include <algorithm>
#include <cstring>

#include "sources/perf_layout.h"
#include "sources/perf_libraries.h"
#include "tests/support/perf_snapshot.h"
#include "tests/support/program_driver.h"
#include "tools/perfprov/disk_objects.h"
#include "tools/perfprov/disk_script.h"
#include "tools/perfprov/provider_key.h"

namespace {

using namespace perflayout;
using perftest::Get32;

// The answer to a query of a buffer of `room` bytes and 128 of slack, cut to
// the size answered.
std::vector<std::uint8_t> Query(PerformanceLibraries& libraries, DWORD room, LONG expected = ERROR_SUCCESS)
{
    std::vector<std::uint8_t> bytes(room + 128);
    DWORD size = room;
    EXPECT_EQ(expected, libraries.Query(L"234 236", bytes.data(), &size, 128));
    bytes.resize(size);
    return bytes;
}

// The title indexes of the objects after the block.
std::vector<std::uint32_t> Titles(const std::vector<std::uint8_t>& bytes)
{
    std::vector<std::uint32_t> titles;
    for (std::size_t at = Get32(bytes, kBlockHeaderLength); at + kObjectSize <= bytes.size(); at += Get32(bytes, at))
        titles.push_back(Get32(bytes, at + kObjectNameTitleIndex));
    return titles;
}

// The test library beside the program, with an Open and a Collect of its own and Close counting.
RegisteredLibrary TestLibrary(const char* open, const char* collect)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring file(path);
    file.replace(file.rfind(L'\\') + 1, std::wstring::npos, L"bad_perf_library.dll");
    return RegisteredLibrary{file, open, collect, "CloseSound"};
}

TEST(PerformanceLibraries, MisbehavingLibrariesAreLeftOutAndTheOthersAnswer)
{
    SetEnvironmentVariableW(L"QORVEL_TEST_CLOSES", L"0");
    PerformanceLibraries libraries;
    libraries.Load({TestLibrary("OpenSound", "CollectFirst"),
                    {L"Z:\\nowhere\\missing.dll", "", "CollectFirst", ""},
                    {L"bad_perf_library.dll", "", "CollectFirst", ""},  // found beside the program, but not named whole
                    TestLibrary("OpenSound", "NoSuchFunction"),
                    TestLibrary("OpenFails", "CollectFirst"),
                    TestLibrary("", "CollectError"),
                    TestLibrary("", "CollectPastTheRoom"),
                    TestLibrary("", "CollectPointerOutside"),
                    TestLibrary("", "CollectBadObject"),
                    TestLibrary("", "CollectRaises"),
                    TestLibrary("", "CollectFaults"),
                    TestLibrary("", "CollectPastTheSlack"),
                    TestLibrary("", "CollectHandlesItsFault"),
                    TestLibrary("", "CollectFirst"),
                    TestLibrary("", "CollectEveryOther")});
    EXPECT_EQ(11u, libraries.InUse());
    // The exceptions and the write past the room at once, the others after
    // three failures in a row: one that fails every other time stays.
    const std::size_t inUse[] = {8, 8, 4, 4, 4, 4};
    for (int query = 0; query < 6; ++query) {
        const std::vector<std::uint8_t> bytes = Query(libraries, 4096);
        const bool everyOther = query % 2 == 1;  // the second query, the fourth, the sixth
        EXPECT_EQ(inUse[query], libraries.InUse()) << query;
        const std::vector<std::uint32_t> titles = everyOther ? std::vector<std::uint32_t>{1001, 1003, 1001, 1004}
                                                             : std::vector<std::uint32_t>{1001, 1003, 1001};
        EXPECT_EQ(titles, Titles(bytes)) << query;
        EXPECT_EQ(Get32(bytes, kBlockTotalByteLength), bytes.size());
        EXPECT_EQ(Get32(bytes, kBlockNumObjectTypes), everyOther ? 4u : 3u);
        EXPECT_EQ(0u, Get32(bytes, kBlockHeaderLength) % 8);
    }
    Query(libraries, 160, ERROR_MORE_DATA);  // room for the block and one object
    libraries.Release();
    EXPECT_FALSE(libraries.Active());
    // Close for each library that did not fault or write past its room, and
    // every library freed.
    wchar_t closes[16] = {};
    GetEnvironmentVariableW(L"QORVEL_TEST_CLOSES", closes, 16);
    EXPECT_STREQ(L"8", closes);
    EXPECT_EQ(nullptr, GetModuleHandleW(L"bad_perf_library.dll"));
}

// A library that asks for more room than any answer needs is, at that room,
// a failure like any other: it is left out, and the others answer.
TEST(PerformanceLibraries, ALibraryThatAlwaysAsksForMoreRoomIsLeftOut)
{
    PerformanceLibraries libraries;
    libraries.Load({TestLibrary("", "CollectFirst"), TestLibrary("", "CollectAlwaysMore")});
    Query(libraries, 4096, ERROR_MORE_DATA);
    for (int query = 0; query < 3; ++query)
        EXPECT_EQ((std::vector<std::uint32_t>{1001}), Titles(Query(libraries, (4u << 20) + 4096)));
    EXPECT_EQ(1u, libraries.InUse());
}

// The registered libraries in-process answer the objects of Wine's query over
// the same scripted disks, byte for byte but for the objects' time fields.
TEST(PerformanceLibraries, InProcessTheRegisteredLibrariesAnswerWhatWinesQueryAnswers)
{
    WriteDisks({{{u"0 C:", {5, 6, 7, 8, 9, 10, 11}}, {u"1 D:", {1}}}, {{u"C:", {2, 3}}, {u"D:", {4}}}});
    PerformanceLibraries libraries;
    libraries.Load(RegisteredPerformanceLibraries());
    std::vector<std::uint8_t> ours = Query(libraries, 1 << 20), wines(1 << 20);
    DWORD size = static_cast<DWORD>(wines.size());
    ASSERT_EQ(ERROR_SUCCESS,
              RegQueryValueExW(HKEY_PERFORMANCE_DATA, L"234 236", nullptr, nullptr, wines.data(), &size));
    wines.resize(size);
    ClearDisks();
    ASSERT_EQ(Get32(wines, kBlockHeaderLength), Get32(ours, kBlockHeaderLength));
    ASSERT_EQ(2u, Get32(ours, kBlockNumObjectTypes));
    for (std::vector<std::uint8_t>* bytes : {&ours, &wines}) {
        const auto [physical, logical] = perftest::Objects(*bytes);
        for (const std::size_t object : {physical, logical})
            std::fill_n(bytes->begin() + object + kObjectPerfTime, 16, 0);  // PerfTime and PerfFreq
        bytes->erase(bytes->begin(), bytes->begin() + physical);            // the block's own time fields
    }
    EXPECT_EQ(wines, ours);
}

// Collect, called as Wine calls the first provider (a pointer 88 bytes past the
// place, the size counted from HeaderLength) and as the layout says, into a
// caller's buffer of 8 KiB filled with 0xCD whose block header (HeaderLength 96)
// says the objects before ours end at `total`.
TEST(ScriptedProvider, CollectWritesWhereTheLayoutSaysAndNeverPastTheBuffer)
{
    const HMODULE library = LoadLibraryW(ProviderValue(kProviderPerformanceKey, kProviderLibraryValue).c_str());
    ASSERT_NE(library, nullptr);
    const auto collect = reinterpret_cast<DWORD(WINAPI*)(LPWSTR, LPVOID*, LPDWORD, LPDWORD)>(
        reinterpret_cast<void*>(GetProcAddress(library, "CollectQorvelDisks")));
    const std::string script = "qorvel-disks 1\nphysical | 0 C: | 1400=4294967297\nlogical | C: | 1404=9\nend\n";
    ServeScript(script);  // the provider reads its script at every call
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
        EXPECT_EQ(c.first ? Get32(bytes, c.total + kObjectNameTitleIndex) : 0, c.first) << query;
        const std::ptrdiff_t untouched = c.size ? c.total + c.size : 96;  // from there to the end, as filled
        EXPECT_EQ(8192 - untouched, std::count(bytes.begin() + untouched, bytes.end(), 0xCD)) << query;
    }
    FreeLibrary(library);
    ClearDisks();
}

}  // namespace
