// The two halves of the CPU comparison that scripts/bench makes under Wine:
//
//   cpu_bench settings <period ms>         writes the settings for a run of
//       qorvel.exe: that sampling period and three indicators shown
//   cpu_bench floor <period ms> <seconds>  runs only the snapshot query, on a
//       window timer at the same period (5 s of warm-up, then the seconds)
//   cpu_bench hover <x> <y> <seconds>      keeps the mouse over the indicator at
//       (x, y), so that its tooltip stays open (it leaves for 100 ms every 4 s,
//       before the tip would close by itself)
//
// scripts/bench reads both processes' CPU time from Linux (/proc), because
// under Wine GetProcessTimes answers zeros for another process.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

#include "app/application.h"
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
    const HANDLE file =
        CreateFileW((directory + L"\\settings.ini").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD wrote = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &wrote, nullptr);
    CloseHandle(file);
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

void Hover(int x, int y, int seconds)
{
    for (const DWORD start = GetTickCount(); GetTickCount() - start < static_cast<DWORD>(seconds) * 1000;) {
        SetCursorPos(x, y);
        SetCursorPos(x + 1, y);
        Sleep(4000);
        SetCursorPos(x + 300, y + 300);
        Sleep(100);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring mode = argc > 2 ? argv[1] : L"";
    if (mode == L"settings") {
        WriteSettings(_wtoi(argv[2]));
        return 0;
    }
    if (mode == L"floor" && argc == 4)
        return MeasureFloor(_wtoi(argv[2]), _wtoi(argv[3]));
    if (mode == L"hover" && argc == 5) {
        Hover(_wtoi(argv[2]), _wtoi(argv[3]), _wtoi(argv[4]));
        return 0;
    }
    std::printf("usage: cpu_bench settings <period ms> | floor <period ms> <seconds> | hover <x> <y> <seconds>\n");
    return 2;
}
