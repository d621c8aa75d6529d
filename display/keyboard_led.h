#pragma once
// The keyboard's ScrollLock LED as an activity light.
#include <cstdint>

struct SettingsBlock;

class KeyboardLed {
public:
    // Prepares the keyboard device.
    void Open() {}
    // Switches the LED off when the feature is on, then releases the device.
    void Close(const SettingsBlock&) {}

    // The sampling tick's steps: the pre-step starts a tick (no activity yet,
    // LED wanted off), the post-step wants the LED on when anything was active,
    // and Apply switches the LED when the wanted state differs from its own.
    void PreStep(std::uint32_t& anyActivity, const SettingsBlock&) { anyActivity = 0; }
    void PostStep(std::uint32_t, const SettingsBlock&) {}
    void Apply(const SettingsBlock&) {}
};
