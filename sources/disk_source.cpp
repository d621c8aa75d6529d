#include "sources/disk_source.h"

#include <algorithm>

#include "common/live_counts.h"
#include "sources/source_system.h"

void DeviceHandle::Reset(HANDLE device)
{
    if (device_) {
        CurrentSourceSystem().CloseDevice(device_);
        --Live().handles;
    }
    device_ = device;
    if (device_)
        ++Live().handles;
}

void DeviceWatch::Reset(HDEVNOTIFY watch)
{
    if (watch_) {
        CurrentSourceSystem().UnwatchDevice(watch_);
        --Live().deviceWatches;
    }
    watch_ = watch;
    if (watch_)
        ++Live().deviceWatches;
}

CHardDiskIndicatorInfo::~CHardDiskIndicatorInfo() = default;

bool CHardDiskIndicatorInfo::Open()
{
    if (!entry || device_)
        return true;
    SourceSystem& system = CurrentSourceSystem();
    device_.Reset(system.OpenDevice(entry->devicePath));
    if (device_)
        watch_.Reset(system.WatchDevice(device_.Get()));
    return true;
}

bool CHardDiskIndicatorInfo::Close()
{
    device_.Reset();
    watch_.Reset();
    return true;
}

bool CHardDiskIndicatorInfo::DeviceRemovalQueried(HDEVNOTIFY notification)
{
    if (!Watches(notification))
        return false;
    // The registration stays: a removal that fails is told through it.
    device_.Reset();
    return true;
}

bool CHardDiskIndicatorInfo::DeviceRemovalFailed(HDEVNOTIFY notification)
{
    if (!Watches(notification))
        return false;
    Close();
    Open();
    return true;
}

bool CHardDiskIndicatorInfo::DeviceRemoved(HDEVNOTIFY notification)
{
    if (!Watches(notification))
        return false;
    Close();  // the handle and its notification: the device is going
    return true;
}

bool CHardDiskIndicatorInfo::Query(DISK_PERFORMANCE& statistics) const
{
    statistics = {};
    return device_ && CurrentSourceSystem().QueryDiskPerformance(device_.Get(), &statistics);
}

std::uint32_t CHardDiskIndicatorInfo::Sample()
{
    DISK_PERFORMANCE d;
    if (!Query(d)) {
        state = 0;
        return 0;
    }
    Tally(d);
    history.Take(answeredAt, movedRead, movedWritten);
    if (lastReadCount == kNoSample)
        lastReadCount = d.ReadCount;
    if (lastWriteCount == kNoSample)
        lastWriteCount = d.WriteCount;
    std::uint32_t reads = d.ReadCount - lastReadCount;
    const std::uint32_t writes = d.WriteCount - lastWriteCount;
    lastReadCount = d.ReadCount;
    lastWriteCount = d.WriteCount;
    if (reads == 0 && writes == 0)
        reads = d.QueueDepth;  // busy with requests that have not completed yet
    state = std::min<std::uint32_t>(reads, 0xFFFF) << 16 | std::min<std::uint32_t>(writes, 0xFFFF);
    return state;
}

void CHardDiskIndicatorInfo::Tally(const DISK_PERFORMANCE& d)
{
    const auto bytesRead = static_cast<std::uint64_t>(d.BytesRead.QuadPart);
    const auto bytesWritten = static_cast<std::uint64_t>(d.BytesWritten.QuadPart);
    if (tallied_) {
        movedRead += bytesRead >= bytesRead_ ? bytesRead - bytesRead_ : 0;
        movedWritten += bytesWritten >= bytesWritten_ ? bytesWritten - bytesWritten_ : 0;
    }
    tallied_ = true;
    bytesRead_ = bytesRead;
    bytesWritten_ = bytesWritten;
    answeredAt = static_cast<std::uint64_t>(d.QueryTime.QuadPart);
}

std::wstring CHardDiskIndicatorInfo::GetName()
{
    return {};
}

std::wstring CHardDiskIndicatorInfo::Text()
{
    if (!entry || (entry->kind != kKindPhysicalDrive && entry->kind != kKindLogicalDisk))
        return {};
    DISK_PERFORMANCE d;
    Query(d);  // zero totals when the device does not answer
    const auto bytesRead = static_cast<std::uint64_t>(d.BytesRead.QuadPart);
    const auto bytesWritten = static_cast<std::uint64_t>(d.BytesWritten.QuadPart);
    std::wstring text = entry->displayName;
    if (entry->kind == kKindPhysicalDrive)
        text += L" - " + entry->model + L"\r\n";
    else
        text += L" \r\n";
    text += L" Data Read: " + recordtext::ByteSize(bytesRead) + L" " + recordtext::ExactNumber(bytesRead);
    text += L" \tData Write: " + recordtext::ByteSize(bytesWritten) + L" " + recordtext::ExactNumber(bytesWritten);
    return text;
}

bool CHardDiskIndicatorInfo::GetText(wchar_t* buffer, std::size_t capacity)
{
    recordtext::CopyBounded(Text(), buffer, capacity);
    return true;
}

CAllInOneIndicatorInfo::~CAllInOneIndicatorInfo() = default;

bool CAllInOneIndicatorInfo::Open()
{
    for (IndicatorEntry& indicator : indicators_) {
        if (indicator.kind != kKindPhysicalDrive)
            continue;
        auto child = std::make_unique<CHardDiskIndicatorInfo>();
        child->entry = &indicator;
        child->Open();
        children.push_back(std::move(child));  // kept even when its device did not open
    }
    return true;
}

bool CAllInOneIndicatorInfo::Close()
{
    for (auto& child : children)
        child->Close();
    children.clear();
    return true;
}

bool CAllInOneIndicatorInfo::DeviceRemovalQueried(HDEVNOTIFY notification)
{
    for (auto& child : children) {
        if (child->DeviceRemovalQueried(notification))
            return true;
    }
    return false;
}

bool CAllInOneIndicatorInfo::DeviceRemoved(HDEVNOTIFY notification)
{
    for (auto& child : children) {
        if (child->DeviceRemoved(notification))
            return true;
    }
    return false;
}

bool CAllInOneIndicatorInfo::DeviceRemovalFailed(HDEVNOTIFY notification)
{
    for (auto& child : children) {
        if (child->DeviceRemovalFailed(notification))
            return true;
    }
    return false;
}

std::uint32_t CAllInOneIndicatorInfo::Sample()
{
    std::uint32_t x = 0;
    std::uint64_t read = 0, written = 0, at = 0;
    for (auto& child : children) {
        x |= child->Sample();
        read += child->movedRead;
        written += child->movedWritten;
        at = std::max(at, child->answeredAt);
    }
    if (at != 0)  // a child has answered
        history.Take(at, read, written);
    state = x;
    return x;
}

bool CAllInOneIndicatorInfo::GetText(wchar_t* buffer, std::size_t capacity)
{
    std::wstring text = entry ? entry->displayName : std::wstring();
    text += L"\r\n";
    for (auto& child : children)
        text += child->Text() + L"\r\n";
    recordtext::CopyBounded(text, buffer, capacity);
    return true;
}
