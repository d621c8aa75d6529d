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

void PutBytes(std::vector<std::uint8_t>& bytes, std::size_t offset, const void* data, std::size_t size)
{
    if (bytes.size() < offset + size)
        bytes.resize(offset + size);
    std::memcpy(bytes.data() + offset, data, size);
}

void PutName(std::vector<std::uint8_t>& bytes, std::size_t offset, const std::u16string& name)
{
    for (std::size_t i = 0; i <= name.size(); ++i) {
        const std::uint16_t unit = i < name.size() ? static_cast<std::uint16_t>(name[i]) : 0;
        PutBytes(bytes, offset + 2 * i, &unit, 2);
    }
}

}  // namespace

void Put32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value)
{
    PutBytes(bytes, offset, &value, 4);
}

void Put64(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint64_t value)
{
    PutBytes(bytes, offset, &value, 8);
}

std::uint32_t Get32(const std::vector<std::uint8_t>& bytes, std::size_t offset)
{
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, 4);
    return value;
}

std::vector<std::uint8_t> Build(const Description& description, Layout* layout)
{
    std::vector<std::uint8_t> bytes(kBlockSize, 0);
    const char16_t signature[4] = {u'P', u'E', u'R', u'F'};
    PutBytes(bytes, kBlockSignature, signature, sizeof signature);
    Put32(bytes, kBlockLittleEndian, 1);
    Put32(bytes, kBlockVersion, 1);
    Put32(bytes, kBlockRevision, 1);
    Put64(bytes, kBlockPerfTime, description.perfTime100nSec / 10);
    Put64(bytes, kBlockPerfFreq, 1000000);
    Put64(bytes, kBlockPerfTime100nSec, description.perfTime100nSec);
    const std::size_t nameBytes = 2 * (description.systemName.size() + 1);
    Put32(bytes, kBlockSystemNameLength, static_cast<std::uint32_t>(nameBytes));
    Put32(bytes, kBlockSystemNameOffset, kBlockSize);
    PutName(bytes, kBlockSize, description.systemName);
    const std::size_t headerLength = Align8(kBlockSize + nameBytes);
    bytes.resize(headerLength, 0);
    Put32(bytes, kBlockHeaderLength, static_cast<std::uint32_t>(headerLength));
    Put32(bytes, kBlockNumObjectTypes, static_cast<std::uint32_t>(description.objects.size()));

    Layout local;
    for (const Object& object : description.objects) {
        Layout::ObjectAt at;
        const std::size_t start = bytes.size();
        at.start = start;
        bytes.resize(start + kObjectSize, 0);

        // Counter values follow the counter block's length field, each at an
        // offset aligned to its size (8-byte counters on 8 bytes).
        std::size_t valueOffset = 8;
        for (const Counter& counter : object.counters) {
            const std::size_t align = counter.size >= 8 ? 8 : (counter.size >= 4 ? 4 : 1);
            valueOffset = (valueOffset + align - 1) / align * align;
            at.valueOffsets.push_back(valueOffset);
            valueOffset += counter.size;
        }
        const std::size_t blockLength = Align8(valueOffset);

        for (const Counter& counter : object.counters) {
            const std::size_t def = bytes.size();
            at.counters.push_back(def);
            bytes.resize(def + kCounterDefinitionSize, 0);
            Put32(bytes, def + kCounterByteLength, kCounterDefinitionSize);
            Put32(bytes, def + kCounterNameTitleIndex, counter.index);
            Put32(bytes, def + kCounterHelpTitleIndex, counter.index + 1);
            Put32(bytes, def + kCounterType, counter.type);
            Put32(bytes, def + kCounterSize, counter.size);
            Put32(bytes, def + kCounterOffset, static_cast<std::uint32_t>(at.valueOffsets[at.counters.size() - 1]));
        }
        bytes.resize(Align8(bytes.size()), 0);
        const std::size_t definitionLength = bytes.size() - start;

        auto putBlock = [&](const std::vector<std::uint64_t>& values) {
            const std::size_t block = bytes.size();
            bytes.resize(block + blockLength, 0);
            Put32(bytes, block + kCounterBlockByteLength, static_cast<std::uint32_t>(blockLength));
            for (std::size_t c = 0; c < object.counters.size(); ++c) {
                const std::uint64_t value = c < values.size() ? values[c] : 0;
                const std::uint32_t size = object.counters[c].size;
                if (size == 4)
                    Put32(bytes, block + at.valueOffsets[c], static_cast<std::uint32_t>(value));
                else if (size == 8)
                    Put64(bytes, block + at.valueOffsets[c], value);
            }
            return block;
        };

        const bool withInstances = !object.overrideNumInstances || object.numInstances > 0;
        if (withInstances) {
            for (const Instance& instance : object.instances) {
                Layout::InstanceAt inst;
                inst.start = bytes.size();
                const std::size_t nameSize = 2 * (instance.name.size() + 1);
                const std::size_t length = Align8(kInstanceSize + nameSize);
                bytes.resize(inst.start + length, 0);
                Put32(bytes, inst.start + kInstanceByteLength, static_cast<std::uint32_t>(length));
                Put32(bytes, inst.start + kInstanceUniqueId, 0xFFFFFFFFu);
                Put32(bytes, inst.start + kInstanceNameOffset, kInstanceSize);
                Put32(bytes, inst.start + kInstanceNameLength, static_cast<std::uint32_t>(nameSize));
                inst.name = inst.start + kInstanceSize;
                PutName(bytes, inst.name, instance.name);
                inst.counterBlock = putBlock(instance.values);
                at.instances.push_back(inst);
            }
        } else {
            putBlock({});
        }

        const std::int32_t numInstances = object.overrideNumInstances
                                              ? object.numInstances
                                              : static_cast<std::int32_t>(object.instances.size());
        Put32(bytes, start + kObjectTotalByteLength, static_cast<std::uint32_t>(bytes.size() - start));
        Put32(bytes, start + kObjectDefinitionLength, static_cast<std::uint32_t>(definitionLength));
        Put32(bytes, start + kObjectHeaderLength, kObjectSize);
        Put32(bytes, start + kObjectNameTitleIndex, object.index);
        Put32(bytes, start + kObjectHelpTitleIndex, object.index + 1);
        Put32(bytes, start + kObjectDetailLevel, 100);
        Put32(bytes, start + kObjectNumCounters, static_cast<std::uint32_t>(object.counters.size()));
        Put32(bytes, start + kObjectDefaultCounter, 0);
        Put32(bytes, start + kObjectNumInstances, static_cast<std::uint32_t>(numInstances));
        local.objects.push_back(std::move(at));
    }
    Put32(bytes, kBlockTotalByteLength, static_cast<std::uint32_t>(bytes.size()));
    if (layout)
        *layout = std::move(local);
    return bytes;
}

