#include "sources/counter_source.h"

#include <algorithm>
#include <cwchar>
#include <limits>

#include "sources/perf_layout.h"
#include "sources/registry_access.h"

namespace {

using namespace perflayout;

struct SlotDefinition {
    CRegistryAccessIndicator::Slot slot;
    std::uint32_t counter;
    std::uint32_t type;
};

constexpr SlotDefinition kDefinitions[] = {
    {CRegistryAccessIndicator::kQueueTotal, kAvgDiskQueueLength, kPerfCounter100nsQueueLen},
    {CRegistryAccessIndicator::kBytesRead, kAvgDiskBytesPerRead, kPerfAverageBulk},
    {CRegistryAccessIndicator::kBytesWritten, kAvgDiskBytesPerWrite, kPerfAverageBulk},
    {CRegistryAccessIndicator::kReads, kDiskReadsPerSec, kPerfCounterCounter},
    {CRegistryAccessIndicator::kWrites, kDiskWritesPerSec, kPerfCounterCounter},
    {CRegistryAccessIndicator::kReadQueueSecond, kAvgDiskReadQueueLength, kPerfCounter100nsQueueLen},
    {CRegistryAccessIndicator::kWriteQueueSecond, kAvgDiskWriteQueueLength, kPerfCounter100nsQueueLen},
    {CRegistryAccessIndicator::kReadQueueTick, kAvgDiskReadQueueLength, kPerfCounter100nsQueueLen},
    {CRegistryAccessIndicator::kWriteQueueTick, kAvgDiskWriteQueueLength, kPerfCounter100nsQueueLen},
};

// A rate as a whole number, 0 for anything that is not a positive number.
std::uint64_t WholeRate(double rate, double limit)
{
    if (!(rate > 0))
        return 0;
    return static_cast<std::uint64_t>(std::min(rate, limit));
}

constexpr double kMaxBytes = static_cast<double>(std::numeric_limits<std::int64_t>::max() / 2);
constexpr double kMaxCount = std::numeric_limits<std::uint32_t>::max();

std::wstring ThreeDecimals(double value)
{
    wchar_t text[64] = {};
    std::swprintf(text, 64, L"%3.3f", value);
    return text;
}

}  // namespace

CRegistryAccessIndicator::CRegistryAccessIndicator(DirectRegistryAccess& access) : access_(access) {}

CounterInstance CounterInstanceOf(const IndicatorEntry* entry)
{
    const std::uint32_t kind = entry ? entry->kind : 0;
    const std::wstring path = entry ? entry->devicePath : std::wstring();
    switch (kind) {
    case kKindPhysicalDrive:
        return {kPhysicalDiskObject, path.size() > 17 ? path.substr(17) : std::wstring(), perfwalk::Match::DiskNumber};
    case kKindLogicalDisk:
        return {kLogicalDiskObject, path.size() > 4 ? path.substr(4) : std::wstring(), perfwalk::Match::Whole};
    case kKindAllInOne:
        return {kPhysicalDiskObject, L"_Total", perfwalk::Match::Whole};
    default:
        return {kLogicalDiskObject, L"", perfwalk::Match::Whole};  // the empty text matches the first instance
    }
}

bool CRegistryAccessIndicator::Open()
{
    const CounterInstance instance = CounterInstanceOf(entry);
    object_ = instance.object;
    match_ = instance.match;
    CopyBounded(instance.text, instanceText_, kInstanceTextSize);
    for (const SlotDefinition& definition : kDefinitions) {
        CounterSlot& slot = slots_[definition.slot];
        slot.object = object_;
        slot.instance = instanceText_;
        slot.match = match_;
        slot.counter = definition.counter;
        slot.type = definition.type;
    }
    return true;
}

std::uint64_t CRegistryAccessIndicator::Read(const CounterSlot& slot) const
{
    return access_.GetCounterValue(slot.object, slot.instance, slot.match, slot.counter, slot.type);
}

void CRegistryAccessIndicator::Advance(Slot slot)
{
    slots_[slot].previous = slots_[slot].current;
    slots_[slot].current.value = Read(slots_[slot]);
}

void CRegistryAccessIndicator::SecondStep(std::uint64_t now)
{
    CounterSlot& reads = slots_[kReadSnapshot];
    reads.previous = reads.current;
    reads.current = {slots_[kBytesRead].current.value, now};
    CounterSlot& writes = slots_[kWriteSnapshot];
    writes.previous = writes.current;
    writes.current = {slots_[kBytesWritten].current.value, now};
    for (Slot slot : {kReadQueueSecond, kWriteQueueSecond, kReads, kWrites})
        Advance(slot);
    // The minute changes with the rates in the text, so an open tip is laid
    // out and painted once for both.
    history.Take(now, reads.current.value, writes.current.value);
}

