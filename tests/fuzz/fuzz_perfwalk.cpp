// libFuzzer target: every lookup of the performance-data walk over any bytes.
// The walk must end and stay inside the data; the sanitizers report the rest.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sources/perf_layout.h"
#include "sources/perf_walk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace perflayout;
    // Copy into a buffer of exactly the input's size so any read past it is caught.
    const std::vector<std::uint8_t> bytes(data, data + size);
    const perfwalk::Snapshot snapshot{bytes.data(), bytes.size()};
    perfwalk::PerfTime100nSec(snapshot);
    for (std::uint32_t object : {kPhysicalDiskObject, kLogicalDiskObject}) {
        const std::int32_t count = perfwalk::InstanceCount(snapshot, object);
        std::vector<std::wstring> names;
        const std::int32_t named = perfwalk::InstanceNames(snapshot, object, names);
        if (named != count || (count > 1 && names.size() != static_cast<std::size_t>(count)))
            __builtin_trap();
        for (const wchar_t* prefix : {L"", L"0 ", L"C:", L"_Total"}) {
            for (std::uint32_t counter : {kAvgDiskQueueLength, kAvgDiskReadQueueLength, kDiskReadsPerSec,
                                          kAvgDiskBytesPerRead}) {
                perfwalk::CounterValue(snapshot, object, prefix, counter, kPerfCounter100nsQueueLen);
                perfwalk::CounterValue(snapshot, object, prefix, counter, kPerfCounterCounter);
                perfwalk::CounterValue(snapshot, object, prefix, counter, kPerfAverageBulk);
            }
        }
        if (!names.empty())
            perfwalk::CounterValue(snapshot, object, names.back(), kAvgDiskQueueLength, kPerfCounter100nsQueueLen);
    }
    return 0;
}
