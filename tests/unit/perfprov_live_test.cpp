// The disk-counter provider in live mode: the Linux machine's real disks. A
// file written to C: and flushed to the disk must show in C:'s counters.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/win_handles.h"
#include "sources/perf_layout.h"
#include "sources/registry_access.h"
#include "tests/support/provider_registration.h"
#include "tools/perfprov/linux_disks.h"
#include "tools/perfprov/provider_key.h"

namespace {

using namespace perflayout;

std::string Utf8(const std::wstring& text)
{
    std::string out(text.size() * 3 + 1, '\0');
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), static_cast<int>(out.size()),
                                         nullptr, nullptr);
    out.resize(size > 0 ? static_cast<std::size_t>(size) - 1 : 0);
    return out;
}

std::string ReadText(const wchar_t* path)
{
    std::string text;
    UniqueHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    char chunk[4096];
    DWORD got = 0;
    while (file && ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr) && got > 0)
        text.append(chunk, got);
    return text;
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Why C: cannot be served in live mode, or empty when it can: its filesystem
// must lie on a block device that the kernel keeps statistics for.
std::string WhyCIsUnmapped(const std::wstring& directory)
{
    const std::vector<MountEntry> mounts = ParseMountInfo(ReadText(L"Z:\\proc\\self\\mountinfo"));
    const MountEntry* mount = FindMount(mounts, Utf8(directory));
    if (!mount)
        return "no mount in /proc/self/mountinfo holds " + Utf8(directory);
    const std::wstring number = std::to_wstring(mount->major) + L":" + std::to_wstring(mount->minor);
    if (mount->major != 0 && Exists(L"Z:\\sys\\dev\\block\\" + number))
        return {};
    const std::size_t slash = mount->source.rfind('/');
    if (mount->source.rfind("/dev/", 0) == 0 &&
        Exists(L"Z:\\sys\\class\\block\\" + std::wstring(mount->source.begin() + slash + 1, mount->source.end())))
        return {};
    return "C: (" + Utf8(directory) + ") lies on " + mount->mountPoint + ", a filesystem without a block device (" +
           mount->source + ")";
}

// An 8 MiB file on C:, removed again at the end.
class ScratchFile {
public:
    static constexpr DWORD kBytes = 8u << 20;
    ScratchFile() : path_(L"C:\\qorvel-live-test.bin") {}
    ~ScratchFile() { DeleteFileW(path_.c_str()); }

    // Writes data that no filesystem can compress, then waits until the disk has it.
    bool WriteThrough()
    {
        UniqueHandle file(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr));
        if (!file)
            return false;
        std::vector<std::uint32_t> chunk(1u << 18);
        std::uint32_t seed = GetTickCount();
        for (DWORD done = 0; done < kBytes; done += static_cast<DWORD>(chunk.size() * 4)) {
            for (std::uint32_t& word : chunk)
                word = seed = seed * 1664525u + 1013904223u;
            DWORD written = 0;
            if (!WriteFile(file.Get(), chunk.data(), static_cast<DWORD>(chunk.size() * 4), &written, nullptr))
                return false;
        }
        return FlushFileBuffers(file.Get()) != 0;
    }

private:
    std::wstring path_;
};

struct CWrites {
    std::uint64_t queue = 0;
    std::uint64_t writeQueue = 0;
    std::uint64_t bytesWritten = 0;
};

CWrites ReadC(DirectRegistryAccess& access)
{
    CWrites c;
    c.queue = access.GetCounterValue(kLogicalDiskObject, L"C:", kAvgDiskQueueLength, kPerfCounter100nsQueueLen);
    c.writeQueue =
        access.GetCounterValue(kLogicalDiskObject, L"C:", kAvgDiskWriteQueueLength, kPerfCounter100nsQueueLen);
    c.bytesWritten = access.GetCounterValue(kLogicalDiskObject, L"C:", kAvgDiskBytesPerWrite, kPerfAverageBulk);
    return c;
}

TEST(LiveProvider, AWriteToCGrowsItsQueueCountersWithinASecond)
{
    if (!RunningUnderWine())
        GTEST_SKIP() << "the disk-counter provider serves Wine's performance-data query only";
    if (!Exists(L"Z:\\proc\\diskstats"))
        GTEST_SKIP() << "/proc/diskstats is absent (not Linux, or no /proc): live mode has no disks to serve";
    ASSERT_TRUE(ProviderRegistered())
        << "the disk-counter provider is not registered in this prefix; scripts/test registers it";
    const std::wstring directory = ProviderValue(L"Drives", L"C:");
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
    const CWrites before = ReadC(access);

    ScratchFile file;
    ASSERT_TRUE(file.WriteThrough());
    const ULONGLONG flushed = GetTickCount64();
    CWrites after;
    do {
        ASSERT_TRUE(access.Refresh());
        after = ReadC(access);
        if (after.queue > before.queue && after.writeQueue > before.writeQueue &&
            after.bytesWritten >= before.bytesWritten + ScratchFile::kBytes)
            break;
        Sleep(20);
    } while (GetTickCount64() - flushed < 1000);

    EXPECT_GT(after.writeQueue, before.writeQueue) << "1404, time spent writing";
    EXPECT_GT(after.queue, before.queue) << "1400, weighted I/O time";
    EXPECT_GE(after.bytesWritten, before.bytesWritten + ScratchFile::kBytes) << "228, bytes written";
}

}  // namespace
