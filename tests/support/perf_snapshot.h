#pragma once
// Builds performance-data snapshots from a short description, laid out as the
// system lays them out (records 8-byte aligned, UTF-16 names with their null),
// and tells where each record landed so that a test can damage one field.
// No Windows headers: the native sanitizer build uses it as well.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace perftest {

struct Counter {
    std::uint32_t index = 0;
    std::uint32_t type = 0;
    std::uint32_t size = 8;  // 4 and 8 are read; other sizes are passed over
};

struct Instance {
    std::u16string name;
    std::vector<std::uint64_t> values;  // in counter order; missing ones are 0
};

struct Object {
    std::uint32_t index = 0;
    std::vector<Counter> counters;
    std::vector<Instance> instances;
    // NumInstances when set; 0 or less writes one counter block and no instances.
    std::optional<std::int32_t> numInstances;
};

struct Description {
    std::uint64_t perfTime100nSec = 0;
    std::vector<Object> objects;
};

// Byte offsets from the block's start; valueOffsets are each counter's offset
// inside a counter block.
struct ObjectAt {
    std::size_t start = 0;
    std::vector<std::size_t> counters, instances, blocks, valueOffsets;
};

std::vector<std::uint8_t> Build(const Description& description, std::vector<ObjectAt>* layout = nullptr);
void Put32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value);
std::uint32_t Get32(const std::uint8_t* bytes, std::size_t offset);

// The disk counters as a real system serves them: those the program reads,
// their base counters (same index, other type) and neighbours of 4, 2 and 16 bytes.
std::vector<Counter> DiskCounters();

struct DiskValues {
    std::uint64_t queue = 0, readQueue = 0, writeQueue = 0;  // 1400, 1402, 1404
    std::uint32_t reads = 0, writes = 0;                     // 214, 216; also the bases of 226, 228
    std::uint64_t bytesRead = 0, bytesWritten = 0;           // 226, 228
};

// An instance with DiskCounters() values.
Instance Disk(std::u16string name, const DiskValues& values = {});

}  // namespace perftest
