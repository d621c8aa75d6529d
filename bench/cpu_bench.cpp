// The halves of the CPU and memory comparisons that scripts/bench makes under
// Wine:
//
//   cpu_bench settings <period ms> [nograph]  writes the settings for a run
//       of qorvel.exe: that sampling period and three indicators shown (with
//       nograph, tips without the last minute's graph)
//   cpu_bench floor <period ms> <seconds>  runs only Wine's performance-data
//       query, on a window timer at the same period, with the registered
//       libraries kept loaded (5 s of warm-up, then the seconds)
//   cpu_bench inprocess <period ms> <seconds>  the same with the libraries
//       called in-process, as the program does under Wine
//   cpu_bench calls <count>                CPU and wall time of one call of
//       Wine's query, of the in-process snapshot and of the disk provider
//       alone, each the mean over <count> calls
//   cpu_bench hover <x> <y> <seconds>      keeps the mouse over the indicator at
//       (x, y), so that its tip stays open
//
// scripts/bench reads the processes' CPU time and memory from Linux (/proc),
// because under Wine GetProcessTimes answers zeros for another process.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/program.h"
#include "app/startup.h"
#include "sources/perf_libraries.h"

namespace {

double CpuSeconds(HANDLE process)
{
    FILETIME created, ended, kernel, user;
    GetProcessTimes(process, &created, &ended, &kernel, &user);
    const auto value = [](FILETIME time) {
        return (static_cast<unsigned long long>(time.dwHighDateTime) << 32 | time.dwLowDateTime) / 1e7;
    };
    return value(kernel) + value(user);
}

// The settings for the run: the period, tips with or without their graph,
// and every indicator after the third hidden.
void WriteSettings(int period, bool graph)
{
    Application app;
    app.access = std::make_unique<DirectRegistryAccess>();
    EnumerateDrives(app);
    std::string text = "[General]\r\nClass=7\r\nShowMinuteInTips=" + std::string(graph ? "Yes" : "No") +
                       "\r\n[Appearance]\r\nFrequency=" + std::to_string(period) + "\r\n";
    for (std::size_t i = 3; i < app.indicators.size(); ++i) {
        const std::wstring& section = app.indicators[i].devicePath;
        text += "[" + std::string(section.begin(), section.end()) + "]\r\nvisible=No\r\n";
    }
    wchar_t folder[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, folder, CSIDL_LOCAL_APPDATA, TRUE);
    const std::wstring directory = std::wstring(folder) + L"\\Qorvel Indicator";
    CreateDirectoryW(directory.c_str(), nullptr);
    const HANDLE file =
        CreateFileW((directory + L"\\settings.ini").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD wrote = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &wrote, nullptr);
    CloseHandle(file);
}

// Every registered library kept loaded, as a program that queries often would
// (Wine's query loads them again on every call otherwise).
std::vector<HMODULE> KeepLibrariesLoaded()
{
    std::vector<HMODULE> modules;
    for (const RegisteredLibrary& library : RegisteredPerformanceLibraries())
        modules.push_back(LoadLibraryW(library.file.c_str()));
    return modules;
}

LONG WinesQuery(std::vector<std::uint8_t>& buffer)
{
    DWORD size = static_cast<DWORD>(buffer.size());
    return RegQueryValueExW(HKEY_PERFORMANCE_DATA, L"234 236", nullptr, nullptr, buffer.data(), &size);
}

// Runs the query on a window timer at the period: 5 s of warm-up, then the seconds measured.
int MeasureLoop(const char* label, int period, int seconds, const std::function<void()>& query)
{
    SetTimer(nullptr, 1, static_cast<UINT>(period), nullptr);
    double before = 0;
    const DWORD start = GetTickCount();
    bool measuring = false;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        if (message.message != WM_TIMER)
            continue;
        query();
        const DWORD elapsed = GetTickCount() - start;
        if (!measuring && elapsed >= 5000) {
            measuring = true;
            before = CpuSeconds(GetCurrentProcess());
        }
        if (elapsed >= 5000u + static_cast<DWORD>(seconds) * 1000)
            break;
    }
    const double used = CpuSeconds(GetCurrentProcess()) - before;
    std::printf("%s at %d ms: %.2f s CPU in %d s (%.2f %% of a core)\n", label, period, used, seconds,
                100 * used / seconds);
    return 0;
}

