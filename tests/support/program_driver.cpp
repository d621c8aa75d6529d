#include "tests/support/program_driver.h"

#include <shlobj.h>

#include <algorithm>
#include <utility>

#include "app/named_events.h"
#include "app/worker_window.h"
#include "tools/perfprov/disk_script.h"
#include "tools/perfprov/provider_key.h"

static std::wstring ScriptFilePath()
{
    return ProviderValue(kProviderServiceKey, kProviderScriptFileValue);
}

std::wstring ProviderValue(const std::wstring& key, const wchar_t* name)
{
    wchar_t text[1024] = {};
    DWORD size = sizeof text - sizeof(wchar_t);
    RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &size);
    return text;
}

std::wstring SettingsFilePath()
{
    wchar_t folder[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, folder, CSIDL_LOCAL_APPDATA, TRUE);
    return std::wstring(folder) + L"\\Qorvel Indicator\\settings.ini";
}

void RemoveSettingsFile()
{
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"qorvel.exe");
    SetFileAttributesW(SettingsFilePath().c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(SettingsFilePath().c_str());
}

void ServeScript(const std::string& text)
{
    const std::wstring script = ScriptFilePath();
    WriteBytes(script + L".new", text);
    MoveFileExW((script + L".new").c_str(), script.c_str(), MOVEFILE_REPLACE_EXISTING);
}

void WriteDisks(const DiskSet& disks)
{
    ServeScript(FormatDiskScript(disks));
}

void ClearDisks()
{
    DeleteFileW(ScriptFilePath().c_str());
}

std::jthread BusyDisk(DiskSet& disks, unsigned reads, unsigned writes)
{
    return std::jthread([&disks, reads, writes](std::stop_token stop) {
        for (DiskCounters& c = disks.physical[0].counters; !stop.stop_requested(); Sleep(10)) {
            c.readQueue += reads;
            c.writeQueue += writes;
            c.queue += reads + writes;
            WriteDisks(disks);
        }
    });
}

RunningProgram::RunningProgram(const std::wstring& arguments)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring program(path);
    program.resize(program.rfind(L'\\', program.rfind(L'\\') - 1));  // ...\build\tests\x.exe -> ...\build
    std::wstring commandLine = L"\"" + program + L"\\qorvel.exe\" " + arguments;
    STARTUPINFOW startup{sizeof startup};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_))
        return;
    // Under Wine the wait for input idle may end early: also wait until the
    // indicator windows, made late in start-up, stop appearing.
    WaitForInputIdle(process_.hProcess, 10000);
    std::size_t seen = 0;
    WaitUntil(
        [&] {
            const std::size_t count = Windows(L"QORVELIndicator").size();
            return ExitCode(0) != STILL_ACTIVE || (count > 0 && std::exchange(seen, count) == count);
        },
        15000);
}

RunningProgram::~RunningProgram()
{
    if (!process_.hProcess)
        return;
    if (ExitCode(0) == STILL_ACTIVE && (!SignalExitEvent() || ExitCode(5000) == STILL_ACTIVE))
        TerminateProcess(process_.hProcess, 99);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

DWORD RunningProgram::ExitCode(DWORD milliseconds) const
{
    DWORD code = STILL_ACTIVE;
    if (process_.hProcess && WaitForSingleObject(process_.hProcess, milliseconds) == WAIT_OBJECT_0)
        GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

std::vector<HWND> RunningProgram::Windows(const wchar_t* className, HWND parent) const
{
    std::vector<HWND> found;
    for (HWND window = nullptr; (window = FindWindowExW(parent, window, className, nullptr)) != nullptr;) {
        DWORD owner = 0;
        if (GetWindowThreadProcessId(window, &owner) && owner == process_.dwProcessId)
            found.push_back(window);
    }
    std::sort(found.begin(), found.end(), [](HWND a, HWND b) { return WindowRectOf(a).left < WindowRectOf(b).left; });
    return found;
}

HWND RunningProgram::Worker() const
{
    const std::vector<HWND> found = Windows(kWorkerClass, HWND_MESSAGE);
    return found.empty() ? nullptr : found[0];
}

bool SignalExitEvent()
{
    const UniqueHandle event(OpenEventW(EVENT_MODIFY_STATE, FALSE, kExitEventName));
    return event && SetEvent(event.Get());
}

COLORREF ScreenPixel(int x, int y)
{
    const HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

RECT WindowRectOf(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

bool XDoTool(const std::string& arguments)
{
    // Wine starts a Linux program without a handle to wait on: it leaves a
    // file with its exit status instead.
    using UnixName = char*(CDECL*)(const wchar_t*);
    static const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    const std::wstring done = std::filesystem::temp_directory_path().wstring() + L"xdotool-" +
                              std::to_wstring(GetCurrentProcessId()) + L".done";
    char* unixDone = unixName ? unixName(done.c_str()) : nullptr;
    if (!unixDone)
        return false;
    const std::string path = unixDone;
    HeapFree(GetProcessHeap(), 0, unixDone);
    DeleteFileW(done.c_str());
    const std::string shell =
        "xdotool " + arguments + "; echo $? > '" + path + ".tmp'; mv '" + path + ".tmp' '" + path + "'";
    std::wstring command = L"Z:\\bin\\sh -c \"" + std::wstring(shell.begin(), shell.end()) + L"\"";
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return WaitUntil([&] { return GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000) &&
           ReadBytes(done) == "0\n" && DeleteFileW(done.c_str());
}

std::string PointAt(HWND window, int x, int y)
{
    const RECT r = WindowRectOf(window);
    return "mousemove " + std::to_string(x < 0 ? r.right + x : r.left + x) + " " +
           std::to_string(y < 0 ? r.bottom + y : r.top + y) + " ";
}

HWND FocusOf(HWND window)
{
    GUITHREADINFO info{sizeof info};
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds)
{
    for (const DWORD start = GetTickCount(); !condition(); Sleep(20))
        if (GetTickCount() - start >= milliseconds)
            return false;
    return true;
}
