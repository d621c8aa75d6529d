#pragma once
// Performance-data snapshots for tests: a PERF_DATA_BLOCK followed by the
// PhysicalDisk and LogicalDisk objects as the disk-counter provider lays them
// out (tools/perfprov), and raw field access for damaging them.
// No Windows headers: the native sanitizer build uses it as well.
#include <cstring>
#include <vector>

#include "sources/perf_layout.h"
#include "tools/perfprov/disk_objects.h"

namespace perftest {

inline void Put32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value)
{
    std::memcpy(&bytes.at(offset + 3) - 3, &value, 4);
}

inline std::uint32_t Get32(const std::vector<std::uint8_t>& bytes, std::size_t offset)
{
    std::uint32_t value = 0;
    std::memcpy(&value, &bytes.at(offset + 3) - 3, 4);
    return value;
}

// The block carries a system name, so that its HeaderLength is not its size.
inline std::vector<std::uint8_t> Snapshot(const DiskSet& set, std::uint64_t time100ns = 0,
                                          ObjectRequest request = {true, true})
{
    using namespace perflayout;
    std::uint32_t count = 0;
    std::vector<std::uint8_t> bytes(kBlockSize + 16);
    const std::vector<std::uint8_t> objects = BuildDiskObjects(set, request, {1, 1}, &count);
    bytes.insert(bytes.end(), objects.begin(), objects.end());
    std::memcpy(&bytes[kBlockSignature], u"PERF", 8);
    std::memcpy(&bytes[kBlockPerfTime100nSec], &time100ns, 8);
    std::memcpy(&bytes[kBlockSize], u"QORVEL", 14);
    const std::uint32_t size = static_cast<std::uint32_t>(bytes.size());
    for (auto [field, value] : {std::pair{kBlockLittleEndian, 1u},
                                {kBlockVersion, 1u},
                                {kBlockSystemNameLength, 14u},
                                {kBlockSystemNameOffset, std::uint32_t{kBlockSize}},
                                {kBlockHeaderLength, kBlockSize + 16},
                                {kBlockNumObjectTypes, count},
                                {kBlockTotalByteLength, size}})
        Put32(bytes, field, value);
    return bytes;
}

// Where the first object (PhysicalDisk) and the object after it start.
inline std::pair<std::size_t, std::size_t> Objects(const std::vector<std::uint8_t>& bytes)
{
    const std::size_t first = Get32(bytes, perflayout::kBlockHeaderLength);
    return {first, first + Get32(bytes, first + perflayout::kObjectTotalByteLength)};
}

}  // namespace perftest
