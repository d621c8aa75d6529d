#include "tests/support/fake_source_system.h"

#include <malloc.h>

LONG FakeSourceSystem::QueryPerformanceData(std::uint8_t* buffer, DWORD* size)
{
    ++queries;
    offered.push_back(*size);
    allocated.push_back(_msize(buffer));
    if (failWith != ERROR_SUCCESS) {
        if (writeDataOnFailure)
            std::memcpy(buffer, data.data(), std::min<std::size_t>(data.size(), *size));
        return failWith;
    }
    if (data.size() > *size) {
        *size = sizeAfterMoreData;
        return ERROR_MORE_DATA;
    }
    std::memcpy(buffer, data.data(), data.size());
    *size = static_cast<DWORD>(data.size());
    return ERROR_SUCCESS;
}

bool FakeSourceSystem::ReadDisablePerformanceCounters(DWORD* value)
{
    ++disableReads;
    if (!disableCounters)
        return false;
    *value = *disableCounters;
    return true;
}

bool FakeSourceSystem::GetVolumeName(const std::wstring& root, std::wstring* volumeName)
{
    volumeRoots.push_back(root);
    const auto found = volumes.find(root);
    if (found == volumes.end())
        return false;
    *volumeName = found->second;
    return true;
}

HANDLE FakeSourceSystem::OpenDevice(const std::wstring& path)
{
    openedPaths.push_back(path);
    const auto found = devices.find(path);
    if (found == devices.end() || !found->second.opens)
        return nullptr;
    handles_.push_back(path);
    ++openHandles;
    return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(handles_.size()));
}

bool FakeSourceSystem::QueryDiskPerformance(HANDLE device, DISK_PERFORMANCE* statistics)
{
    const auto index = reinterpret_cast<std::uintptr_t>(device);
    if (index == 0 || index > handles_.size())
        return false;
    const auto found = devices.find(handles_[index - 1]);
    if (found == devices.end())
        return false;  // the device went away
    ++found->second.queries;
    if (!found->second.answers)
        return false;
    *statistics = found->second.statistics;
    return true;
}

void FakeSourceSystem::CloseDevice(HANDLE device)
{
    if (device)
        --openHandles;
}
