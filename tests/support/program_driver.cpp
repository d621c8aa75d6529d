#include "tests/support/program_driver.h"

#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <utility>

#include "app/named_events.h"
#include "app/worker_window.h"
#include "tools/perfprov/provider_key.h"

namespace {

std::wstring ScriptFilePath()
{
    wchar_t path[MAX_PATH] = {};
    DWORD size = sizeof path;
    RegGetValueW(HKEY_LOCAL_MACHINE, kProviderServiceKey, kProviderScriptFileValue, RRF_RT_REG_SZ, nullptr, path,
                 &size);
    return path;
}

bool OwnedBy(HWND window, DWORD processId)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return owner == processId;
}

}  // namespace

std::wstring ProgramPath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.rfind(L'\\'));                 // ...\build\tests
    return folder.substr(0, folder.rfind(L'\\')) + L"\\qorvel.exe";
}

std::wstring SettingsFilePath()
{
    wchar_t folder[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, folder, CSIDL_LOCAL_APPDATA, TRUE);
    return std::wstring(folder) + L"\\Qorvel Indicator\\settings.ini";
}

std::string ReadFileBytes(const std::wstring& path)
{
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    const std::wstring temporary = path + L".new";  // then in place in one step
    std::ofstream(std::filesystem::path(temporary), std::ios::binary) << bytes;
    MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

void RemoveSettingsFile()
{
    // The program registers itself to start at logon; a later wineboot in the
    // test prefix would start it behind the tests' backs.
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"qorvel.exe");
    SetFileAttributesW(SettingsFilePath().c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(SettingsFilePath().c_str());
}

DiskScript::Counters& DiskScript::Instance(const std::string& object, const std::string& name)
{
    const std::string key = object + "|" + name;
    if (!counters_.count(key))
        order_.emplace_back(object, name);
    return counters_[key];
}

void DiskScript::Grow(Counters& counters, unsigned reads, unsigned writes)
{
    counters.readQueue += reads;
    counters.writeQueue += writes;
    counters.queue += reads + writes;
}

void DiskScript::Write() const
{
    std::string text = "qorvel-disks 1\n";
    for (const auto& [object, name] : order_) {
        const Counters& counters = counters_.at(object + "|" + name);
        text += object + " | " + name + " | 1400=" + std::to_string(counters.queue) +
                " 1402=" + std::to_string(counters.readQueue) + " 1404=" + std::to_string(counters.writeQueue) + "\n";
    }
    WriteFileBytes(ScriptFilePath(), text + "end\n");
}

void DiskScript::Clear()
{
    DeleteFileW(ScriptFilePath().c_str());
}

DiskActivity::DiskActivity(DiskScript& script, std::function<void(DiskScript&)> step)
    : thread_([this, &script, step] {
          while (!stop_) {
              step(script);
              script.Write();
              Sleep(10);
          }
      })
{
}

DiskActivity::~DiskActivity()
{
    stop_ = true;
    thread_.join();
}

RunningProgram::RunningProgram(const std::wstring& arguments)
{
    std::wstring commandLine = L"\"" + ProgramPath() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process_))
        return;
    // Start-up ends when the message loop first waits: the windows exist then.
    WaitUntil([this] { return Worker() != nullptr || WaitForSingleObject(Process(), 0) == WAIT_OBJECT_0; },
              15000);
    WaitForInputIdle(process_.hProcess, 10000);
    // Under Wine the wait above may end early: also wait until the indicator
    // windows, made late in start-up, stop appearing.
    std::size_t seen = 0;
    WaitUntil(
        [&] {
            const std::size_t count = Windows(L"QORVELIndicator").size();
            return WaitForSingleObject(Process(), 0) == WAIT_OBJECT_0 ||
                   (count > 0 && std::exchange(seen, count) == count);
        },
        10000);
    DWORD code = 0;
    if (GetExitCodeProcess(process_.hProcess, &code) && code != STILL_ACTIVE)
        fprintf(stderr, "qorvel.exe ended during start-up with %lu\n", code);
}

RunningProgram::~RunningProgram()
{
    if (!process_.hProcess)
        return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        SignalExitEvent();
        if (WaitForSingleObject(process_.hProcess, 5000) == WAIT_TIMEOUT)
            TerminateProcess(process_.hProcess, 99);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

bool RunningProgram::WaitForExit(DWORD milliseconds, DWORD* exitCode)
{
    if (!process_.hProcess || WaitForSingleObject(process_.hProcess, milliseconds) != WAIT_OBJECT_0)
        return false;
    GetExitCodeProcess(process_.hProcess, exitCode);
    return true;
}

std::vector<HWND> RunningProgram::Windows(const wchar_t* className) const
{
    struct Search {
        const RunningProgram* program;
        const wchar_t* className;
        std::vector<HWND> found;
    } search{this, className, {}};
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto& search = *reinterpret_cast<Search*>(parameter);
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (OwnedBy(window, search.program->ProcessId()) && lstrcmpW(name, search.className) == 0)
                search.found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    std::sort(search.found.begin(), search.found.end(),
              [](HWND a, HWND b) { return WindowRectOf(a).left < WindowRectOf(b).left; });
    return search.found;
}

HWND RunningProgram::Worker() const
{
    HWND window = nullptr;
    while ((window = FindWindowExW(HWND_MESSAGE, window, kWorkerClass, nullptr)) != nullptr) {
        if (OwnedBy(window, ProcessId()))
            return window;
    }
    return nullptr;
}

bool SignalExitEvent()
{
    const HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, kExitEventName);
    if (!event)
        return false;
    const bool signalled = SetEvent(event) != 0;
    CloseHandle(event);
    return signalled;
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

bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        Sleep(20);
    }
}
