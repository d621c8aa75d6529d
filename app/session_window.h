#pragma once
// A hidden top-level window of the program (never shown, not in the taskbar).
// A message-only window hears no broadcasts and cannot be foreground, so this
// one takes those jobs: the end of the session (settings are saved), display
// and DPI changes (indicators that ended up on no monitor come back, the tray
// LED is painted for the new DPI), the shell's "TaskbarCreated" (the tray icon
// is added again), and the tray menu, which closes on a click elsewhere only
// when its owner is foreground (the program shows it, owned by this window).
#include <windows.h>

struct Application;

inline constexpr wchar_t kSessionClass[] = L"QorvelSession";

bool RegisterSessionClass(HINSTANCE instance);
HWND CreateSessionWindow(Application& app);

LRESULT CALLBACK SessionWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
