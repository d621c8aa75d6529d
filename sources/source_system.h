#pragma once
// The operating-system calls of the disk activity sources, in one place so that
// tests can replace them and run the real code above. The default
// implementation makes the real Win32 calls.
#include <windows.h>

#include <cstdint>
#include <string>

class SourceSystem {
public:
    virtual ~SourceSystem() = default;

    // RegQueryValueExW(HKEY_PERFORMANCE_DATA, L"234 236", ...) into the buffer;
    // size is the in/out byte count. Answers the Win32 error code.
    virtual LONG QueryPerformanceData(std::uint8_t* buffer, DWORD* size);

    // The PerfDisk value "Disable Performance Counters" as a number of at most
    // 4 bytes; false when the key or the value cannot be read.
    virtual bool ReadDisablePerformanceCounters(DWORD* value);

    // GetVolumeInformationW for a root such as L"C:\\": the volume name, or
    // false when the volume cannot be asked (no medium, no such drive).
    virtual bool GetVolumeName(const std::wstring& root, std::wstring* volumeName);
};

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
