#include "app/session_window.h"

#include "app/shell.h"
#include "resources/resource.h"

namespace {

// Log-off and shut-down: the process may end without another message, so
// everything is written now.
void OnEndSession(WPARAM ending)
{
    if (!ending)
        return;
    ExchangeGlobalSettings(Exchange::Store);
    SaveAllSettings(App());
}

void OnDisplayChange()
{
    BringIndicatorsOnScreen(App().displays);
    FollowTrayDpi();
}

}  // namespace

bool RegisterSessionClass(HINSTANCE instance)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = SessionWndProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kSessionClass;
    return RegisterClassExW(&windowClass) != 0;
}

HWND CreateSessionWindow(HINSTANCE instance)
{
    const HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, kSessionClass, L"Qorvel Indicator", WS_POPUP, 0, 0, 0, 0,
                                        nullptr, nullptr, instance, nullptr);
    HearShellRestarts(window);
    return window;
}

void ShowTrayMenu(Application& app)
{
    ShowShellMenu(IDM_TRAY_MENU, app.sessionWindow ? app.sessionWindow : app.worker);
}

LRESULT CALLBACK SessionWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        OnEndSession(wParam);
        return 0;
    case WM_DISPLAYCHANGE:
        OnDisplayChange();
        return 0;
    case WM_DPICHANGED:
        FollowTrayDpi();
        return 0;
    default:
        if (message == TaskbarCreatedMessage() && message != 0) {
            AddTrayIconAgain();
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
