#include "display/display_system.h"

#include <string_view>

namespace {

DisplaySystem g_realSystem;
DisplaySystem* g_current = &g_realSystem;

}  // namespace

bool DisplaySystem::NotifyIcon(DWORD message, NOTIFYICONDATAW* data)
{
    return ::Shell_NotifyIconW(message, data) != FALSE;
}

void DisplaySystem::KeyEvent(BYTE key, BYTE scanCode, DWORD flags)
{
    ::keybd_event(key, scanCode, flags, 0);
}

SHORT DisplaySystem::KeyState(int key)
{
    return ::GetKeyState(key);
}

SHORT DisplaySystem::AsyncKeyState(int key)
{
    return ::GetAsyncKeyState(key);
}

DWORD DisplaySystem::TickCount()
{
    return ::GetTickCount();
}

DWORD DisplaySystem::LastInputTime()
{
    LASTINPUTINFO info{sizeof info, 0};
    return ::GetLastInputInfo(&info) ? info.dwTime : ::GetTickCount();
}

HWND DisplaySystem::ForegroundWindow()
{
    return ::GetForegroundWindow();
}

bool DisplaySystem::DescribeWindow(HWND window, WindowFacts* facts)
{
    MONITORINFO monitor{sizeof monitor};
    facts->monitor = ::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    if (!::GetWindowRect(window, &facts->rect) || !::GetMonitorInfoW(facts->monitor, &monitor))
        return false;
    facts->monitorRect = monitor.rcMonitor;
    ::GetWindowThreadProcessId(window, &facts->process);
    wchar_t name[32] = {};
    ::GetClassNameW(window, name, 32);
    const std::wstring_view className = name;
    facts->shell = window == ::GetShellWindow() || window == ::GetDesktopWindow() || className == L"Progman" ||
                   className == L"WorkerW" || className == L"Shell_TrayWnd";
    return true;
}

HMONITOR DisplaySystem::MonitorOf(const RECT& rect)
{
    return ::MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST);
}

DWORD DisplaySystem::ScreenSaverTimeout()
{
    BOOL active = FALSE;
    UINT seconds = 0;
    if (!::SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &active, 0) || !active ||
        !::SystemParametersInfoW(SPI_GETSCREENSAVETIMEOUT, 0, &seconds, 0))
        return 0;
    return seconds * 1000;
}

void DisplaySystem::AllowMessage(HWND window, UINT message)
{
    using Filter = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    static const auto filter = reinterpret_cast<Filter>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilterEx")));
    if (filter)
        filter(window, message, MSGFLT_ALLOW, nullptr);
}

bool DisplaySystem::DefineDeviceName(DWORD flags, const wchar_t* name, const wchar_t* target)
{
    return ::DefineDosDeviceW(flags, name, target) != FALSE;
}

HANDLE DisplaySystem::OpenKeyboard(const wchar_t* path)
{
    return CreateFileW(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

void DisplaySystem::CloseKeyboard(HANDLE device)
{
    CloseHandle(device);
}

bool DisplaySystem::QueryKeyboardIndicators(HANDLE device, KEYBOARD_INDICATOR_PARAMETERS* indicators)
{
    DWORD returned = 0;
    return DeviceIoControl(device, IOCTL_KEYBOARD_QUERY_INDICATORS, nullptr, 0, indicators, sizeof *indicators,
                           &returned, nullptr) &&
           returned == sizeof *indicators;
}

bool DisplaySystem::SetKeyboardIndicators(HANDLE device, const KEYBOARD_INDICATOR_PARAMETERS& indicators)
{
    KEYBOARD_INDICATOR_PARAMETERS input = indicators;
    DWORD returned = 0;
    return DeviceIoControl(device, IOCTL_KEYBOARD_SET_INDICATORS, &input, sizeof input, nullptr, 0, &returned,
                           nullptr) != FALSE;
}

DisplaySystem& CurrentDisplaySystem()
{
    return *g_current;
}

ScopedDisplaySystem::ScopedDisplaySystem(DisplaySystem& replacement) : previous_(g_current)
{
    g_current = &replacement;
}

ScopedDisplaySystem::~ScopedDisplaySystem()
{
    g_current = previous_;
}
