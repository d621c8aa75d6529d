#pragma once
// The operating-system calls of the process I/O sampler, in one place so that
// tests can replace them and run the real code above: the process snapshot,
// opening a process and reading its I/O counters and creation time, and the
// performance counter. The default implementation makes the real Win32 calls.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdint>

class ProcessSystem {
public:
    virtual ~ProcessSystem() = default;

    // CreateToolhelp32Snapshot of the processes; null when it cannot be made.
    virtual HANDLE CreateProcessSnapshot();
    // Process32FirstW and Process32NextW; the caller sets entry->dwSize.
    virtual bool FirstProcess(HANDLE snapshot, PROCESSENTRY32W* entry);
    virtual bool NextProcess(HANDLE snapshot, PROCESSENTRY32W* entry);

    // OpenProcess for limited information, not inheritable; null when the
    // process cannot be opened (ended, or not ours to ask).
    virtual HANDLE OpenProcessForQuery(DWORD processId);
    // GetProcessIoCounters; false when the counters cannot be read.
    virtual bool ReadIoCounters(HANDLE process, IO_COUNTERS* counters);
    // The process's creation time (GetProcessTimes, 100 ns units); 0 when
    // it cannot be read.
    virtual std::uint64_t CreationTime(HANDLE process);
    // Closes a handle of the snapshot or of a process.
    virtual void Close(HANDLE handle);

    // QueryPerformanceCounter and QueryPerformanceFrequency.
    virtual std::uint64_t PerformanceCounter();
    virtual std::uint64_t PerformanceFrequency();
};

// The seam in force: the real system unless a test put another in place.
ProcessSystem& CurrentProcessSystem();

// Puts a replacement in force for its lifetime (tests).
class ScopedProcessSystem {
public:
    explicit ScopedProcessSystem(ProcessSystem& replacement);
    ~ScopedProcessSystem();
    ScopedProcessSystem(const ScopedProcessSystem&) = delete;
    ScopedProcessSystem& operator=(const ScopedProcessSystem&) = delete;

private:
    ProcessSystem* previous_;
};