std::vector<Counter> DiskCounters()
{
    return {
        {200, 0x00010000u, 4},                    // % disk time neighbour, a 4-byte raw count
        {kAvgDiskQueueLength, kPerfCounter100nsQueueLen, 8},
        {kAvgDiskReadQueueLength, kPerfCounter100nsQueueLen, 8},
        {kAvgDiskWriteQueueLength, kPerfCounter100nsQueueLen, 8},
        {208, 0x30020400u, 2},                    // a 2-byte counter, read as nothing
        {kDiskReadsPerSec, kPerfCounterCounter, 4},
        {kDiskWritesPerSec, kPerfCounterCounter, 4},
        {kAvgDiskBytesPerRead, kPerfAverageBulk, 8},
        {kAvgDiskBytesPerRead, kPerfAverageBase, 4},
        {kAvgDiskBytesPerWrite, kPerfAverageBulk, 8},
        {kAvgDiskBytesPerWrite, kPerfAverageBase, 4},
        {1420, 0x00450500u, 16},                  // a 16-byte counter, passed over
    };
}

std::vector<std::uint64_t> DiskCounterValues(const DiskValues& v)
{
    return {7, v.queue, v.readQueue, v.writeQueue, 0xBEEF, v.reads, v.writes,
            v.bytesRead, v.reads, v.bytesWritten, v.writes, 0};
}

}  // namespace perftest
