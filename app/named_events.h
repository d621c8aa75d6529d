#pragma once
// The two named events through which other processes talk to a running
// instance: the show event (one instance per logon session; a second start
// signals it) and the exit event (any process may signal it to end the program).
#include <windows.h>

#include "common/win_handles.h"

inline constexpr wchar_t kShowEventName[] = L"Local\\QorvelIndicatorEvent";
inline constexpr wchar_t kExitEventName[] = L"Global\\QorvelIndicatorExitNowEvent";

// The rights everyone has on the exit event: to wait on it and to signal it.
inline constexpr DWORD kExitEventRights = SYNCHRONIZE | EVENT_MODIFY_STATE;

// Creates (or opens) the exit event, auto-reset and not signalled. Its
// security grants everyone only kExitEventRights; when that descriptor cannot
// be built the event gets the default security. None when it cannot be had.
UniqueHandle CreateExitEvent();

// Watches the exit event on a thread of the system's pool and posts a message
// to a window when it is signalled, so that the program hears of it whatever
// its own thread is doing: a menu or a dialog runs a message loop of its own,
// and the main loop's wait does not run meanwhile. Watching stops when the
// watch is destroyed (after a callback under way has finished).
class ExitEventWatch {
public:
    ExitEventWatch(HANDLE event, HWND window, UINT message);
    ~ExitEventWatch();
    ExitEventWatch(const ExitEventWatch&) = delete;
    ExitEventWatch& operator=(const ExitEventWatch&) = delete;

    bool Watching() const { return wait_ != nullptr; }

private:
    static void CALLBACK OnSignalled(void* context, BOOLEAN timedOut);

    HANDLE wait_ = nullptr;
    HWND window_;
    UINT message_;
};

// Creates the show event. When another instance already holds it (also one
// whose event this start may not open: access denied), signals it so that
// the running instance shows its Options window, waits 200 ms and answers
// false (this instance should end).
bool ClaimSingleInstance(UniqueHandle& showEvent);
