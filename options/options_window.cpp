#include "options/options_window.h"

#include "app/application.h"
#include "resources/resource.h"

namespace {

LRESULT CALLBACK OptionsWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
        App().options = nullptr;
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool RegisterOptionsClass(HINSTANCE instance)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = OptionsWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kOptionsClass;
    return RegisterClassExW(&windowClass) != 0;
}

bool CreateOptionsWindow()
{
    return false;
}

void DestroyOptionsWindow()
{
    if (App().options)
        DestroyWindow(App().options);
    App().options = nullptr;
}
