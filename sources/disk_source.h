#pragma once
// The direct sources, used when the system's disk counters are switched off:
// each device is asked for its own statistics (IOCTL_DISK_PERFORMANCE).
#include <windows.h>
#include <winioctl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sources/performance_data.h"

// A device opened through the sources' seam, closed through it.
class DeviceHandle {
public:
    DeviceHandle() = default;
    ~DeviceHandle() { Reset(); }
    DeviceHandle(const DeviceHandle&) = delete;
    DeviceHandle& operator=(const DeviceHandle&) = delete;

    HANDLE Get() const { return device_; }
    explicit operator bool() const { return device_ != nullptr; }
    void Reset(HANDLE device = nullptr);

private:
    HANDLE device_ = nullptr;
};

// The notifications registered for a device's handle, unregistered with it.
class DeviceWatch {
public:
    DeviceWatch() = default;
    ~DeviceWatch() { Reset(); }
    DeviceWatch(const DeviceWatch&) = delete;
    DeviceWatch& operator=(const DeviceWatch&) = delete;

    HDEVNOTIFY Get() const { return watch_; }
    void Reset(HDEVNOTIFY watch = nullptr);

private:
    HDEVNOTIFY watch_ = nullptr;
};

// One physical drive or one logical disk.
class CHardDiskIndicatorInfo : public performance_data {
public:
    CHardDiskIndicatorInfo() = default;
    ~CHardDiskIndicatorInfo() override;

    // The reads completed since the last sample in the high 16 bits and the
    // writes in the low 16 bits, each at most 0xFFFF (counts wrap around);
    // requests still outstanding while none completed count as reads. A
    // device that does not answer counts as no change.
    std::uint32_t Sample() override;
    bool GetText(wchar_t* buffer, std::size_t capacity) override;
    std::wstring GetName() override;
    // Opens the device and registers for its handle's notifications; Close
    // releases both.
    bool Open() override;
    bool Close() override;
    bool DeviceRemovalQueried(HDEVNOTIFY notification) override;
    bool DeviceRemovalFailed(HDEVNOTIFY notification) override;
    bool DeviceRemoved(HDEVNOTIFY notification) override;

    // The statistics text, fresh from the device.
    std::wstring Text();

    // The open device, or null.
    HANDLE Device() const { return device_.Get(); }

    static constexpr std::uint32_t kNoSample = 0xFFFFFFFF;
    std::uint32_t lastReadCount = kNoSample;
    std::uint32_t lastWriteCount = kNoSample;

    // The bytes read and written since the device first answered (a total
    // that went down adds nothing), and the time of its last answer.
    std::uint64_t movedRead = 0;
    std::uint64_t movedWritten = 0;
    std::uint64_t answeredAt = 0;

private:
    bool Query(DISK_PERFORMANCE& statistics) const;
    void Tally(const DISK_PERFORMANCE& statistics);
    bool Watches(HDEVNOTIFY notification) const { return watch_.Get() && notification == watch_.Get(); }

    DeviceWatch watch_;    // the device handle's notifications
    DeviceHandle device_;  // closed before its notifications go
    bool tallied_ = false;
    std::uint64_t bytesRead_ = 0;
    std::uint64_t bytesWritten_ = 0;
};

// The all-in-one indicator: one child per physical drive of the list.
class CAllInOneIndicatorInfo : public CHardDiskIndicatorInfo {
public:
    explicit CAllInOneIndicatorInfo(IndicatorList& indicators) : indicators_(indicators) {}
    ~CAllInOneIndicatorInfo() override;

    // The OR of every child's state; the history takes the children's bytes
    // together at the latest answer.
    std::uint32_t Sample() override;
    bool GetText(wchar_t* buffer, std::size_t capacity) override;
    bool Open() override;
    bool Close() override;
    bool DeviceRemovalQueried(HDEVNOTIFY notification) override;
    bool DeviceRemovalFailed(HDEVNOTIFY notification) override;
    bool DeviceRemoved(HDEVNOTIFY notification) override;

    std::vector<std::unique_ptr<CHardDiskIndicatorInfo>> children;

private:
    IndicatorList& indicators_;
};
