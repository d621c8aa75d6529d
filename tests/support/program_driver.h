#pragma once
// Drives the built qorvel.exe from outside, as another program would: starts
// it, finds its windows by class, reads screen pixels, signals its exit event,
// and scripts the disks that the Wine disk-counter provider serves it.
#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/temp_folder.h"
#include "tools/perfprov/disk_set.h"

// settings.ini in the program's folder of the user's local application data.
std::wstring SettingsFilePath();
// Removes the settings file and the Run entry the program made (a later
// wineboot in the test prefix would start it behind the tests' backs).
void RemoveSettingsFile();

// A string value of the disk-counter provider's registration (scripts/test registers it).
std::wstring ProviderValue(const std::wstring& key, const wchar_t* name);
// Replaces the provider's script with the text (or the disks) in one step, so
// that a query never sees half a file; no disks at all without the script.
void ServeScript(const std::string& text);
void WriteDisks(const DiskSet& disks);
void ClearDisks();

// A first physical disk that stays busy: its read and write queue counters
// grow by the amounts and the script is written every 10 ms, on a thread of
// its own, until the thread is destroyed.
std::jthread BusyDisk(DiskSet& disks, unsigned reads, unsigned writes);

class RunningProgram {
public:
    // Starts qorvel.exe with the arguments; waits until its indicator windows exist.
    explicit RunningProgram(const std::wstring& arguments = L"s");
    // Ends a program still running: the exit event, then termination.
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    // The exit code when the program ended within the time, else STILL_ACTIVE.
    DWORD ExitCode(DWORD milliseconds) const;
    // The program's windows of a class (top-level, or message-only with
    // HWND_MESSAGE), ordered by their left edge.
    std::vector<HWND> Windows(const wchar_t* className, HWND parent = nullptr) const;
    // The message-only worker window.
    HWND Worker() const;

private:
    PROCESS_INFORMATION process_{};
};

// Signals "Global\QorvelIndicatorExitNowEvent"; false when no program holds it.
bool SignalExitEvent();

COLORREF ScreenPixel(int x, int y);
RECT WindowRectOf(HWND window);

// Runs xdotool with the arguments (commands chained as on its command line)
// and waits until it has ended: X then hands Wine the pointer and keys as a
// person's hand would. False when it could not be run or failed.
bool XDoTool(const std::string& arguments);
// "mousemove x y " to a point of a window: x and y from its left and top
// edges, or from its right and bottom edges when negative.
std::string PointAt(HWND window, int x, int y);

// The window that has the keyboard focus in the window's thread.
HWND FocusOf(HWND window);

// Polls the condition every 20 ms until it holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds);
