#pragma once
// A hidden top-level window of the program (never shown, not in the taskbar).
// A message-only window hears no broadcasts, so this one takes them: the end
// of the session (settings are saved) and display changes (indicators that
// ended up on no monitor come back).
#include <windows.h>

inline constexpr wchar_t kSessionClass[] = L"QorvelSession";

bool RegisterSessionClass(HINSTANCE instance);
HWND CreateSessionWindow(HINSTANCE instance);

LRESULT CALLBACK SessionWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
