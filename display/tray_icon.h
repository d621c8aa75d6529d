#pragma once
// The notification-area icon and the LED painted into it.
#include <windows.h>

#include <cstdint>

struct SettingsBlock;

class TrayIcon {
public:
    bool Present() const { return false; }
    void Add(HWND, const SettingsBlock&) {}
    void Remove() {}
    // Shows the image for the tray state (high 16 bits read, low 16 bits write).
    void Update(std::uint32_t, const SettingsBlock&) {}
    // Paints the LED images anew from the colour settings.
    void BuildLedIcons(const SettingsBlock&) {}
};
