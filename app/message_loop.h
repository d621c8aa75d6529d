#pragma once
// The message loop: every waiting message is handled, then the thread sleeps
// until input, a sent message, the show event or the exit event arrives.
#include <windows.h>

struct Application;

// Runs until WM_QUIT (answers its wParam), the exit event or a failed wait
// (answers 0). The show event opens the Options window. A missing event (null)
// is not waited on.
int RunMessageLoop(Application& app, HANDLE showEvent, HANDLE exitEvent);
