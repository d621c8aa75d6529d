#include "sources/source_system.h"

#include <dbt.h>

#include <cstddef>

#include "common/win_handles.h"

namespace {

SourceSystem g_realSystem;
SourceSystem* g_current = &g_realSystem;
HWND g_notificationWindow = nullptr;

constexpr wchar_t kPerfDiskKey[] = L"SYSTEM\\CurrentControlSet\\Services\\PerfDisk\\Performance";

}  // namespace

LONG SourceSystem::QueryPerformanceData(std::uint8_t* buffer, DWORD* size)
{
    return RegQueryValueExW(HKEY_PERFORMANCE_DATA, L"234 236", nullptr, nullptr, buffer, size);
}

void SourceSystem::ClosePerformanceData()
{
    RegCloseKey(HKEY_PERFORMANCE_DATA);
}

bool SourceSystem::ReadDisablePerformanceCounters(DWORD* value)
{
    RegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPerfDiskKey, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return false;
    DWORD number = 0;
    DWORD size = sizeof number;
    if (RegQueryValueExW(key.Get(), L"Disable Performance Counters", nullptr, nullptr, reinterpret_cast<BYTE*>(&number),
                         &size) != ERROR_SUCCESS)
        return false;
    *value = number;
    return true;
}

bool SourceSystem::GetVolumeName(const std::wstring& root, std::wstring* volumeName)
{
    wchar_t name[1024] = {};
    wchar_t fileSystem[1024] = {};
    DWORD serial = 0, maxComponent = 0, flags = 0;
    if (!GetVolumeInformationW(root.c_str(), name, 1024, &serial, &maxComponent, &flags, fileSystem, 1024))
        return false;
    name[1023] = L'\0';
    volumeName->assign(name);
    return true;
}

HANDLE SourceSystem::OpenDevice(const std::wstring& path)
{
    // No access asked: IOCTL_DISK_PERFORMANCE needs none, and reading a disk
    // or a volume needs administrator rights.
    const HANDLE device = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    return device == INVALID_HANDLE_VALUE ? nullptr : device;
}

bool SourceSystem::QueryDiskPerformance(HANDLE device, DISK_PERFORMANCE* statistics)
{
    DWORD returned = 0;
    return DeviceIoControl(device, IOCTL_DISK_PERFORMANCE, nullptr, 0, statistics, sizeof *statistics, &returned,
                           nullptr) &&
           returned >= offsetof(DISK_PERFORMANCE, QueueDepth) + sizeof statistics->QueueDepth;
}

void SourceSystem::CloseDevice(HANDLE device)
{
    if (device)
        CloseHandle(device);
}

HDEVNOTIFY SourceSystem::WatchDevice(HANDLE device)
{
    if (!device || !g_notificationWindow)
        return nullptr;
    DEV_BROADCAST_HANDLE filter{};
    filter.dbch_size = sizeof filter;
    filter.dbch_devicetype = DBT_DEVTYP_HANDLE;
    filter.dbch_handle = device;
    return RegisterDeviceNotificationW(g_notificationWindow, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

void SourceSystem::UnwatchDevice(HDEVNOTIFY notification)
{
    if (notification)
        UnregisterDeviceNotification(notification);
}

void SetDeviceNotificationWindow(HWND window)
{
    g_notificationWindow = window;
}

SourceSystem& CurrentSourceSystem()
{
    return *g_current;
}

ScopedSourceSystem::ScopedSourceSystem(SourceSystem& replacement) : previous_(g_current)
{
    g_current = &replacement;
}

ScopedSourceSystem::~ScopedSourceSystem()
{
    g_current = previous_;
}
