#pragma once
// The message loop: every waiting message is handled, then the thread sleeps
// until input, a sent message or the show event arrives.
#include <windows.h>

struct Application;

// Runs until WM_QUIT (answers its wParam), until the program is ending (an
// exit request set Application::ending; answers 0) or a failed wait (answers
// 0). The show event opens the Options window; a null one is not waited on.
// Application::exitEventInLoop, when set, ends it with 0.
int RunMessageLoop(Application& app, HANDLE showEvent);
