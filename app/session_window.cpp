#include "app/session_window.h"

#include "app/application.h"
#include "app/program.h"
#include "common/window_binding.h"

namespace {

// Log-off and shut-down: the process may end without another message, so
// everything is written now.
void OnEndSession(Application& app, WPARAM ending)
{
    if (ending)
        SaveEverything(app);
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

HWND CreateSessionWindow(Application& app)
{
    const HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, kSessionClass, L"Qorvel Indicator", WS_POPUP, 0, 0, 0, 0,
                                        nullptr, nullptr, app.instance, &app);
    HearShellRestarts(window);
    return window;
}

LRESULT CALLBACK SessionWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        BindWindowObject(window, CreationObject<Application>(lParam));
    Application* app = WindowObject<Application>(window);
    if (!app)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        OnEndSession(*app, wParam);
        return 0;
    case WM_DISPLAYCHANGE:
        FollowDisplayChange(*app);
        return 0;
    case WM_DPICHANGED:
        FollowTrayDpi(*app);
        return 0;
    default:
        if (message == TaskbarCreatedMessage() && message != 0) {
            AddTrayIconAgain(*app);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
