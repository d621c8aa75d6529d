#include "tools/perfprov/disk_objects.h"

#include <cstring>

#include "sources/perf_layout.h"

namespace {

using namespace perflayout;

// Counter types of the neighbours (the published values).
constexpr std::uint32_t kRawCount = 0x00010000;      // PERF_COUNTER_RAWCOUNT
constexpr std::uint32_t kBulkCount = 0x10410500;     // PERF_COUNTER_BULK_COUNT
constexpr std::uint32_t kAverageTimer = 0x30020400;  // PERF_AVERAGE_TIMER
constexpr std::uint32_t kDetailNovice = 100;
constexpr std::uint32_t kNoUniqueId = 0xFFFFFFFFu;

struct CounterSpec {
    std::uint32_t index;
    std::uint32_t type;
    std::uint32_t size;
    std::uint64_t (*value)(const DiskCounters&);
};

std::uint64_t Transfers(const DiskCounters& c)
{
    return std::uint64_t{c.reads} + c.writes;
}

std::uint64_t BytesMoved(const DiskCounters& c)
{
    return c.bytesRead + c.bytesWritten;
}

// In the order the system's disk provider serves them. Each average counter is
// followed by its base, which carries the same title index.
constexpr CounterSpec kCounters[] = {
    {198, kRawCount, 4, [](const DiskCounters& c) -> std::uint64_t { return c.inFlight; }},
    {kAvgDiskQueueLength, kPerfCounter100nsQueueLen, 8, [](const DiskCounters& c) { return c.queue; }},
    {kAvgDiskReadQueueLength, kPerfCounter100nsQueueLen, 8, [](const DiskCounters& c) { return c.readQueue; }},
    {kAvgDiskWriteQueueLength, kPerfCounter100nsQueueLen, 8, [](const DiskCounters& c) { return c.writeQueue; }},
    {206, kAverageTimer, 4, [](const DiskCounters& c) { return (c.readQueue + c.writeQueue) / 10000; }},
    {206, kPerfAverageBase, 4, Transfers},
    {212, kPerfCounterCounter, 4, Transfers},
    {kDiskReadsPerSec, kPerfCounterCounter, 4, [](const DiskCounters& c) -> std::uint64_t { return c.reads; }},
    {kDiskWritesPerSec, kPerfCounterCounter, 4, [](const DiskCounters& c) -> std::uint64_t { return c.writes; }},
    {218, kBulkCount, 8, BytesMoved},
    {220, kBulkCount, 8, [](const DiskCounters& c) { return c.bytesRead; }},
    {222, kBulkCount, 8, [](const DiskCounters& c) { return c.bytesWritten; }},
    {224, kPerfAverageBulk, 8, BytesMoved},
    {224, kPerfAverageBase, 4, Transfers},
    {kAvgDiskBytesPerRead, kPerfAverageBulk, 8, [](const DiskCounters& c) { return c.bytesRead; }},
    {kAvgDiskBytesPerRead, kPerfAverageBase, 4, [](const DiskCounters& c) -> std::uint64_t { return c.reads; }},
    {kAvgDiskBytesPerWrite, kPerfAverageBulk, 8, [](const DiskCounters& c) { return c.bytesWritten; }},
    {kAvgDiskBytesPerWrite, kPerfAverageBase, 4, [](const DiskCounters& c) -> std::uint64_t { return c.writes; }},
};
constexpr std::uint32_t kCounterCount = sizeof kCounters / sizeof kCounters[0];
constexpr std::uint32_t kDefaultCounter = 1;  // 1400

constexpr std::size_t Align8(std::size_t n)
{
    return (n + 7) & ~std::size_t{7};
}

class Writer {
public:
    explicit Writer(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
    std::size_t Grow(std::size_t size)
    {
        const std::size_t at = bytes_.size();
        bytes_.resize(at + size, 0);
        return at;
    }
    void Put32(std::size_t at, std::uint32_t value) { std::memcpy(&bytes_[at], &value, 4); }
    void Put64(std::size_t at, std::uint64_t value) { std::memcpy(&bytes_[at], &value, 8); }
    void PutName(std::size_t at, const std::u16string& name)
    {
        for (std::size_t i = 0; i < name.size(); ++i) {
            const std::uint16_t unit = name[i];
            std::memcpy(&bytes_[at + 2 * i], &unit, 2);
        }
    }

private:
    std::vector<std::uint8_t>& bytes_;
};

struct BlockLayout {
    std::uint32_t offsets[kCounterCount] = {};
    std::uint32_t length = 0;
};

// Values follow the block's length field, each aligned to its size.
BlockLayout LayOutCounterBlock()
{
    BlockLayout layout;
    std::uint32_t offset = kCounterBlockSize;
    for (std::uint32_t i = 0; i < kCounterCount; ++i) {
        const std::uint32_t size = kCounters[i].size;
        offset = (offset + size - 1) / size * size;
        layout.offsets[i] = offset;
        offset += size;
    }
    layout.length = static_cast<std::uint32_t>(Align8(offset));
    return layout;
}

void AppendCounterBlock(Writer& out, const BlockLayout& layout, const DiskCounters& counters)
{
    const std::size_t block = out.Grow(layout.length);
    out.Put32(block + kCounterBlockByteLength, layout.length);
    for (std::uint32_t i = 0; i < kCounterCount; ++i) {
        const std::uint64_t value = kCounters[i].value(counters);
        if (kCounters[i].size == 8)
            out.Put64(block + layout.offsets[i], value);
        else
            out.Put32(block + layout.offsets[i], static_cast<std::uint32_t>(value));
    }
}

void AppendInstance(Writer& out, const BlockLayout& layout, const DiskInstance& instance, std::uint32_t parentObject)
{
    const std::size_t nameBytes = 2 * (instance.name.size() + 1);
    const std::size_t length = Align8(kInstanceSize + nameBytes);
    const std::size_t at = out.Grow(length);
    out.Put32(at + kInstanceByteLength, static_cast<std::uint32_t>(length));
    if (instance.parent >= 0 && parentObject != 0) {
        out.Put32(at + kInstanceParentObjectTitleIndex, parentObject);
        out.Put32(at + kInstanceParentObjectInstance, static_cast<std::uint32_t>(instance.parent));
    }
    out.Put32(at + kInstanceUniqueId, kNoUniqueId);
    out.Put32(at + kInstanceNameOffset, kInstanceSize);
    out.Put32(at + kInstanceNameLength, static_cast<std::uint32_t>(nameBytes));
    out.PutName(at + kInstanceSize, instance.name);
    AppendCounterBlock(out, layout, instance.counters);
}

void AppendObject(std::vector<std::uint8_t>& bytes, std::uint32_t index, std::uint32_t parentObject,
                  const std::vector<DiskInstance>& instances, ObjectTiming timing)
{
    Writer out(bytes);
    const std::size_t start = out.Grow(kObjectSize);
    for (const CounterSpec& counter : kCounters) {
        const std::size_t def = out.Grow(kCounterDefinitionSize);
        out.Put32(def + kCounterByteLength, kCounterDefinitionSize);
        out.Put32(def + kCounterNameTitleIndex, counter.index);
        out.Put32(def + kCounterHelpTitleIndex, counter.index + 1);
        out.Put32(def + kCounterDetailLevel, kDetailNovice);
        out.Put32(def + kCounterType, counter.type);
        out.Put32(def + kCounterSize, counter.size);
    }
    const BlockLayout layout = LayOutCounterBlock();
    for (std::uint32_t i = 0; i < kCounterCount; ++i)
        out.Put32(start + kObjectSize + i * kCounterDefinitionSize + kCounterOffset, layout.offsets[i]);
    const std::size_t definitionLength = bytes.size() - start;

    bool hasTotal = false;
    for (const DiskInstance& instance : instances) {
        AppendInstance(out, layout, instance, parentObject);
        hasTotal = hasTotal || instance.name == u"_Total";
    }
    if (!hasTotal)
        AppendInstance(out, layout, {u"_Total", SumCounters(instances), -1}, 0);
    const std::size_t numInstances = instances.size() + (hasTotal ? 0 : 1);

    out.Put32(start + kObjectTotalByteLength, static_cast<std::uint32_t>(bytes.size() - start));
    out.Put32(start + kObjectDefinitionLength, static_cast<std::uint32_t>(definitionLength));
    out.Put32(start + kObjectHeaderLength, kObjectSize);
    out.Put32(start + kObjectNameTitleIndex, index);
    out.Put32(start + kObjectHelpTitleIndex, index + 1);
    out.Put32(start + kObjectDetailLevel, kDetailNovice);
    out.Put32(start + kObjectNumCounters, kCounterCount);
    out.Put32(start + kObjectDefaultCounter, kDefaultCounter);
    out.Put32(start + kObjectNumInstances, static_cast<std::uint32_t>(numInstances));
    out.Put64(start + kObjectPerfTime, static_cast<std::uint64_t>(timing.perfTime));
    out.Put64(start + kObjectPerfFreq, static_cast<std::uint64_t>(timing.perfFreq));
}

bool SameWord(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char16_t x = a[i] >= u'a' && a[i] <= u'z' ? a[i] - 32 : a[i];
        const char16_t y = b[i] >= u'a' && b[i] <= u'z' ? b[i] - 32 : b[i];
        if (x != y)
            return false;
    }
    return true;
}

}  // namespace

