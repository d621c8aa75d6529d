#pragma once
// Lays the PhysicalDisk (234) and LogicalDisk (236) objects out as the system's
// disk provider does: each PERF_OBJECT_TYPE with its counter definitions, then
// per instance a PERF_INSTANCE_DEFINITION with its UTF-16 name and a
// PERF_COUNTER_BLOCK, every instance 8-byte aligned. The counters are those the
// program reads plus realistic neighbours of other sizes and types.
// No Windows headers: this also builds natively.
#include <cstdint>
#include <string_view>
#include <vector>

#include "tools/perfprov/disk_set.h"

// Which of the two objects a performance-data query asks for.
struct ObjectRequest {
    bool physical = false;
    bool logical = false;
};

// "Global" (or an empty query) asks for every object; a list of title indexes
// asks for those named in it; "Costly" and "Foreign" ask for none of ours.
ObjectRequest ParseQuery(std::u16string_view query);

struct ObjectTiming {
    std::int64_t perfTime = 0;  // the performance counter now
    std::int64_t perfFreq = 0;  // its frequency
};

// The requested objects, one after the other; each object's TotalByteLength
// covers its instances. The count of objects is answered too.
std::vector<std::uint8_t> BuildDiskObjects(const DiskSet& set, ObjectRequest request, ObjectTiming timing,
                                           std::uint32_t* objectCount);
