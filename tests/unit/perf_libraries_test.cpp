// The performance libraries called in-process: the block laid out as the
// system lays it out, every kind of misbehaving library left out while the
// others answer, and the registered libraries answering what Wine's own query
// answers.
#include <gtest/gtest.h>

#include <windows.h>
#include <winperf.h>

#include <cstring>

#include "sources/perf_layout.h"
#include "sources/perf_libraries.h"
#include "tests/support/perf_snapshot.h"
#include "tests/support/program_driver.h"

namespace {

using namespace perflayout;

std::uint32_t At(const std::vector<std::uint8_t>& bytes, std::size_t offset)
{
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

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
    for (std::size_t at = At(bytes, kBlockHeaderLength); at + kObjectSize <= bytes.size(); at += At(bytes, at))
        titles.push_back(At(bytes, at + kObjectNameTitleIndex));
    return titles;
}

TEST(PerformanceLibraries, MisbehavingLibrariesAreLeftOutAndTheOthersAnswer)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring file(path);
    file.replace(file.rfind(L'\\') + 1, std::wstring::npos, L"bad_perf_library.dll");
    const auto library = [&](const char* open, const char* collect) {
        return RegisteredLibrary{file, open, collect, "CloseSound"};
    };
    PerformanceLibraries libraries;
    libraries.Load({library("OpenSound", "CollectFirst"),
                    {L"Z:\\nowhere\\missing.dll", "", "CollectFirst", ""},
                    {L"bad_perf_library.dll", "", "CollectFirst", ""},  // found beside the program, but not named whole
                    library("OpenSound", "NoSuchFunction"),
                    library("OpenFails", "CollectFirst"),
                    library("", "CollectError"),
                    library("", "CollectPastTheRoom"),
                    library("", "CollectPointerOutside"),
                    library("", "CollectBadObject"),
                    library("", "CollectRaises"),
                    library("", "CollectFaults"),
                    library("", "CollectPastTheSlack"),
                    library("", "CollectHandlesItsFault"),
                    library("OpenSound", "CollectSecond")});
    EXPECT_EQ(10u, libraries.InUse());
    // The exceptions and the write past the room at once, the others after three failures.
    for (const std::size_t inUse : {7u, 7u, 3u}) {
        const std::vector<std::uint8_t> bytes = Query(libraries, 4096);
        EXPECT_EQ((std::vector<std::uint32_t>{1001, 1003, 1002}), Titles(bytes));
        EXPECT_EQ(0, std::memcmp(bytes.data(), L"PERF", 8));
        EXPECT_EQ((std::vector<std::uint32_t>{1, 1, 1, static_cast<std::uint32_t>(bytes.size()), 3}),
                  (std::vector<std::uint32_t>{At(bytes, kBlockLittleEndian), At(bytes, kBlockVersion),
                                              At(bytes, kBlockRevision), At(bytes, kBlockTotalByteLength),
                                              At(bytes, kBlockNumObjectTypes)}));
        EXPECT_EQ(0u, At(bytes, kBlockHeaderLength) % 8);
        EXPECT_EQ(At(bytes, kBlockHeaderLength) + 3 * 64, bytes.size());
        EXPECT_EQ(inUse, libraries.InUse());
    }
    Query(libraries, 160, ERROR_MORE_DATA);  // room for the block and one object
    libraries.Release();
    EXPECT_FALSE(libraries.Active());
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
    ASSERT_EQ(At(wines, kBlockHeaderLength), At(ours, kBlockHeaderLength));
    ASSERT_EQ(2u, At(ours, kBlockNumObjectTypes));
    for (std::vector<std::uint8_t>* bytes : {&ours, &wines}) {
        const auto [physical, logical] = perftest::Objects(*bytes);
        for (const std::size_t object : {physical, logical})
            std::fill_n(bytes->begin() + object + kObjectPerfTime, 16, 0);  // PerfTime and PerfFreq
        bytes->erase(bytes->begin(), bytes->begin() + physical);            // the block's own time fields
    }
    EXPECT_EQ(wines, ours);
}

}  // namespace
