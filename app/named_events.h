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

// Creates the show event. When another instance already holds it (also one
// whose event this start may not open: access denied), signals it so that
// the running instance shows its Options window, waits 200 ms and answers
// false (this instance should end).
bool ClaimSingleInstance(UniqueHandle& showEvent);
