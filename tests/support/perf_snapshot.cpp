#include "tests/support/perf_snapshot.h"

#include <cstring>

#include "sources/perf_layout.h"

namespace perftest {
namespace {

using namespace perflayout;

std::size_t Align8(std::size_t n)
{
    return (n + 7) & ~std::size_t{7};
}

void Put(std::vector<std::uint8_t>& bytes, std::size_t offset, const void* data, std::size_t size)
{
    std::memcpy(bytes.data() + offset, data, size);
}

// Appends a zeroed record; answers its offset.
std::size_t Grow(std::vector<std::uint8_t>& bytes, std::size_t length)
{
    bytes.resize(bytes.size() + length);
    return bytes.size() - length;
}

std::size_t PutName(std::vector<std::uint8_t>& bytes, std::size_t offset, const std::u16string& name)
{
    Put(bytes, offset, name.c_str(), 2 * (name.size() + 1));
    return 2 * (name.size() + 1);
}

}  // namespace

void Put32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value)
{
    Put(bytes, offset, &value, 4);
}

std::uint32_t Get32(const std::uint8_t* bytes, std::size_t offset)
{
    std::uint32_t value = 0;
    std::memcpy(&value, bytes + offset, 4);
    return value;
}

std::vector<std::uint8_t> Build(const Description& description, std::vector<ObjectAt>* layout)
{
    std::vector<std::uint8_t> bytes(kBlockSize + 16);  // the block and its system name
    Put(bytes, kBlockSignature, u"PERF", 8);
    Put32(bytes, kBlockLittleEndian, 1);
    Put32(bytes, kBlockVersion, 1);
    Put(bytes, kBlockPerfTime100nSec, &description.perfTime100nSec, 8);
    Put32(bytes, kBlockSystemNameLength, static_cast<std::uint32_t>(PutName(bytes, kBlockSize, u"QORVEL")));
    Put32(bytes, kBlockSystemNameOffset, kBlockSize);
    Put32(bytes, kBlockHeaderLength, static_cast<std::uint32_t>(bytes.size()));
    Put32(bytes, kBlockNumObjectTypes, static_cast<std::uint32_t>(description.objects.size()));
    std::vector<ObjectAt> objects;
    for (const Object& object : description.objects) {
        ObjectAt& at = objects.emplace_back();
        at.start = Grow(bytes, kObjectSize);
        std::size_t blockLength = kCounterBlockSize;  // values follow, each aligned to its size (at most 8)
        for (const Counter& counter : object.counters) {
            const std::size_t align = counter.size >= 8 ? 8 : counter.size >= 4 ? 4 : 1;
            at.valueOffsets.push_back(blockLength = (blockLength + align - 1) / align * align);
            blockLength += counter.size;
            const std::size_t def = Grow(bytes, kCounterDefinitionSize);
            at.counters.push_back(def);
            Put32(bytes, def + kCounterByteLength, kCounterDefinitionSize);
            Put32(bytes, def + kCounterNameTitleIndex, counter.index);
            Put32(bytes, def + kCounterType, counter.type);
            Put32(bytes, def + kCounterSize, counter.size);
            Put32(bytes, def + kCounterOffset, static_cast<std::uint32_t>(at.valueOffsets.back()));
        }
        blockLength = Align8(blockLength);
        const std::size_t definitionLength = bytes.size() - at.start;
        auto putBlock = [&](const std::vector<std::uint64_t>& values) {
            const std::size_t block = Grow(bytes, blockLength);
            Put32(bytes, block + kCounterBlockByteLength, static_cast<std::uint32_t>(blockLength));
            for (std::size_t c = 0; c < values.size() && c < object.counters.size(); ++c) {
                if (object.counters[c].size == 4 || object.counters[c].size == 8)
                    Put(bytes, block + at.valueOffsets[c], &values[c], object.counters[c].size);
            }
            return block;
        };
        if (object.numInstances.value_or(1) <= 0)
            putBlock({});
        for (const Instance& instance : object.instances) {
            const std::size_t start = Grow(bytes, Align8(kInstanceSize + 2 * (instance.name.size() + 1)));
            Put32(bytes, start + kInstanceByteLength, static_cast<std::uint32_t>(bytes.size() - start));
            Put32(bytes, start + kInstanceNameOffset, kInstanceSize);
            const std::size_t nameLength = PutName(bytes, start + kInstanceSize, instance.name);
            Put32(bytes, start + kInstanceNameLength, static_cast<std::uint32_t>(nameLength));
            at.instances.push_back(start);
            at.blocks.push_back(putBlock(instance.values));
        }
        const auto count = object.numInstances.value_or(static_cast<std::int32_t>(object.instances.size()));
        Put32(bytes, at.start + kObjectTotalByteLength, static_cast<std::uint32_t>(bytes.size() - at.start));
        Put32(bytes, at.start + kObjectDefinitionLength, static_cast<std::uint32_t>(definitionLength));
        Put32(bytes, at.start + kObjectHeaderLength, kObjectSize);
        Put32(bytes, at.start + kObjectNameTitleIndex, object.index);
        Put32(bytes, at.start + kObjectNumCounters, static_cast<std::uint32_t>(object.counters.size()));
        Put32(bytes, at.start + kObjectNumInstances, static_cast<std::uint32_t>(count));
    }
    Put32(bytes, kBlockTotalByteLength, static_cast<std::uint32_t>(bytes.size()));
    if (layout)
        *layout = std::move(objects);
    return bytes;
}

std::vector<Counter> DiskCounters()
{
    return {{200, 0x00010000u, 4},  // a raw count
            {kAvgDiskQueueLength, kPerfCounter100nsQueueLen, 8},
            {kAvgDiskReadQueueLength, kPerfCounter100nsQueueLen, 8},
            {kAvgDiskWriteQueueLength, kPerfCounter100nsQueueLen, 8},
            {208, 0x30020400u, 2},
            {kDiskReadsPerSec, kPerfCounterCounter, 4},
            {kDiskWritesPerSec, kPerfCounterCounter, 4},
            {kAvgDiskBytesPerRead, kPerfAverageBulk, 8},
            {kAvgDiskBytesPerRead, kPerfAverageBase, 4},
            {kAvgDiskBytesPerWrite, kPerfAverageBulk, 8},
            {kAvgDiskBytesPerWrite, kPerfAverageBase, 4},
            {1420, 0x00450500u, 16}};
}

Instance Disk(std::u16string name, const DiskValues& v)
{
    return {std::move(name), {7, v.queue, v.readQueue, v.writeQueue, 0xBEEF, v.reads, v.writes, v.bytesRead, v.reads,
                              v.bytesWritten, v.writes, 0}};
}

}  // namespace perftest
