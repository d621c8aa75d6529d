#pragma once
// Drives the built qorvel.exe from outside, as another program would: starts
// it, finds its windows by class, reads screen pixels, signals its named
// events, reads and writes its settings file, and scripts the disks that the
// Wine disk-counter provider serves it.
#include <windows.h>

#include <atomic>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

// qorvel.exe of the build (beside the tests folder).
std::wstring ProgramPath();

// settings.ini in the program's folder of the user's local application data.
std::wstring SettingsFilePath();
std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
void RemoveSettingsFile();

// The disks the provider serves: "physical" or "logical" instances with their
// queue counters (1400 total, 1402 read, 1404 write). Write() replaces the
// provider's script file in one step, so a query never sees half a file.
class DiskScript {
public:
    struct Counters {
        unsigned long long queue = 1000, readQueue = 1000, writeQueue = 1000;
    };
    Counters& Physical(const std::string& name) { return Instance("physical", name); }
    Counters& Logical(const std::string& name) { return Instance("logical", name); }
    // Reads and writes on an instance: the queue counters grow by the amounts.
    void Grow(Counters& counters, unsigned reads, unsigned writes);
    void Write() const;
    static void Clear();  // no script: no disks

private:
    Counters& Instance(const std::string& object, const std::string& name);
    std::vector<std::pair<std::string, std::string>> order_;
    std::map<std::string, Counters> counters_;
};

// Calls step(script) and writes the script every 10 ms on a thread of its own
// until it is destroyed: disks that stay busy.
class DiskActivity {
public:
    DiskActivity(DiskScript& script, std::function<void(DiskScript&)> step);
    ~DiskActivity();
    DiskActivity(const DiskActivity&) = delete;
    DiskActivity& operator=(const DiskActivity&) = delete;

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class RunningProgram {
public:
    // Starts qorvel.exe with the arguments and waits until its worker window exists.
    explicit RunningProgram(const std::wstring& arguments = L"s");
    // Ends a program still running: the exit event, then termination.
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    DWORD ProcessId() const { return process_.dwProcessId; }
    HANDLE Process() const { return process_.hProcess; }
    // True with the exit code when the program ended within the time.
    bool WaitForExit(DWORD milliseconds, DWORD* exitCode);
    // The program's top-level windows of a class, ordered by their left edge.
    std::vector<HWND> Windows(const wchar_t* className) const;
    // The message-only worker window.
    HWND Worker() const;

private:
    PROCESS_INFORMATION process_{};
};

// Signals "Global\QorvelIndicatorExitNowEvent"; false when no program holds it.
bool SignalExitEvent();

COLORREF ScreenPixel(int x, int y);
RECT WindowRectOf(HWND window);

// Polls the condition every 20 ms until it holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds);