std::uint32_t CRegistryAccessIndicator::Sample()
{
    const std::uint64_t now = access_.PerfTime100nSec();
    for (Slot slot : {kBytesRead, kBytesWritten, kReadQueueTick, kWriteQueueTick})
        Advance(slot);

    // Once a second, and at once when the clock was set back.
    const double elapsed = static_cast<double>(now) - static_cast<double>(slots_[kReadSnapshot].current.time);
    if (elapsed >= static_cast<double>(kOneSecond) || elapsed < 0)
        SecondStep(now);

    CounterSlot& queue = slots_[kQueueTotal];
    queue.current.value = Read(queue);
    if (queue.current.value == queue.previous.value)
        return 0;
    const std::uint32_t r =
        static_cast<std::uint16_t>(slots_[kReadQueueTick].current.value - slots_[kReadQueueTick].previous.value);
    const std::uint32_t w =
        static_cast<std::uint16_t>(slots_[kWriteQueueTick].current.value - slots_[kWriteQueueTick].previous.value);
    queue.previous = queue.current;
    const std::uint32_t activity = (r << 16) | w;
    return activity != 0 ? activity : 0x00010000;
}

double CRegistryAccessIndicator::Interval() const
{
    const CounterSlot& readSnapshot = slots_[kReadSnapshot];
    if (readSnapshot.current.time == 0 && readSnapshot.previous.time == 0)
        return 1;
    return static_cast<double>(readSnapshot.current.time) - static_cast<double>(readSnapshot.previous.time);
}

double CRegistryAccessIndicator::PerSecond(Slot slot, double interval) const
{
    const double growth = static_cast<double>(slots_[slot].current.value - slots_[slot].previous.value);
    return interval > 0 ? growth * kOneSecond / interval : 0.0;
}

bool CRegistryAccessIndicator::Rates(std::uint64_t& read, std::uint64_t& write)
{
    const double t = Interval();
    read = WholeRate(PerSecond(kReadSnapshot, t), kMaxBytes);
    write = WholeRate(PerSecond(kWriteSnapshot, t), kMaxBytes);
    return true;
}

std::wstring CRegistryAccessIndicator::GetName()
{
    const std::uint32_t kind = entry ? entry->kind : 0;
    switch (kind) {
    case kKindPhysicalDrive:
        return entry->model.empty() ? entry->displayName : entry->displayName + L" - " + entry->model;
    case kKindLogicalDisk:
    case kKindAllInOne:
        return entry->displayName;
    default:
        return L"Unknown storage";
    }
}

bool CRegistryAccessIndicator::GetText(wchar_t* buffer, std::size_t capacity)
{
    using recordtext::ByteSize;
    using recordtext::ExactNumber;
    using recordtext::KBSize;

    // Every figure below covers the interval between the last two
    // once-per-second steps. Before the first step the interval counts as one
    // unit, and an interval that is not positive (the clock was set back)
    // shows no rates rather than nonsense.
    const double t = Interval();
    auto growth = [this](Slot slot) {
        return static_cast<double>(slots_[slot].current.value - slots_[slot].previous.value);
    };
    auto perSecond = [&](Slot slot) { return PerSecond(slot, t); };
    auto queueLength = [&](Slot slot) { return t > 0 ? growth(slot) / t : 0.0; };

    const std::uint64_t bytesRead = slots_[kBytesRead].current.value;
    const std::uint64_t bytesWritten = slots_[kBytesWritten].current.value;

    std::wstring text;
    text.reserve(320);
    text += L"Read: " + ByteSize(bytesRead) + L" " + ExactNumber(bytesRead);
    text += L" \tWrite: " + ByteSize(bytesWritten) + L" " + ExactNumber(bytesWritten);
    text += L"\r\nRate kB/sec: " + KBSize(WholeRate(perSecond(kReadSnapshot), kMaxBytes));
    text += L"      \t\tRate kB/sec: " + KBSize(WholeRate(perSecond(kWriteSnapshot), kMaxBytes));
    text += L"\r\nRequests/sec: " + std::to_wstring(WholeRate(perSecond(kReads), kMaxCount));
    text += L"       \t\tRequests/sec: " + std::to_wstring(WholeRate(perSecond(kWrites), kMaxCount));
    text += L"\r\nQueue length/sec: " + ThreeDecimals(queueLength(kReadQueueSecond));
    text += L" \t\tQueue length/sec: " + ThreeDecimals(queueLength(kWriteQueueSecond));
    recordtext::CopyBounded(text, buffer, capacity);
    return true;
}
