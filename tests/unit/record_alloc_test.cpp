// Sampling allocates nothing once it has warmed up: every heap allocation of
// the program is counted here while records sample hundreds of times.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstring>
#include <cstdlib>
#include <new>

#include "sources/counter_source.h"
#include "sources/disk_source.h"
#include "sources/perf_layout.h"
#include "sources/registry_access.h"
#include "sources/source_system.h"
#include "tests/support/perf_snapshot.h"

namespace {
std::atomic<long> g_allocations{0};
}

void* operator new(std::size_t size)
{
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    ++g_allocations;
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept
{
    return operator new(size, tag);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

using namespace perflayout;

// Answers two snapshots in turn without allocating.
class AlternatingSystem : public SourceSystem {
public:
    std::vector<std::uint8_t> snapshots[2];
    int turn = 0;
    DISK_PERFORMANCE statistics{};

    LONG QueryPerformanceData(std::uint8_t* buffer, DWORD* size) override
    {
        const auto& data = snapshots[turn++ % 2];
        if (data.size() > *size)
            return ERROR_MORE_DATA;
        std::memcpy(buffer, data.data(), data.size());
        *size = static_cast<DWORD>(data.size());
        return ERROR_SUCCESS;
    }
    bool ReadDisablePerformanceCounters(DWORD*) override { return false; }
    HANDLE OpenDevice(const std::wstring&) override { return reinterpret_cast<HANDLE>(1); }
    bool QueryDiskPerformance(HANDLE, DISK_PERFORMANCE* out) override
    {
        statistics.ReadCount += 3;
        statistics.QueueDepth ^= 1;
        *out = statistics;
        return true;
    }
    void CloseDevice(HANDLE) override {}
};

std::vector<std::uint8_t> Snapshot(std::uint64_t time, std::uint64_t step)
{
    perftest::Description d;
    d.perfTime100nSec = time;
    perftest::Object physical{kPhysicalDiskObject, perftest::DiskCounters(), {}};
    for (const char16_t* name : {u"0 C:", u"1 D:", u"_Total"})
        physical.instances.push_back({name, perftest::DiskCounterValues({.queue = step, .readQueue = step * 3,
                                                                          .writeQueue = step, .reads = 1})});
    d.objects.push_back(physical);
    return perftest::Build(d);
}

TEST(SamplingAllocations, NoneAfterTheFirstSample)
{
    AlternatingSystem system;
    ScopedSourceSystem scope(system);
    system.snapshots[0] = Snapshot(10'000'000, 1);
    system.snapshots[1] = Snapshot(25'000'000, 2);

    IndicatorList list;
    list.push_back({L"\\\\.\\PHYSICALDRIVE0", L"Physical Drive 0", L"0", nullptr, L"", L"", L"", kKindPhysicalDrive});
    list.push_back({L"\\\\.\\PHYSICALDRIVE1", L"Physical Drive 1", L"1", nullptr, L"", L"", L"", kKindPhysicalDrive});
    list.push_back({L"_Total", L"All-In-One", L"All", nullptr, L"", L"", L"", kKindAllInOne});

    DirectRegistryAccess access;
    CRegistryAccessIndicator counter(access);
    counter.entry = &list[0];
    counter.Open();
    CHardDiskIndicatorInfo disk;
    disk.entry = &list[1];
    disk.Open();
    CAllInOneIndicatorInfo all(list);
    all.entry = &list[2];
    all.Open();

    auto tick = [&] {
        access.Refresh();
        return counter.Sample() | disk.Sample() | all.Sample();
    };
    tick();  // warm-up: the snapshot buffers are made here
    tick();
    const long before = g_allocations.load();
    std::uint32_t any = 0;
    for (int i = 0; i < 300; ++i)
        any |= tick();
    const long during = g_allocations.load() - before;
    EXPECT_EQ(during, 0);
    EXPECT_NE(any, 0u);  // the records really sampled something
}

}  // namespace
