#pragma once
// Reads the PhysicalDisk and LogicalDisk objects out of a performance-data
// snapshot (the bytes answered by the performance-data query). Every walk is
// bounded by the bytes actually answered: a record with a zero or short length,
// an offset or a count that reaches past the data ends the walk, and the lookup
// then answers "not found". No Windows headers: this also builds natively.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace perfwalk {

struct Snapshot {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;  // bytes the query answered; 0 holds no objects
};

// The block's PerfTime100nSec, 0 when the block is too short to hold it.
std::uint64_t PerfTime100nSec(Snapshot snapshot);

// Instance count of the first object with the title index: NumInstances when
// at least 1, else 1; 0 when there is no such object or its instances are damaged.
std::int32_t InstanceCount(Snapshot snapshot, std::uint32_t object);

// Appends every instance name of the first object with the title index (each up
// to its null character) and answers the count as InstanceCount does. Appends
// nothing when the object reports no instances or is damaged.
std::int32_t InstanceNames(Snapshot snapshot, std::uint32_t object, std::vector<std::wstring>& names);

// How an instance is named by the text a record looks for (case-sensitive).
enum class Match {
    // The whole name: "C:", "HarddiskVolume1", "_Total". The empty text
    // matches the first instance.
    Whole,
    // A physical disk's number: the name is the number alone ("1", a disk
    // that holds no lettered volume) or the number and a blank ("0 C: D:").
    DiskNumber,
};

// Raw value of a counter of the first instance the text names, in any object
// with the title index that has instances. Counters of 4 and 8 bytes are read;
// other sizes are passed over. 0 when nothing is found.
std::uint64_t CounterValue(Snapshot snapshot, std::uint32_t object, std::wstring_view instance, Match match,
                           std::uint32_t counter, std::uint32_t counterType);

}  // namespace perfwalk
