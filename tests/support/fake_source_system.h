#pragma once
// A scripted replacement for the sources' operating-system seam: the
// performance-data query answers the bytes a test sets, and every call is
// recorded. Put it in force with ScopedSourceSystem.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "sources/source_system.h"

class FakeSourceSystem : public SourceSystem {
public:
    // What the next performance-data queries answer.
    std::vector<std::uint8_t> data;
    LONG failWith = ERROR_SUCCESS;        // answered instead of the data when set
    bool writeDataOnFailure = false;      // a failing query still leaves bytes behind
    DWORD sizeAfterMoreData = 0;          // what ERROR_MORE_DATA leaves in the size
    int queries = 0;
    std::vector<DWORD> offered;           // the size offered by each query
    std::vector<std::size_t> allocated;   // the real size of each buffer handed in

    std::optional<DWORD> disableCounters;  // "Disable Performance Counters"; none = missing
    int disableReads = 0;

    std::map<std::wstring, std::wstring> volumes;  // root -> volume name; others fail
    std::vector<std::wstring> volumeRoots;

    // Devices by path; a path that is not here cannot be opened.
    struct Device {
        bool opens = true;
        bool answers = true;       // IOCTL_DISK_PERFORMANCE succeeds
        DISK_PERFORMANCE statistics{};
        int queries = 0;
    };
    std::map<std::wstring, Device> devices;
    std::vector<std::wstring> openedPaths;
    int openHandles = 0;  // opened and not yet closed

    LONG QueryPerformanceData(std::uint8_t* buffer, DWORD* size) override;
    bool ReadDisablePerformanceCounters(DWORD* value) override;
    bool GetVolumeName(const std::wstring& root, std::wstring* volumeName) override;
    HANDLE OpenDevice(const std::wstring& path) override;
    bool QueryDiskPerformance(HANDLE device, DISK_PERFORMANCE* statistics) override;
    void CloseDevice(HANDLE device) override;

private:
    std::vector<std::wstring> handles_;  // handle value - 1 indexes the path
};
