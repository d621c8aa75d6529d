#pragma once
// The keyboard's ScrollLock LED as an activity light, in one of two modes:
// synthesized (ScrollLock presses through the input system, so the toggle
// state follows) or direct (the keyboard driver's indicator requests through
// the DOS name "Kbd", so only the LED changes).
#include <windows.h>

#include <cstdint>

struct SettingsBlock;

class KeyboardLed {
public:
    KeyboardLed() = default;
    ~KeyboardLed() = default;
    KeyboardLed(const KeyboardLed&) = delete;
    KeyboardLed& operator=(const KeyboardLed&) = delete;

    // OpenKeyboardDevice: defines "Kbd" for the first keyboard class device and
    // opens it, whatever the settings (direct mode may be chosen later).
    void Open();
    // The exit clean-up: the LED switched off once when the feature is on, the
    // device closed and the name removed when this program defined it.
    void Close(const SettingsBlock& settings);

    // The sampling tick's steps. The pre-step starts a tick (no activity yet,
    // LED wanted off while the feature is on), the post-step wants the LED on
    // when anything was active, and Apply switches the LED only when the
    // wanted state differs from the one it shows (direct mode reads the LEDs
    // once a tick for that: lock keys rewrite them).
    void PreStep(std::uint32_t& anyActivity, const SettingsBlock& settings);
    void PostStep(std::uint32_t anyActivity, const SettingsBlock& settings);
    void Apply(const SettingsBlock& settings);

private:
    void SetScrollLockLed(bool on);
    static void PressScrollLock();
    bool DeviceUsable() const { return device_ != nullptr && device_ != INVALID_HANDLE_VALUE; }

    HANDLE device_ = nullptr;    // INVALID_HANDLE_VALUE when it could not be opened
    bool definedName_ = false;   // "Kbd" is this program's definition
    bool wantOn_ = false;
};
