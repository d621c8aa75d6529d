// CPU time of the running program against the floor that the performance-data
// query sets under Wine.
//
//   cpu_bench program <period ms> <seconds>  starts qorvel.exe s with that
//       sampling period and three indicators shown, and reports its CPU time
//       over the seconds (after a warm-up), then ends it through the exit event.
//   cpu_bench floor <period ms> <seconds>    runs only the snapshot query, on a
//       window timer at the same period, and reports its own CPU time.
//
// Run by scripts/bench in the run prefix, with the provider serving the
// machine's real disks.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

#include "app/application.h"
#include "app/named_events.h"
#include "app/startup.h"

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

std::wstring BesideMe(const wchar_t* relative)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.rfind(L'\\') + 1);
    return folder + relative;
}

// The settings for the run: the period, and every indicator after the third hidden.
void WriteSettings(int period)
{
    Application app;
    app.access = std::make_unique<DirectRegistryAccess>();
    EnumerateDrives(app);
    std::string text = "[General]\r\nClass=7\r\n[Appearance]\r\nFrequency=" + std::to_string(period) + "\r\n";
    for (std::size_t i = 3; i < app.indicators.size(); ++i) {
        const std::wstring& section = app.indicators[i].devicePath;
        text += "[" + std::string(section.begin(), section.end()) + "]\r\nvisible=No\r\n";
    }
    wchar_t folder[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, folder, CSIDL_LOCAL_APPDATA, TRUE);
    const std::wstring directory = std::wstring(folder) + L"\\Qorvel Indicator";
    CreateDirectoryW(directory.c_str(), nullptr);
    const HANDLE file = CreateFileW((directory + L"\\settings.ini").c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, 0, nullptr);
    DWORD wrote = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &wrote, nullptr);
    CloseHandle(file);
}

int MeasureProgram(int period, int seconds)
{
    WriteSettings(period);
    std::wstring commandLine = L"\"" + BesideMe(L"..\\qorvel.exe") + L"\" s";
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::printf("qorvel.exe did not start\n");
        return 1;
    }
    Sleep(5000);  // start-up and the highlight
    const double before = CpuSeconds(process.hProcess);
    Sleep(seconds * 1000);
    const double used = CpuSeconds(process.hProcess) - before;
    std::printf("program at %d ms: %.2f s CPU in %d s (%.1f %% of a core)\n", period, used, seconds,
                100 * used / seconds);
    if (const HANDLE exitEvent = OpenEventW(EVENT_MODIFY_STATE, FALSE, kExitEventName)) {
        SetEvent(exitEvent);
        CloseHandle(exitEvent);
    }
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}

int MeasureFloor(int period, int seconds)
{
    DirectRegistryAccess access;
    access.Init();  // the same libraries kept loaded as in the program
    SetTimer(nullptr, 1, static_cast<UINT>(period), nullptr);
    double before = 0;
    const DWORD start = GetTickCount();
    bool measuring = false;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        if (message.message != WM_TIMER)
            continue;
        access.Refresh();
        const DWORD elapsed = GetTickCount() - start;
        if (!measuring && elapsed >= 5000) {
            measuring = true;
            before = CpuSeconds(GetCurrentProcess());
        }
        if (elapsed >= 5000u + static_cast<DWORD>(seconds) * 1000)
            break;
    }
    const double used = CpuSeconds(GetCurrentProcess()) - before;
    std::printf("query only at %d ms: %.2f s CPU in %d s (%.1f %% of a core)\n", period, used, seconds,
                100 * used / seconds);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4) {
        std::printf("usage: cpu_bench program|floor <period ms> <seconds>\n");
        return 2;
    }
    const std::wstring mode = argv[1];
    const int period = _wtoi(argv[2]);
    const int seconds = _wtoi(argv[3]);
    return mode == L"program" ? MeasureProgram(period, seconds) : MeasureFloor(period, seconds);
}
