#pragma once
// The operating-system calls of the disk activity sources, in one place so that
// tests can replace them and run the real code above. The default
// implementation makes the real Win32 calls.
#include <windows.h>
#include <winioctl.h>

#include <cstdint>
#include <string>
#include <vector>

class SourceSystem {
public:
    virtual ~SourceSystem() = default;

    // RegQueryValueExW(HKEY_PERFORMANCE_DATA, L"234 236", ...) into the buffer;
    // size is the in/out byte count. Answers the Win32 error code.
    virtual LONG QueryPerformanceData(std::uint8_t* buffer, DWORD* size);

    // RegCloseKey(HKEY_PERFORMANCE_DATA): the system drops what it cached for
    // the query and frees the performance libraries it loaded, so that the
    // next query asks them afresh (a disk plugged in since is listed).
    virtual void ClosePerformanceData();

    // The PerfDisk value "Disable Performance Counters" as a number of at most
    // 4 bytes; false when the key or the value cannot be read.
    virtual bool ReadDisablePerformanceCounters(DWORD* value);

    // GetVolumeInformationW for a root such as L"C:\\": the volume name, or
    // false when the volume cannot be asked (no medium, no such drive).
    virtual bool GetVolumeName(const std::wstring& root, std::wstring* volumeName);

    // CreateFileW with no access asked (what IOCTL_DISK_PERFORMANCE needs, and
    // any user may have), read and write sharing: a device such as
    // \\.\PHYSICALDRIVE0 or \\.\C:. Null when it cannot be opened.
    virtual HANDLE OpenDevice(const std::wstring& path);

    // IOCTL_DISK_PERFORMANCE on an open device; false when the device does not
    // answer (removed, or the control code is not supported).
    virtual bool QueryDiskPerformance(HANDLE device, DISK_PERFORMANCE* statistics);

    virtual void CloseDevice(HANDLE device);

    // RegisterDeviceNotificationW for an open device's handle
    // (DBT_DEVTYP_HANDLE), told to the window SetDeviceNotificationWindow
    // named; null when none can be registered.
    virtual HDEVNOTIFY WatchDevice(HANDLE device);
    // UnregisterDeviceNotification.
    virtual void UnwatchDevice(HDEVNOTIFY notification);
};

// The window that hears of the devices the sources hold (the worker window):
// a removal is asked there before it happens.
void SetDeviceNotificationWindow(HWND window);

// The seam in force: the real system unless a test put another in place.
SourceSystem& CurrentSourceSystem();

// Puts a replacement in force for its lifetime (tests).
class ScopedSourceSystem {
public:
    explicit ScopedSourceSystem(SourceSystem& replacement);
    ~ScopedSourceSystem();
    ScopedSourceSystem(const ScopedSourceSystem&) = delete;
    ScopedSourceSystem& operator=(const ScopedSourceSystem&) = delete;

private:
    SourceSystem* previous_;
};
