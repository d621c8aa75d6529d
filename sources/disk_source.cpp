#include "sources/disk_source.h"

#include "sources/source_system.h"

CHardDiskIndicatorInfo::~CHardDiskIndicatorInfo()
{
    if (device)
        CurrentSourceSystem().CloseDevice(device);
}

bool CHardDiskIndicatorInfo::Open()
{
    if (entry && !device)
        device = CurrentSourceSystem().OpenDevice(entry->devicePath);
    return true;
}

bool CHardDiskIndicatorInfo::Close()
{
    if (device)
        CurrentSourceSystem().CloseDevice(device);
    device = nullptr;
    return true;
}

bool CHardDiskIndicatorInfo::Query(DISK_PERFORMANCE& statistics) const
{
    statistics = {};
    return device && CurrentSourceSystem().QueryDiskPerformance(device, &statistics);
}

std::uint32_t CHardDiskIndicatorInfo::Sample()
{
    DISK_PERFORMANCE d;
    if (!Query(d)) {
        state = 0;
        return 0;
    }
    if (lastReadCount == kNoSample)
        lastReadCount = d.ReadCount;
    std::uint32_t x = (d.ReadCount - lastReadCount) | d.QueueDepth;
    lastReadCount = d.ReadCount;
    if (lastWriteCount == kNoSample)
        lastWriteCount = d.WriteCount;
    x |= d.WriteCount - lastWriteCount;
    lastWriteCount = d.WriteCount;
    state = x;
    return x;
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

CAllInOneIndicatorInfo::~CAllInOneIndicatorInfo()
{
    Close();
}

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

std::uint32_t CAllInOneIndicatorInfo::Sample()
{
    std::uint32_t x = 0;
    for (auto& child : children)
        x |= child->Sample();
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
