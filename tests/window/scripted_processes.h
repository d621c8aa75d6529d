#pragma once
// The process sampler's seam scripted: processes with counters the test sets,
// and a 10 MHz clock the test moves. An entry of another size than the x64
// PROCESSENTRY32W ends the walk, as the real call does.
#include <algorithm>
#include <string>
#include <vector>

#include "sources/process_system.h"

class ScriptedProcesses : public ProcessSystem {
public:
    struct Process {
        DWORD id;
        std::wstring name;
        ULONGLONG read = 0, write = 0, other = 0, created = 0;
        bool opens = true;
    };
    HANDLE CreateProcessSnapshot() override { return works ? this : nullptr; }
    bool FirstProcess(HANDLE, PROCESSENTRY32W* entry) override
    {
        next = 0;
        return NextProcess(nullptr, entry);
    }
    bool NextProcess(HANDLE, PROCESSENTRY32W* entry) override
    {
        if (entry->dwSize != 568 || next >= list.size())
            return false;
        entry->th32ProcessID = list[next].id;
        wcsncpy(entry->szExeFile, list[next++].name.c_str(), MAX_PATH);
        return true;
    }
    HANDLE OpenProcessForQuery(DWORD id) override { return Find(id)->opens ? Find(id) : nullptr; }
    bool ReadIoCounters(HANDLE h, IO_COUNTERS* c) override
    {
        *c = {1, 2, 3, Of(h).read, Of(h).write, Of(h).other};
        return true;
    }
    std::uint64_t CreationTime(HANDLE process) override { return Of(process).created; }
    void Close(HANDLE) override { ++closed; }
    std::uint64_t PerformanceCounter() override { return counter; }
    std::uint64_t PerformanceFrequency() override { return 10'000'000; }

    void At(double seconds) { counter = static_cast<std::uint64_t>(seconds * 10'000'000); }
    Process* Find(DWORD id) { return &*std::ranges::find(list, id, &Process::id); }
    static Process& Of(HANDLE process) { return *static_cast<Process*>(process); }
    // a.exe reads 8 KiB, b.exe writes 8 KiB, c.exe moves 10000 bytes of other I/O.
    void Busy()
    {
        Find(8)->read += 8192;
        Find(4)->write += 8192;
        Find(12)->other += 10000;
    }

    std::vector<Process> list{
        {8, L"a.exe", 1000}, {4, L"b.exe"}, {12, L"c.exe"}, {20, L"denied.exe", 0, 0, 0, 0, false}};
    std::size_t next = 0;
    std::uint64_t counter = 0;
    int closed = 0;
    bool works = true;
};
