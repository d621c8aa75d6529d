#pragma once
// Byte offsets of the published performance-data layout: a PERF_DATA_BLOCK
// followed by PERF_OBJECT_TYPE records, each with its PERF_COUNTER_DEFINITION
// records and PERF_INSTANCE_DEFINITION records that are each followed by a
// PERF_COUNTER_BLOCK. The offsets are the same for 32-bit and 64-bit Windows.
// No Windows headers here: the walk and the test builders also build natively.
#include <cstddef>
#include <cstdint>

namespace perflayout {

// PERF_DATA_BLOCK
inline constexpr std::size_t kBlockSignature = 0;  // L"PERF"
inline constexpr std::size_t kBlockLittleEndian = 8;
inline constexpr std::size_t kBlockVersion = 12;
inline constexpr std::size_t kBlockRevision = 16;
inline constexpr std::size_t kBlockTotalByteLength = 20;
inline constexpr std::size_t kBlockHeaderLength = 24;
inline constexpr std::size_t kBlockNumObjectTypes = 28;
inline constexpr std::size_t kBlockPerfTime = 56;
inline constexpr std::size_t kBlockPerfFreq = 64;
inline constexpr std::size_t kBlockPerfTime100nSec = 72;
inline constexpr std::size_t kBlockSystemNameLength = 80;
inline constexpr std::size_t kBlockSystemNameOffset = 84;
inline constexpr std::size_t kBlockSize = 88;

// PERF_OBJECT_TYPE
inline constexpr std::size_t kObjectTotalByteLength = 0;
inline constexpr std::size_t kObjectDefinitionLength = 4;
inline constexpr std::size_t kObjectHeaderLength = 8;
inline constexpr std::size_t kObjectNameTitleIndex = 12;
inline constexpr std::size_t kObjectHelpTitleIndex = 20;
inline constexpr std::size_t kObjectDetailLevel = 28;
inline constexpr std::size_t kObjectNumCounters = 32;
inline constexpr std::size_t kObjectDefaultCounter = 36;
inline constexpr std::size_t kObjectNumInstances = 40;  // signed; -1 means no instances
inline constexpr std::size_t kObjectCodePage = 44;
inline constexpr std::size_t kObjectPerfTime = 48;
inline constexpr std::size_t kObjectPerfFreq = 56;
inline constexpr std::size_t kObjectSize = 64;

// PERF_COUNTER_DEFINITION
inline constexpr std::size_t kCounterByteLength = 0;
inline constexpr std::size_t kCounterNameTitleIndex = 4;
inline constexpr std::size_t kCounterHelpTitleIndex = 12;
inline constexpr std::size_t kCounterDefaultScale = 20;
inline constexpr std::size_t kCounterDetailLevel = 24;
inline constexpr std::size_t kCounterType = 28;
inline constexpr std::size_t kCounterSize = 32;
inline constexpr std::size_t kCounterOffset = 36;
inline constexpr std::size_t kCounterDefinitionSize = 40;

// PERF_INSTANCE_DEFINITION
inline constexpr std::size_t kInstanceByteLength = 0;
inline constexpr std::size_t kInstanceParentObjectTitleIndex = 4;
inline constexpr std::size_t kInstanceParentObjectInstance = 8;
inline constexpr std::size_t kInstanceUniqueId = 12;
inline constexpr std::size_t kInstanceNameOffset = 16;
inline constexpr std::size_t kInstanceNameLength = 20;
inline constexpr std::size_t kInstanceSize = 24;

// PERF_COUNTER_BLOCK
inline constexpr std::size_t kCounterBlockByteLength = 0;
inline constexpr std::size_t kCounterBlockSize = 4;

// Object and counter title indexes and counter types the program reads.
inline constexpr std::uint32_t kPhysicalDiskObject = 234;
inline constexpr std::uint32_t kLogicalDiskObject = 236;
inline constexpr std::uint32_t kDiskReadsPerSec = 214;
inline constexpr std::uint32_t kDiskWritesPerSec = 216;
inline constexpr std::uint32_t kAvgDiskBytesPerRead = 226;
inline constexpr std::uint32_t kAvgDiskBytesPerWrite = 228;
inline constexpr std::uint32_t kAvgDiskQueueLength = 1400;
inline constexpr std::uint32_t kAvgDiskReadQueueLength = 1402;
inline constexpr std::uint32_t kAvgDiskWriteQueueLength = 1404;

inline constexpr std::uint32_t kPerfCounterCounter = 0x10410400;        // PERF_COUNTER_COUNTER
inline constexpr std::uint32_t kPerfAverageBulk = 0x40020500;           // PERF_AVERAGE_BULK
inline constexpr std::uint32_t kPerfAverageBase = 0x40030402;           // PERF_AVERAGE_BASE
inline constexpr std::uint32_t kPerfCounter100nsQueueLen = 0x00550500;  // PERF_COUNTER_100NS_QUEUELEN_TYPE

}  // namespace perflayout
