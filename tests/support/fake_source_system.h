#pragma once
// A scripted replacement for the sources' operating-system seam: the
// performance-data query answers the bytes a test sets, devices answer the
// statistics a test sets, and the calls are recorded. Put it in force with
// ScopedSourceSystem.
#include <malloc.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "sources/source_system.h"

class FakeSourceSystem : public SourceSystem {
public:
    std::vector<std::uint8_t> data;      // what a query answers
    LONG failWith = ERROR_SUCCESS;       // answered instead of the data when set; the data is still written
    DWORD answeredSize = 0;              // when set, the size a successful query answers instead of the true one
    std::vector<DWORD> offered;          // the size offered by each query
    std::vector<std::size_t> allocated;  // the real size of each buffer handed in
    std::map<std::wstring, std::wstring> volumes;  // root -> volume name; other roots fail
    struct Device {
        bool answers = true;  // IOCTL_DISK_PERFORMANCE succeeds
        DISK_PERFORMANCE statistics{};
        int queries = 0;
        HDEVNOTIFY watch = nullptr;  // the registration for its handle, while there is one
    };
    std::map<std::wstring, Device> devices;  // a path that is not here cannot be opened
    int openHandles = 0, watches = 0, closes = 0;
    std::vector<HANDLE> closed;

    LONG QueryPerformanceData(std::uint8_t* buffer, DWORD* size) override
    {
        offered.push_back(*size);
        allocated.push_back(_msize(buffer));
        if (offered.size() > 1000)
            return ERROR_ACCESS_DENIED;  // a reader that never stops asking fails instead of hanging
        std::memcpy(buffer, data.data(), std::min<std::size_t>(data.size(), *size));
        if (failWith != ERROR_SUCCESS)
            return failWith;
        if (data.size() > *size) {
            *size = 0;  // the size as Wine leaves it
            return ERROR_MORE_DATA;
        }
        *size = answeredSize ? answeredSize : static_cast<DWORD>(data.size());
        return ERROR_SUCCESS;
    }
    void ClosePerformanceData() override { ++closes; }
    bool ReadDisablePerformanceCounters(DWORD*) override { return false; }  // the value is missing
    bool GetVolumeName(const std::wstring& root, std::wstring* volumeName) override
    {
        if (!volumes.count(root))
            return false;
        *volumeName = volumes[root];
        return true;
    }
    HANDLE OpenDevice(const std::wstring& path) override
    {
        openHandles += devices.count(path) != 0;
        return devices.count(path) ? &devices[path] : nullptr;  // map entries never move
    }
    bool QueryDiskPerformance(HANDLE device, DISK_PERFORMANCE* statistics) override
    {
        Device& found = *static_cast<Device*>(device);
        ++found.queries;
        if (found.answers)
            *statistics = found.statistics;
        return found.answers;
    }
    void CloseDevice(HANDLE device) override
    {
        --openHandles;
        closed.push_back(device);
    }
    HDEVNOTIFY WatchDevice(HANDLE device) override
    {
        ++watches;
        return static_cast<Device*>(device)->watch = reinterpret_cast<HDEVNOTIFY>(++lastWatch);
    }
    void UnwatchDevice(HDEVNOTIFY notification) override
    {
        --watches;
        for (auto& [path, device] : devices)
            device.watch = device.watch == notification ? nullptr : device.watch;
    }
    std::uintptr_t lastWatch = 0x100;
};
