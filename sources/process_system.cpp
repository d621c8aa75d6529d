#include "sources/process_system.h"

namespace {

ProcessSystem g_realSystem;
ProcessSystem* g_current = &g_realSystem;

}  // namespace

HANDLE ProcessSystem::CreateProcessSnapshot()
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    return snapshot == INVALID_HANDLE_VALUE ? nullptr : snapshot;
}

bool ProcessSystem::FirstProcess(HANDLE snapshot, PROCESSENTRY32W* entry)
{
    return Process32FirstW(snapshot, entry) != FALSE;
}

bool ProcessSystem::NextProcess(HANDLE snapshot, PROCESSENTRY32W* entry)
{
    return Process32NextW(snapshot, entry) != FALSE;
}

HANDLE ProcessSystem::OpenProcessForQuery(DWORD processId)
{
    return OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
}

bool ProcessSystem::ReadIoCounters(HANDLE process, IO_COUNTERS* counters)
{
    return GetProcessIoCounters(process, counters) != FALSE;
}

std::uint64_t ProcessSystem::CreationTime(HANDLE process)
{
    FILETIME creation{}, exit{}, kernel{}, user{};
    if (!GetProcessTimes(process, &creation, &exit, &kernel, &user))
        return 0;
    return static_cast<std::uint64_t>(creation.dwHighDateTime) << 32 | creation.dwLowDateTime;
}

void ProcessSystem::Close(HANDLE handle)
{
    if (handle)
        CloseHandle(handle);
}

std::uint64_t ProcessSystem::PerformanceCounter()
{
    LARGE_INTEGER count{};
    QueryPerformanceCounter(&count);
    return static_cast<std::uint64_t>(count.QuadPart);
}

std::uint64_t ProcessSystem::PerformanceFrequency()
{
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    return static_cast<std::uint64_t>(frequency.QuadPart);
}

ProcessSystem& CurrentProcessSystem()
{
    return *g_current;
}

ScopedProcessSystem::ScopedProcessSystem(ProcessSystem& replacement) : previous_(g_current)
{
    g_current = &replacement;
}

ScopedProcessSystem::~ScopedProcessSystem()
{
    g_current = previous_;
}
