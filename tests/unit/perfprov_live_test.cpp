// The disk-counter provider in live mode: the Linux machine's real disks. A
// file written to C: and flushed to the disk must show in C:'s counters.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/utf8.h"
#include "common/win_handles.h"
#include "sources/perf_layout.h"
#include "sources/registry_access.h"
#include "tests/support/provider_registration.h"
#include "tests/support/temp_folder.h"
#include "tools/perfprov/linux_disks.h"
#include "tools/perfprov/provider_key.h"

namespace {

using namespace perflayout;

// Why C: cannot be served in live mode, or empty when it can: its filesystem
// must lie on a block device that the kernel keeps statistics for.
std::string WhyCIsUnmapped(const std::string& directory)
{
    const std::vector<MountEntry> mounts =
        ParseMountInfo(ReadBytes(L"Z:\\proc\\self\\mountinfo").value_or(std::string()));
    const MountEntry* mount = FindMount(mounts, directory);
    if (!mount)
        return "no mount in /proc/self/mountinfo holds " + directory;
    const std::wstring number = std::to_wstring(mount->major) + L":" + std::to_wstring(mount->minor);
    if (mount->major != 0 && Exists(L"Z:\\sys\\dev\\block\\" + number))
        return {};
    const std::string device = mount->source.substr(mount->source.rfind('/') + 1);
    if (mount->source.rfind("/dev/", 0) == 0 &&
        Exists(L"Z:\\sys\\class\\block\\" + std::wstring(device.begin(), device.end())))
        return {};
    return "C: (" + directory + ") lies on " + mount->mountPoint + ", a filesystem without a block device (" +
           mount->source + ")";
}

// Writes 8 MiB that no filesystem can compress, then waits until the disk has it.
constexpr wchar_t kPath[] = L"C:\\qorvel-live-test.bin";
constexpr DWORD kBytes = 8u << 20;
bool WriteThrough(const wchar_t* path)
{
    UniqueHandle file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr));
    std::vector<std::uint32_t> chunk(1u << 18);
    std::uint32_t seed = GetTickCount();
    for (DWORD done = 0; file && done < kBytes; done += static_cast<DWORD>(chunk.size() * 4)) {
        for (std::uint32_t& word : chunk)
            word = seed = seed * 1664525u + 1013904223u;
        DWORD written = 0;
        if (!WriteFile(file.Get(), chunk.data(), static_cast<DWORD>(chunk.size() * 4), &written, nullptr))
            return false;
    }
    return file && FlushFileBuffers(file.Get()) != 0;
}

TEST(LiveProvider, AWriteToCGrowsItsQueueCountersWithinASecond)
{
    if (!RunningUnderWine())
        GTEST_SKIP() << "the disk-counter provider serves Wine's performance-data query only";
    if (!Exists(L"Z:\\proc\\diskstats"))
        GTEST_SKIP() << "/proc/diskstats is absent (not Linux, or no /proc): live mode has no disks to serve";
    ASSERT_TRUE(ProviderRegistered())
        << "the disk-counter provider is not registered in this prefix; scripts/test registers it";
    const std::string directory = ToUtf8(ProviderValue(L"Drives", L"C:"));
    ASSERT_FALSE(directory.empty()) << "the registration names no Linux directory for C:";
    const std::string why = WhyCIsUnmapped(directory);
    if (!why.empty())
        GTEST_SKIP() << why << "; live mode leaves such a drive out";

    ProviderModeScope live(kProviderModeLive);
    DirectRegistryAccess access;
    ASSERT_TRUE(access.Refresh());
    std::vector<std::wstring> names;
    access.GetInstanceNames(kLogicalDiskObject, names);
    ASSERT_NE(std::find(names.begin(), names.end(), L"C:"), names.end()) << "C: is not a LogicalDisk instance";
    // 1400 weighted I/O time, 1404 time spent writing, 228 bytes written.
    auto readC = [&] {
        return std::vector<std::uint64_t>{
            access.GetCounterValue(kLogicalDiskObject, L"C:", kAvgDiskQueueLength, kPerfCounter100nsQueueLen),
            access.GetCounterValue(kLogicalDiskObject, L"C:", kAvgDiskWriteQueueLength, kPerfCounter100nsQueueLen),
            access.GetCounterValue(kLogicalDiskObject, L"C:", kAvgDiskBytesPerWrite, kPerfAverageBulk)};
    };
    const std::vector<std::uint64_t> before = readC();

    struct Remove {
        ~Remove() { DeleteFileW(kPath); }
    } remove;
    ASSERT_TRUE(WriteThrough(kPath));
    const ULONGLONG flushed = GetTickCount64();
    std::vector<std::uint64_t> after;
    do {
        ASSERT_TRUE(access.Refresh());
        after = readC();
        if (after[0] > before[0] && after[1] > before[1] && after[2] >= before[2] + kBytes)
            break;
        Sleep(20);
    } while (GetTickCount64() - flushed < 1000);

    EXPECT_GT(after[0], before[0]) << "1400, weighted I/O time";
    EXPECT_GT(after[1], before[1]) << "1404, time spent writing";
    EXPECT_GE(after[2], before[2] + kBytes) << "228, bytes written";
}

}  // namespace
