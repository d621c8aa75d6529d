#pragma once
// The display folder's seam scripted: the shell's icon calls counted (with
// adds that fail on request), a ScrollLock key whose presses toggle it, and a
// keyboard device whose indicator record keeps what was set.
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
        if (message == NIM_ADD && failAdds > 0) {
            --failAdds;
            return false;
        }
        return message != NIM_SETVERSION || !failVersion;
    }
    int Count(DWORD message) const { return static_cast<int>(std::count(calls.begin(), calls.end(), message)); }

    void KeyEvent(BYTE key, BYTE scanCode, DWORD flags) override
    {
        ++keyEvents;
        if (key == VK_SCROLL && scanCode == 0x45 && flags == KEYEVENTF_EXTENDEDKEY)
            scrollLock = !scrollLock;
    }
    SHORT KeyState(int key) override { return key == VK_SCROLL && scrollLock ? 1 : 0; }

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
        if (indicators->UnitId != 0 || indicators->LedFlags != 0 || !queryWorks)
            return false;
        *indicators = {1, leds};
        return true;
    }
    bool SetKeyboardIndicators(HANDLE, const KEYBOARD_INDICATOR_PARAMETERS& indicators) override
    {
        ++requests;
        leds = indicators.LedFlags;
        return true;
    }

    static inline const HANDLE kDevice = reinterpret_cast<HANDLE>(0x1234);
    std::vector<DWORD> calls, sizes, defines;
    std::vector<HANDLE> closed;
    std::vector<HICON> images;
    int failAdds = 0, keyEvents = 0, requests = 0;
    bool failVersion = false, scrollLock = false, defineWorks = true, openWorks = true, queryWorks = true;
    USHORT leds = KEYBOARD_NUM_LOCK_ON | KEYBOARD_CAPS_LOCK_ON | KEYBOARD_SCROLL_LOCK_ON;
};
