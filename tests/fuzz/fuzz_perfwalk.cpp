// libFuzzer target: every lookup of the performance-data walk over any bytes.
// The walk must end and stay inside the data; the sanitizers report the rest.
#include <cstdint>
#include <vector>

#include "sources/perf_layout.h"
#include "sources/perf_walk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace perflayout;
    const std::vector<std::uint8_t> bytes(data, data + size);  // exactly the input's size: a read past it is caught
    const perfwalk::Snapshot snapshot{bytes.data(), bytes.size()};
    perfwalk::PerfTime100nSec(snapshot);
    for (std::uint32_t object : {kPhysicalDiskObject, kLogicalDiskObject}) {
        std::vector<std::wstring> names{L"", L"0", L"_Total"};
        const std::int32_t count = perfwalk::InstanceNames(snapshot, object, names);
        if (count != perfwalk::InstanceCount(snapshot, object) ||
            (count > 1 && names.size() != 3 + static_cast<std::size_t>(count)))
            __builtin_trap();
        for (const std::wstring& name : names)
            for (std::uint32_t type : {kPerfCounter100nsQueueLen, kPerfCounterCounter, kPerfAverageBulk})
                for (std::uint32_t counter : {kAvgDiskQueueLength, kDiskReadsPerSec, kAvgDiskBytesPerRead})
                    for (perfwalk::Match match : {perfwalk::Match::Whole, perfwalk::Match::DiskNumber})
                        perfwalk::CounterValue(snapshot, object, name, match, counter, type);
    }
    return 0;
}
