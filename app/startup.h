#pragma once
// The steps of start-up and shutdown; the entry point runs them in order.
#include <windows.h>

struct Application;

// The program's thread as a single-threaded COM apartment for the object's
// lifetime: the shell's functions (opening the web page) ask for it.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialized_ = false;
};

// The lower-case letter s anywhere in the command line asks for a start
// without the Options window (the start-at-logon entry passes it).
bool HasSilentFlag(const wchar_t* commandLine);

// False on a system older than the program supports, after telling the user.
bool IsSupportedSystem();

// The settings store with its file, every global setting loaded, and the
// start-at-logon entry brought in line with "StartWithWindows".
void OpenSettings(Application& app);

// The Options window's, the indicators', the worker's and the session
// window's classes.
void RegisterWindowClasses(HINSTANCE instance);

// The program as the indicators and the Options window will see it.
void ConnectProgram(Application& app);

// The performance-data access the records read from.
void CreatePerformanceAccess(Application& app);

// The worker window (false when it cannot be made: the program cannot work
// without it) and the hidden session window.
bool CreateShellWindows(Application& app);

// The sampler at the "Frequency" period (its thread also watches the exit
// event; when it cannot start, a window timer samples and the message loop
// watches the event) and the highlight timer.
void StartTimers(Application& app, HANDLE exitEvent);

void LoadIcons(Application& app);
void LoadAccelerators(Application& app);

// The indicator list (physical drives and the all-in-one entry, then the
// logical disks) and the display records, with any indicator saved on no
// monitor brought back.
void MakeIndicators(Application& app);

// The tray LED's images; the icon when "ShowTrayIcon" is on and the chosen
// drives' icons (a failed add is tried again over the first seconds).
void AddTrayIconIfWanted(Application& app);
// The indicator windows of the mode, and the global settings stored.
void ShowIndicators(Application& app);
void ShowOptionsUnlessSilent(Application& app);

// Everything released in order: the sampler stopped, the Options window, the
// settings stored, the tray icon removed, the keyboard LED released, the
// indicators torn down, the windows destroyed, the settings file written and
// the access released. Also safe after a start-up that stopped part-way; each
// object's owner would release it in any order too.
void ShutDown(Application& app);
