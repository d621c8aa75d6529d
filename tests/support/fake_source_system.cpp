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
