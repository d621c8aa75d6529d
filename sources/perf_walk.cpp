#include "sources/perf_walk.h"

#include <cstring>

#include "sources/perf_layout.h"

namespace perfwalk {
namespace {

using namespace perflayout;

// Bounds-checked little-endian reads over the answered bytes.
class Bytes {
public:
    explicit Bytes(Snapshot s) : data_(s.data), size_(s.data ? s.size : 0) {}

    bool Has(std::size_t offset, std::size_t length) const { return offset <= size_ && length <= size_ - offset; }
    bool U32(std::size_t offset, std::uint32_t& value) const { return Read(offset, value); }
    bool U64(std::size_t offset, std::uint64_t& value) const { return Read(offset, value); }
    std::uint16_t Unit(std::size_t offset) const  // caller has checked the bounds
    {
        std::uint16_t unit;
        std::memcpy(&unit, data_ + offset, sizeof unit);
        return unit;
    }

private:
    template <class T>
    bool Read(std::size_t offset, T& value) const
    {
        if (!Has(offset, sizeof(T)))
            return false;
        std::memcpy(&value, data_ + offset, sizeof(T));
        return true;
    }

    const std::uint8_t* data_;
    std::size_t size_;
};

struct Object {
    std::size_t start = 0;
    std::size_t end = 0;  // start + TotalByteLength, never past the data
    std::uint32_t titleIndex = 0;
    std::uint32_t definitionLength = 0;
    std::uint32_t headerLength = 0;
    std::uint32_t numCounters = 0;
    std::int32_t numInstances = 0;
};

bool ReadObject(const Bytes& bytes, std::size_t offset, Object& object)
{
    std::uint32_t total = 0;
    if (!bytes.U32(offset + kObjectTotalByteLength, total) || total < kObjectSize || !bytes.Has(offset, total))
        return false;
    std::uint32_t numInstances = 0;
    bytes.U32(offset + kObjectDefinitionLength, object.definitionLength);
    bytes.U32(offset + kObjectHeaderLength, object.headerLength);
    bytes.U32(offset + kObjectNameTitleIndex, object.titleIndex);
    bytes.U32(offset + kObjectNumCounters, object.numCounters);
    bytes.U32(offset + kObjectNumInstances, numInstances);
    if (object.definitionLength > total || object.headerLength > total)
        return false;
    object.start = offset;
    object.end = offset + total;
    object.numInstances = static_cast<std::int32_t>(numInstances);
    return true;
}

// Calls visit(object) for each object in order until it answers false, the
// objects run out, or a damaged object ends the walk.
template <class Visit>
void ForEachObject(const Bytes& bytes, Visit&& visit)
{
    std::uint32_t headerLength = 0;
    std::uint32_t numObjects = 0;
    if (!bytes.U32(kBlockHeaderLength, headerLength) || !bytes.U32(kBlockNumObjectTypes, numObjects))
        return;
    std::size_t offset = headerLength;
    for (std::uint32_t i = 0; i < numObjects; ++i) {
        Object object;
        if (!ReadObject(bytes, offset, object) || !visit(object))
            return;
        offset = object.end;
    }
}

bool FindObject(const Bytes& bytes, std::uint32_t titleIndex, Object& found)
{
    bool matched = false;
    ForEachObject(bytes, [&](const Object& object) {
        if (object.titleIndex != titleIndex)
            return true;
        found = object;
        matched = true;
        return false;
    });
    return matched;
}

struct Instance {
    std::size_t nameStart = 0;
    std::size_t nameEnd = 0;  // the name's null character, or the end of the record
    std::size_t counterBlock = 0;
    std::size_t counterBlockEnd = 0;
};

bool ReadInstance(const Bytes& bytes, const Object& object, std::size_t offset, Instance& instance)
{
    if (offset > object.end || object.end - offset < kInstanceSize)
        return false;
    std::uint32_t length = 0;
    std::uint32_t nameOffset = 0;
    bytes.U32(offset + kInstanceByteLength, length);
    bytes.U32(offset + kInstanceNameOffset, nameOffset);
    if (length < kInstanceSize || length > object.end - offset)
        return false;
    if (nameOffset < kInstanceSize || nameOffset > length)
        return false;
    const std::size_t block = offset + length;
    std::uint32_t blockLength = 0;
    if (object.end - block < kCounterBlockSize)
        return false;
    bytes.U32(block + kCounterBlockByteLength, blockLength);
    if (blockLength < kCounterBlockSize || blockLength > object.end - block)
        return false;

    instance.nameStart = offset + nameOffset;
    instance.nameEnd = instance.nameStart;
    while (instance.nameEnd + 2 <= block && bytes.Unit(instance.nameEnd) != 0)
        instance.nameEnd += 2;
    instance.counterBlock = block;
    instance.counterBlockEnd = block + blockLength;
    return true;
}

// Calls visit(instance) for each instance of the object until it answers false.
// Answers false when a damaged instance ended the walk.
template <class Visit>
bool ForEachInstance(const Bytes& bytes, const Object& object, Visit&& visit)
{
    std::size_t offset = object.start + object.definitionLength;
    for (std::int32_t i = 0; i < object.numInstances; ++i) {
        Instance instance;
        if (!ReadInstance(bytes, object, offset, instance))
            return false;
        if (!visit(instance))
            return true;
        offset = instance.counterBlockEnd;
    }
    return true;
}

bool Names(const Bytes& bytes, const Instance& instance, std::wstring_view text, Match match)
{
    const std::size_t length = (instance.nameEnd - instance.nameStart) / 2;
    if (length < text.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (bytes.Unit(instance.nameStart + 2 * i) != static_cast<std::uint32_t>(text[i]))
            return false;
    }
    if (length == text.size() || text.empty())
        return true;
    return match == Match::DiskNumber && bytes.Unit(instance.nameStart + 2 * text.size()) == L' ';
}

enum class Lookup { kFound, kNotHere, kDamaged };

// The first definition of the counter in an object: the same for every
// instance, so it is found once per object.
struct CounterAt {
    Lookup lookup = Lookup::kNotHere;
    std::uint32_t size = 0;
    std::uint32_t valueOffset = 0;  // from the start of each counter block
};

CounterAt FindCounter(const Bytes& bytes, const Object& object, std::uint32_t counter, std::uint32_t counterType)
{
    std::size_t offset = object.start + object.headerLength;
    for (std::uint32_t i = 0; i < object.numCounters; ++i) {
        if (offset > object.end || object.end - offset < kCounterDefinitionSize)
            return {Lookup::kDamaged};
        std::uint32_t length = 0, index = 0, type = 0, size = 0, valueOffset = 0;
        bytes.U32(offset + kCounterByteLength, length);
        if (length < kCounterDefinitionSize || length > object.end - offset)
            return {Lookup::kDamaged};
        bytes.U32(offset + kCounterNameTitleIndex, index);
        bytes.U32(offset + kCounterType, type);
        bytes.U32(offset + kCounterSize, size);
        bytes.U32(offset + kCounterOffset, valueOffset);
        offset += length;
        if (index == counter && type == counterType && (size == 4 || size == 8))
            return {Lookup::kFound, size, valueOffset};
    }
    return {Lookup::kNotHere};
}

Lookup ReadCounter(const Bytes& bytes, const CounterAt& at, const Instance& instance, std::uint64_t& value)
{
    if (at.lookup != Lookup::kFound)
        return at.lookup;
    const std::size_t blockLength = instance.counterBlockEnd - instance.counterBlock;
    if (at.valueOffset > blockLength || at.size > blockLength - at.valueOffset)
        return Lookup::kDamaged;
    if (at.size == 4) {
        std::uint32_t narrow = 0;
        bytes.U32(instance.counterBlock + at.valueOffset, narrow);
        value = narrow;
    } else {
        bytes.U64(instance.counterBlock + at.valueOffset, value);
    }
    return Lookup::kFound;
}

// Walks every instance of the object; false when one of them is damaged.
bool InstancesIntact(const Bytes& bytes, const Object& object)
{
    return ForEachInstance(bytes, object, [](const Instance&) { return true; });
}

}  // namespace

std::uint64_t PerfTime100nSec(Snapshot snapshot)
{
    std::uint64_t time = 0;
    Bytes(snapshot).U64(kBlockPerfTime100nSec, time);
    return time;
}

std::int32_t InstanceCount(Snapshot snapshot, std::uint32_t titleIndex)
{
    const Bytes bytes(snapshot);
    Object object;
    if (!FindObject(bytes, titleIndex, object))
        return 0;
    if (object.numInstances < 1)
        return 1;
    return InstancesIntact(bytes, object) ? object.numInstances : 0;
}

std::int32_t InstanceNames(Snapshot snapshot, std::uint32_t titleIndex, std::vector<std::wstring>& names)
{
    const Bytes bytes(snapshot);
    Object object;
    if (!FindObject(bytes, titleIndex, object))
        return 0;
    if (object.numInstances < 1)
        return 1;
    if (!InstancesIntact(bytes, object))
        return 0;
    ForEachInstance(bytes, object, [&](const Instance& instance) {
        std::wstring name;
        name.reserve((instance.nameEnd - instance.nameStart) / 2);
        for (std::size_t at = instance.nameStart; at < instance.nameEnd; at += 2)
            name.push_back(static_cast<wchar_t>(bytes.Unit(at)));
        names.push_back(std::move(name));
        return true;
    });
    return object.numInstances;
}

std::uint64_t CounterValue(Snapshot snapshot, std::uint32_t titleIndex, std::wstring_view text, Match match,
                           std::uint32_t counter, std::uint32_t counterType)
{
    const Bytes bytes(snapshot);
    std::uint64_t value = 0;
    bool found = false;
    ForEachObject(bytes, [&](const Object& object) {
        if (object.titleIndex != titleIndex || object.numInstances <= 0)
            return true;
        const CounterAt at = FindCounter(bytes, object, counter, counterType);
        bool stop = false;
        const bool intact = ForEachInstance(bytes, object, [&](const Instance& instance) {
            if (!Names(bytes, instance, text, match))
                return true;
            switch (ReadCounter(bytes, at, instance, value)) {
            case Lookup::kFound:
                found = true;
                stop = true;
                return false;
            case Lookup::kDamaged:
                stop = true;
                return false;
            case Lookup::kNotHere:
                return true;
            }
            return true;
        });
        return intact && !stop;
    });
    return found ? value : 0;
}

}  // namespace perfwalk
