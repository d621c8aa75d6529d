// Prints the indicator list and each entry's disk counters as Qorvel Indicator
// sees them: through the same performance-data reader and drive list.
//
//   perfdump            one reading
//   perfdump N [ms]     N readings, ms apart (1000 by default)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/utf8.h"
#include "sources/counter_source.h"
#include "sources/drive_list.h"
#include "sources/perf_layout.h"
#include "sources/registry_access.h"

namespace {

using namespace perflayout;

const char* KindName(std::uint32_t kind)
{
    switch (kind) {
    case kKindPhysicalDrive:
        return "physical drive";
    case kKindLogicalDisk:
        return "logical disk";
    case kKindAllInOne:
        return "all-in-one";
    default:
        return "unknown";
    }
}

// The object and instance text an indicator reads its counters from.
void PrintInstances(DirectRegistryAccess& access, std::uint32_t object, const char* title)
{
    std::vector<std::wstring> names;
    const std::int32_t count = access.GetInstanceNames(object, names);
    std::printf("%s (%u): ", title, object);
    if (count == 0) {
        std::printf("no such object\n");
        return;
    }
    for (std::size_t i = 0; i < names.size(); ++i)
        std::printf("%s\"%s\"", i ? ", " : "", ToUtf8(names[i]).c_str());
    std::printf("\n");
}

void PrintReading(DirectRegistryAccess& access, int reading)
{
    IndicatorList list;
    EnumeratePhysicalDrives(access, list);
    EnumerateLogicalDisks(access, list);

    const perfwalk::Snapshot snapshot = access.Snapshot();
    std::uint32_t objects = 0;
    if (snapshot.size >= kBlockSize)
        std::memcpy(&objects, snapshot.data + kBlockNumObjectTypes, 4);
    std::printf("Reading %d: %zu bytes of performance data, %u objects, time %llu\n", reading, snapshot.size, objects,
                static_cast<unsigned long long>(access.PerfTime100nSec()));
    PrintInstances(access, kPhysicalDiskObject, "PhysicalDisk");
    PrintInstances(access, kLogicalDiskObject, "LogicalDisk");

    std::printf("Indicator list: %zu entries\n", list.size());
    for (const IndicatorEntry& entry : list) {
        const CounterInstance instance = CounterInstanceOf(&entry);
        const std::uint32_t object = instance.object;
        auto value = [&](std::uint32_t counter, std::uint32_t type) {
            return static_cast<unsigned long long>(
                access.GetCounterValue(object, instance.text.c_str(), instance.match, counter, type));
        };
        std::printf("  %-20s %-24s label %-5s %-14s object %u instance \"%s\"\n", ToUtf8(entry.devicePath).c_str(),
                    ("\"" + ToUtf8(entry.displayName) + "\"").c_str(), ToUtf8(entry.label).c_str(),
                    KindName(entry.kind), object, ToUtf8(instance.text).c_str());
        std::printf("      queue (1400) %llu  read queue (1402) %llu  write queue (1404) %llu\n",
                    value(kAvgDiskQueueLength, kPerfCounter100nsQueueLen),
                    value(kAvgDiskReadQueueLength, kPerfCounter100nsQueueLen),
                    value(kAvgDiskWriteQueueLength, kPerfCounter100nsQueueLen));
        std::printf("      reads (214) %llu  writes (216) %llu  bytes read (226) %llu  bytes written (228) %llu\n",
                    value(kDiskReadsPerSec, kPerfCounterCounter), value(kDiskWritesPerSec, kPerfCounterCounter),
                    value(kAvgDiskBytesPerRead, kPerfAverageBulk), value(kAvgDiskBytesPerWrite, kPerfAverageBulk));
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int readings = argc > 1 ? _wtoi(argv[1]) : 1;
    const int interval = argc > 2 ? _wtoi(argv[2]) : 1000;
    DirectRegistryAccess access;
    for (int reading = 1; reading <= readings; ++reading) {
        if (reading > 1) {
            std::printf("\n");
            Sleep(static_cast<DWORD>(interval > 0 ? interval : 0));
        }
        PrintReading(access, reading);
    }
    return 0;
}
