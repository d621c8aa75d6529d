#pragma once
// The operating-system calls of the tray icon, the keyboard LED, the
// indicators' dragging and their keeping out of full-screen programs, in one
// place so that tests can replace them and run the real code above. The
// default implementation makes the real Win32 calls.
#include <windows.h>
#include <winioctl.h>
#include <shellapi.h>
#include <ntddkbd.h>

// What the program needs to know of a top-level window.
struct WindowFacts {
    RECT rect{};         // GetWindowRect
    HMONITOR monitor{};  // the monitor it is on (MonitorFromWindow, nearest)
    RECT monitorRect{};  // that monitor's rectangle
    DWORD process = 0;   // the process that made it
    bool shell = false;  // the desktop or the taskbar
};

class DisplaySystem {
public:
    virtual ~DisplaySystem() = default;

    // Shell_NotifyIconW.
    virtual bool NotifyIcon(DWORD message, NOTIFYICONDATAW* data);

    // keybd_event: one synthesized key press or release.
    virtual void KeyEvent(BYTE key, BYTE scanCode, DWORD flags);

    // GetKeyState: bit 0 set while a toggle key (ScrollLock) is toggled on.
    virtual SHORT KeyState(int key);

    // GetAsyncKeyState: negative while the key (Shift, Ctrl) is held down.
    virtual SHORT AsyncKeyState(int key);

    // GetTickCount, and GetLastInputInfo's time of the session's last input
    // (synthesized key presses count as input too).
    virtual DWORD TickCount();
    virtual DWORD LastInputTime();
    // The screen saver's timeout in milliseconds; 0 when none is active.
    virtual DWORD ScreenSaverTimeout();

    // ChangeWindowMessageFilterEx(window, message, MSGFLT_ALLOW): lets the
    // message reach the window from processes of a lower integrity level
    // (where the system has the function).
    virtual void AllowMessage(HWND window, UINT message);

    // GetForegroundWindow, and what is known of a window; false when it is gone.
    virtual HWND ForegroundWindow();
    virtual bool DescribeWindow(HWND window, WindowFacts* facts);
    // MonitorFromRect, nearest: the monitor a rectangle lies on.
    virtual HMONITOR MonitorOf(const RECT& rect);

    // DefineDosDeviceW: a DOS device name, or its removal.
    virtual bool DefineDeviceName(DWORD flags, const wchar_t* name, const wchar_t* target);

    // CreateFileW for writing, no sharing, of a device such as \\.\Kbd;
    // INVALID_HANDLE_VALUE when it cannot be opened.
    virtual HANDLE OpenKeyboard(const wchar_t* path);
    virtual void CloseKeyboard(HANDLE device);

    // IOCTL_KEYBOARD_QUERY_INDICATORS and IOCTL_KEYBOARD_SET_INDICATORS with
    // the 4-byte record; false when the driver does not answer with it.
    virtual bool QueryKeyboardIndicators(HANDLE device, KEYBOARD_INDICATOR_PARAMETERS* indicators);
    virtual bool SetKeyboardIndicators(HANDLE device, const KEYBOARD_INDICATOR_PARAMETERS& indicators);
};

// The seam in force: the real system unless a test put another in place.
DisplaySystem& CurrentDisplaySystem();

// Puts a replacement in force for its lifetime (tests).
class ScopedDisplaySystem {
public:
    explicit ScopedDisplaySystem(DisplaySystem& replacement);
    ~ScopedDisplaySystem();
    ScopedDisplaySystem(const ScopedDisplaySystem&) = delete;
    ScopedDisplaySystem& operator=(const ScopedDisplaySystem&) = delete;

private:
    DisplaySystem* previous_;
};
