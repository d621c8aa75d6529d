#pragma once
// Builds performance-data snapshots (PERF_DATA_BLOCK and the records after it)
// from a short description, laid out as the system lays them out: counter
// blocks and instance records 8-byte aligned, names UTF-16 with their null.
// The layout of every record is answered too, so tests can damage one field.
// No Windows headers: the native sanitizer build uses it as well.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace perftest {

struct Counter {
    std::uint32_t index = 0;
    std::uint32_t type = 0;
    std::uint32_t size = 8;  // 4, 8 or any other size (other sizes read as zeros)
};

struct Instance {
    std::u16string name;
    std::vector<std::uint64_t> values;  // one per counter, in counter order; missing ones are 0
};

struct Object {
    std::uint32_t index = 0;
    std::vector<Counter> counters;
    std::vector<Instance> instances;
    // When set, NumInstances is this value instead of the number of instances
    // (for example -1 for an object without instances).
    bool overrideNumInstances = false;
    std::int32_t numInstances = 0;
};

struct Description {
    std::uint64_t perfTime100nSec = 0;
    std::vector<Object> objects;
    std::u16string systemName = u"QORVELTEST";
};

// Where each record landed, as byte offsets from the block's start.
struct Layout {
    struct InstanceAt {
        std::size_t start = 0;
        std::size_t name = 0;
        std::size_t counterBlock = 0;
    };
    struct ObjectAt {
        std::size_t start = 0;
        std::vector<std::size_t> counters;  // each PERF_COUNTER_DEFINITION
        std::vector<InstanceAt> instances;
        std::vector<std::size_t> valueOffsets;  // CounterOffset of each counter
    };
    std::vector<ObjectAt> objects;
};

std::vector<std::uint8_t> Build(const Description& description, Layout* layout = nullptr);

// Raw field access for damaging snapshots in tests.
void Put32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value);
void Put64(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint64_t value);
std::uint32_t Get32(const std::vector<std::uint8_t>& bytes, std::size_t offset);

// The disk counters as they appear on a real system: the counters the program
// reads, their base counters and a few neighbours of other sizes and types.
std::vector<Counter> DiskCounters();

// Values for DiskCounters() in its order, from the counters the program reads.
struct DiskValues {
    std::uint64_t queue = 0;       // 1400
    std::uint64_t readQueue = 0;   // 1402
    std::uint64_t writeQueue = 0;  // 1404
    std::uint32_t reads = 0;       // 214
    std::uint32_t writes = 0;      // 216
    std::uint64_t bytesRead = 0;   // 226
    std::uint64_t bytesWritten = 0;  // 228
};
std::vector<std::uint64_t> DiskCounterValues(const DiskValues& values);

}  // namespace perftest
