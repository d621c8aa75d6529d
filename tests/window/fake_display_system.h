#pragma once
// The display folder's seam scripted: the shell's icon calls recorded (adds
// and version calls that fail on request), a ScrollLock key that its presses
// toggle, and a keyboard device whose indicator record keeps what was set.
#include <algorithm>
#include <string>
#include <vector>

#include "display/display_system.h"

class FakeDisplaySystem : public DisplaySystem {
public:
    bool NotifyIcon(DWORD message, NOTIFYICONDATAW* data) override
    {
        calls.push_back(message);
        sizes.push_back(data->cbSize);
        images.push_back(data->hIcon);
        int* failures = message == NIM_ADD ? &failAdds : message == NIM_SETVERSION ? &failVersions : nullptr;
        return !failures || (*failures)-- <= 0;
    }
    int Count(DWORD message) const { return static_cast<int>(std::count(calls.begin(), calls.end(), message)); }

    void KeyEvent(BYTE key, BYTE scanCode, DWORD flags) override
    {
        ++switches;
        scrollLock ^= key == VK_SCROLL && scanCode == 0x45 && flags == KEYEVENTF_EXTENDEDKEY;
    }
    SHORT KeyState(int key) override { return key == VK_SCROLL && scrollLock; }
    bool DefineDeviceName(DWORD flags, const wchar_t*, const wchar_t* target) override
    {
        defines.push_back(flags);
        return std::wstring(target) == L"\\Device\\KeyboardClass0" && defineWorks;
    }
    HANDLE OpenKeyboard(const wchar_t*) override { return openWorks ? kDevice : INVALID_HANDLE_VALUE; }
    void CloseKeyboard(HANDLE device) override { closed.push_back(device); }
    bool QueryKeyboardIndicators(HANDLE, KEYBOARD_INDICATOR_PARAMETERS* indicators) override
    {
        ++requests;
        const bool zeroed = indicators->UnitId == 0 && indicators->LedFlags == 0;
        *indicators = {1, leds};
        return zeroed && queryWorks;
    }
    bool SetKeyboardIndicators(HANDLE, const KEYBOARD_INDICATOR_PARAMETERS& indicators) override
    {
        return ++requests, leds = indicators.LedFlags, true;
    }

    static inline const HANDLE kDevice = reinterpret_cast<HANDLE>(0x1234);
    std::vector<DWORD> calls, sizes, defines;
    std::vector<HICON> images;
    std::vector<HANDLE> closed;
    int failAdds = 0, failVersions = 0, switches = 0, requests = 0;
    bool scrollLock = true, defineWorks = true, openWorks = true, queryWorks = true;  // ScrollLock on at start
    USHORT leds = KEYBOARD_NUM_LOCK_ON | KEYBOARD_CAPS_LOCK_ON | KEYBOARD_SCROLL_LOCK_ON;
};
