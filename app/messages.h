#pragma once
// The program's own timers and messages, all told to the worker window.
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
// Posted by the sampler: it could not enter the gate, the program's thread
// runs the whole tick.
constexpr UINT WM_SAMPLE_HERE = WM_APP + 2;
// Posted by the sampler: the records are sampled, the windows show it.
constexpr UINT WM_SHOW_SAMPLE = WM_APP + 3;

// The tray icon's callback message: wParam the icon id, lParam the mouse message.
constexpr UINT WM_TRAYNOTIFY = kTrayCallbackMessage;
constexpr UINT kTrayIconId = kTrayId;
