#pragma once
// The hidden worker window: a message-only window that runs the timers, takes
// the tray icon's mouse callback, shows what the sampler sampled and notices
// devices arriving and leaving. Its procedure turns each message into the
// program's operation.
#include <windows.h>

struct Application;

inline constexpr wchar_t kWorkerClass[] = L"QorvelWorker";

bool RegisterWorkerClass(HINSTANCE instance);

// The program's message-only worker window; null when it cannot be made.
HWND CreateWorkerWindow(Application& app);

// Registers the program's worker window for the arrival and removal of USB
// devices and disks (the registrations are the program's, released with it).
void RegisterDeviceNotifications(Application& app);

LRESULT CALLBACK WorkerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