int MeasureFloor(int period, int seconds)
{
    const std::vector<HMODULE> kept = KeepLibrariesLoaded();
    std::vector<std::uint8_t> buffer(1 << 20);
    return MeasureLoop("query only", period, seconds, [&] { WinesQuery(buffer); });
}

int MeasureInProcess(int period, int seconds)
{
    DirectRegistryAccess access;
    access.Init();  // the registered libraries called in-process, as in the program
    return MeasureLoop("in-process snapshot", period, seconds, [&] { access.Refresh(); });
}

// The mean CPU and wall time of one call, in microseconds.
void MeasureCalls(const char* label, int count, const std::function<void()>& call)
{
    call();  // the first call sets things up
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    const double cpu = CpuSeconds(GetCurrentProcess());
    QueryPerformanceCounter(&start);
    for (int i = 0; i < count; ++i)
        call();
    QueryPerformanceCounter(&end);
    const double wall = static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
    std::printf("| %s | %.0f | %.0f |\n", label, 1e6 * (CpuSeconds(GetCurrentProcess()) - cpu) / count,
                1e6 * wall / count);
}

int MeasureCallTimes(int count)
{
    std::vector<std::uint8_t> buffer(1 << 20);
    std::printf("| call | CPU µs | wall µs |\n|---|---:|---:|\n");
    {
        const std::vector<HMODULE> kept = KeepLibrariesLoaded();
        MeasureCalls("Wine's query (libraries kept loaded)", count, [&] { WinesQuery(buffer); });
    }
    PerformanceLibraries all;
    all.Load(RegisteredPerformanceLibraries());
    MeasureCalls("in-process snapshot (every registered library)", count, [&] {
        DWORD size = static_cast<DWORD>(buffer.size());
        all.Query(L"234 236", buffer.data(), &size);
    });
    all.Release();
    for (const RegisteredLibrary& library : RegisteredPerformanceLibraries()) {
        if (library.collect != "CollectQorvelDisks")
            continue;
        PerformanceLibraries provider;
        provider.Load({library});
        MeasureCalls("the disk provider's Collect (in-process, alone)", count, [&] {
            DWORD size = static_cast<DWORD>(buffer.size());
            provider.Query(L"234 236", buffer.data(), &size);
        });
    }
    return 0;
}

// Keeps the pointer over the indicator at (x, y), so that its tip stays open.
void Hover(int x, int y, int seconds)
{
    for (const DWORD start = GetTickCount(); GetTickCount() - start < static_cast<DWORD>(seconds) * 1000;) {
        SetCursorPos(x, y);
        SetCursorPos(x + 1, y);
        Sleep(4000);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring mode = argc > 2 ? argv[1] : L"";
    if (mode == L"settings") {
        WriteSettings(_wtoi(argv[2]), !(argc > 3 && std::wstring(argv[3]) == L"nograph"));
        return 0;
    }
    if (mode == L"floor" && argc == 4)
        return MeasureFloor(_wtoi(argv[2]), _wtoi(argv[3]));
    if (mode == L"inprocess" && argc == 4)
        return MeasureInProcess(_wtoi(argv[2]), _wtoi(argv[3]));
    if (mode == L"calls")
        return MeasureCallTimes(_wtoi(argv[2]));
    if (mode == L"hover" && argc == 5) {
        Hover(_wtoi(argv[2]), _wtoi(argv[3]), _wtoi(argv[4]));
        return 0;
    }
    std::printf(
        "usage: cpu_bench settings <period ms> | floor|inprocess <period ms> <seconds> | calls <count> | "
        "hover <x> <y> <seconds>\n");
    return 2;
}
