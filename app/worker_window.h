#pragma once
// The hidden worker window: a message-only window that runs the timers, takes
// the tray icon's mouse callback, shows what the sampler sampled and notices
// devices arriving and leaving.
#include <windows.h>

#include "display/tray_icon.h"

constexpr UINT_PTR IDT_SAMPLE = 5912;  // only when the sampler's thread could not start
constexpr UINT_PTR IDT_SAVE_SETTINGS = 5913;
constexpr UINT_PTR IDT_HIGHLIGHT = 5920;
constexpr UINT_PTR IDT_DEVICE_CHANGE = 5922;
constexpr UINT_PTR IDT_TRAY_RETRY = 5923;
constexpr UINT kSaveSettingsDelay = 1000;
constexpr UINT kHighlightPeriod = 20;
constexpr UINT kDeviceChangeDelay = 3000;
constexpr UINT kTrayRetryDelay = 2000;
constexpr int kTrayAddRetries = 5;  // every 2 s: the first 10 s after start-up

// Posted by the exit event's watch: the program ends, whatever menu or dialog is open.
constexpr UINT WM_EXIT_REQUESTED = WM_APP + 1;

// The tray icon's callback message: wParam the icon id, lParam the mouse message.
constexpr UINT WM_TRAYNOTIFY = kTrayCallbackMessage;
constexpr UINT kTrayIconId = kTrayId;

inline constexpr wchar_t kWorkerClass[] = L"QorvelWorker";

bool RegisterWorkerClass(HINSTANCE instance);

// The message-only worker window; null when it cannot be made.
HWND CreateWorkerWindow(HINSTANCE instance);

// Registers the window for the arrival and removal of USB devices and disks.
void RegisterDeviceNotifications(HWND worker);

LRESULT CALLBACK WorkerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
