#pragma once
// The display folder's seam scripted: the shell's icon calls recorded with
// their ids (adds and version calls that fail on request), Ctrl and Shift held on request, a
// ScrollLock key that its presses toggle, a clock and the last input's time,
// and a keyboard device whose indicator record keeps what was set.
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "display/display_system.h"

class FakeDisplaySystem : public DisplaySystem {
public:
    // The shell as documented: an add fails while the icon of its id exists, a modify while it does not.
    bool NotifyIcon(DWORD message, NOTIFYICONDATAW* data) override
    {
        calls.push_back(data->cbSize == 968 ? message : 0);  // 0: a structure of another size
        images.push_back(data->hIcon);
        callsById.insert({message, data->uID});
        switch (message) {
        case NIM_ADD:
            if (lateAdds-- > 0) {
                iconsShown.insert(data->uID);  // reported failed after a time-out, made all the same
                return false;
            }
            if (failAdds-- > 0 || iconsShown.count(data->uID))
                return false;
            iconsShown.insert(data->uID);
            return true;
        case NIM_MODIFY:
            return iconsShown.count(data->uID) != 0;
        case NIM_DELETE:
            return iconsShown.erase(data->uID) != 0;
        default:
            return failVersions-- <= 0;
        }
    }
    // ScrollLock's own scan code toggles it on the press; the input resets the idle time.
    void KeyEvent(BYTE key, BYTE scanCode, DWORD flags) override
    {
        ++switches;
        scrollLock ^= key == VK_SCROLL && scanCode == 0x46 && flags == 0;
        lastInput = now + stamp;
    }
    DWORD TickCount() override { return now += clockStep; }
    DWORD LastInputTime() override { return lastInput; }
    DWORD ScreenSaverTimeout() override { return 0; }  // no screen saver
    void AllowMessage(HWND window, UINT message) override { allowed.emplace_back(window, message); }
    SHORT KeyState(int key) override
    {
        keyStateThreads.push_back(GetCurrentThreadId());
        return key == VK_SCROLL && scrollLock;
    }
    SHORT AsyncKeyState(int key) override { return held.count(key) ? SHORT(0x8000) : SHORT(0); }
    bool DefineDeviceName(DWORD flags, const wchar_t* name, const wchar_t* target) override
    {
        defines.push_back(flags);
        return std::wstring(name) + target == L"Kbd\\Device\\KeyboardClass0" && defineWorks;
    }
    // Windows the test describes, and monitors side by side (none: the real ones).
    HWND ForegroundWindow() override { return foreground; }
    bool DescribeWindow(HWND window, WindowFacts* facts) override
    {
        *facts = windows[window];
        return windows.count(window) != 0;
    }
    HMONITOR MonitorOf(const RECT& rect) override
    {
        for (std::size_t i = 0; i < monitors.size(); ++i)
            if (rect.left >= monitors[i].left && rect.left < monitors[i].right)
                return reinterpret_cast<HMONITOR>(i + 1);
        return monitors.empty() ? DisplaySystem::MonitorOf(rect) : nullptr;
    }
    // A window of the rectangle, on the monitor that holds its left edge.
    WindowFacts Window(RECT rect, DWORD process, bool shell = false)
    {
        const HMONITOR monitor = MonitorOf(rect);
        return {rect, monitor, monitors[reinterpret_cast<std::size_t>(monitor) - 1], process, shell};
    }
    HANDLE OpenKeyboard(const wchar_t*) override { return openWorks ? kDevice : INVALID_HANDLE_VALUE; }
    void CloseKeyboard(HANDLE device) override { closed.push_back(device); }
    bool QueryKeyboardIndicators(HANDLE, KEYBOARD_INDICATOR_PARAMETERS* indicators) override
    {
        const bool zeroed = indicators->UnitId == 0 && indicators->LedFlags == 0;
        *indicators = {1, leds};
        ++requests;
        return zeroed && queryWorks;
    }
    bool SetKeyboardIndicators(HANDLE, const KEYBOARD_INDICATOR_PARAMETERS& indicators) override
    {
        ++requests;
        if (setWorks)
            leds = indicators.LedFlags;
        return setWorks;
    }

    static inline const HANDLE kDevice = reinterpret_cast<HANDLE>(0x1234);
    std::vector<DWORD> calls;
    std::vector<DWORD> defines;
    std::vector<HICON> images;
    std::multiset<std::pair<DWORD, UINT>> callsById;
    std::vector<HANDLE> closed;
    int failAdds = 0;
    int lateAdds = 0;
    int failVersions = 0;
    int switches = 0;
    int requests = 0;
    std::set<UINT> iconsShown;
    std::vector<std::pair<HWND, UINT>> allowed;
    std::set<int> held;  // keys held down (Shift, Ctrl)
    HWND foreground = nullptr;
    std::map<HWND, WindowFacts> windows;
    std::vector<RECT> monitors;
    bool scrollLock = true;  // ScrollLock on
    bool defineWorks = true;
    bool openWorks = true;
    bool queryWorks = true;
    bool setWorks = true;
    DWORD now = 100000;  // milliseconds
    DWORD lastInput = 100000;
    DWORD clockStep = 0;
    LONG stamp = 0;  // a key event's input time after the clock's reading
    std::vector<DWORD> keyStateThreads;
    USHORT leds = KEYBOARD_NUM_LOCK_ON | KEYBOARD_CAPS_LOCK_ON | KEYBOARD_SCROLL_LOCK_ON;
};