DiskCounters SumCounters(const std::vector<DiskInstance>& instances)
{
    DiskCounters sum;
    for (const DiskInstance& instance : instances) {
        const DiskCounters& c = instance.counters;
        sum.queue += c.queue;
        sum.readQueue += c.readQueue;
        sum.writeQueue += c.writeQueue;
        sum.reads += c.reads;
        sum.writes += c.writes;
        sum.bytesRead += c.bytesRead;
        sum.bytesWritten += c.bytesWritten;
        sum.inFlight += c.inFlight;
    }
    return sum;
}

void LinkParentsByName(DiskSet& set)
{
    for (DiskInstance& logical : set.logical) {
        logical.parent = -1;
        for (std::size_t p = 0; p < set.physical.size() && logical.parent < 0; ++p) {
            std::u16string_view words = set.physical[p].name;
            while (!words.empty()) {
                const std::size_t blank = words.find(u' ');
                if (words.substr(0, blank) == logical.name) {
                    logical.parent = static_cast<std::int32_t>(p);
                    break;
                }
                words = blank == std::u16string_view::npos ? std::u16string_view() : words.substr(blank + 1);
            }
        }
    }
}

ObjectRequest ParseQuery(std::u16string_view query)
{
    ObjectRequest request;
    bool anyWord = false;
    while (!query.empty()) {
        const std::size_t blank = query.find(u' ');
        const std::u16string_view word = query.substr(0, blank);
        query = blank == std::u16string_view::npos ? std::u16string_view() : query.substr(blank + 1);
        if (word.empty())
            continue;
        anyWord = true;
        if (SameWord(word, u"Global")) {
            request.physical = request.logical = true;
        } else if (word == u"234") {
            request.physical = true;
        } else if (word == u"236") {
            request.logical = true;
        }
    }
    if (!anyWord)
        request.physical = request.logical = true;
    return request;
}

std::vector<std::uint8_t> BuildDiskObjects(const DiskSet& set, ObjectRequest request, ObjectTiming timing,
                                           std::uint32_t* objectCount)
{
    std::vector<std::uint8_t> bytes;
    std::uint32_t count = 0;
    if (request.physical) {
        AppendObject(bytes, kPhysicalDiskObject, 0, set.physical, timing);
        ++count;
    }
    if (request.logical) {
        AppendObject(bytes, kLogicalDiskObject, kPhysicalDiskObject, set.logical, timing);
        ++count;
    }
    if (objectCount)
        *objectCount = count;
    return bytes;
}
