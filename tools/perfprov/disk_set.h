#pragma once
// The disks the provider serves: the instances of the PhysicalDisk and
// LogicalDisk objects and their counters, whether they come from a script or
// from the Linux machine. No Windows headers: this also builds natively.
#include <cstdint>
#include <string>
#include <vector>

// The raw counter values of one instance, in the units the system's disk
// counters use.
struct DiskCounters {
    std::uint64_t queue = 0;         // 1400: I/O time weighted by the queue length, 100-ns units
    std::uint64_t readQueue = 0;     // 1402: time spent reading, 100-ns units
    std::uint64_t writeQueue = 0;    // 1404: time spent writing, 100-ns units
    std::uint32_t reads = 0;         // 214: reads completed (wraps at 32 bits)
    std::uint32_t writes = 0;        // 216: writes completed (wraps at 32 bits)
    std::uint64_t bytesRead = 0;     // 226: bytes read
    std::uint64_t bytesWritten = 0;  // 228: bytes written
    std::uint32_t inFlight = 0;      // 198: requests in progress now

    bool operator==(const DiskCounters&) const = default;
};

struct DiskInstance {
    std::u16string name;
    DiskCounters counters;
    // LogicalDisk instances: position of the PhysicalDisk instance that holds
    // the volume, -1 when unknown.
    std::int32_t parent = -1;
};

// Instances in the order they are served. A "_Total" instance is added to each
// object when the set has none of its own.
struct DiskSet {
    std::vector<DiskInstance> physical;
    std::vector<DiskInstance> logical;
};

// Counters of "_Total": the sum of the instances (each counter wraps as its
// size does).
DiskCounters SumCounters(const std::vector<DiskInstance>& instances);

// Links each logical disk to the physical disk whose name lists it as a word:
// "C:" to "0 C: D:".
void LinkParentsByName(DiskSet& set);
