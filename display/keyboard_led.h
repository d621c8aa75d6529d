#pragma once
// The keyboard's ScrollLock LED as an activity light, in one of two modes:
// synthesized (ScrollLock presses through the input system, so the toggle
// state follows) or direct (the keyboard driver's indicator requests through
// the DOS name "Kbd", so only the LED changes). Direct mode needs a device
// that a standard user often may not open: when it cannot be had or a request
// fails, the LED goes on by presses for the rest of the session.
#include <windows.h>

#include <cstdint>

struct SettingsBlock;

class KeyboardLed {
public:
    // How long without input other than the program's own presses counts as
    // the user being away (a shorter screen-saver time counts instead).
    static constexpr DWORD kAwayAfter = 60000;
    // Input this soon after one of the program's presses (a tick of the
    // system clock) is that press.
    static constexpr DWORD kOwnInputSlack = 20;

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
    // once a tick for that: lock keys rewrite them). Presses count as input
    // and would keep the screen saver and the lock away: while the user is
    // away the LED is left dark and nothing is pressed.
    void PreStep(std::uint32_t& anyActivity, const SettingsBlock& settings);
    void PostStep(std::uint32_t anyActivity, const SettingsBlock& settings);
    void Apply(const SettingsBlock& settings);

    // Whether direct mode works this session (the device opened, no request failed).
    bool DirectAvailable() const { return !directFailed_; }

private:
    bool SetScrollLockLed(bool on);  // false when the device cannot do it
    void PressScrollLockTo(bool on);
    bool UserAway();
    bool DeviceUsable() const { return device_ != nullptr && device_ != INVALID_HANDLE_VALUE; }

    HANDLE device_ = nullptr;   // INVALID_HANDLE_VALUE when it could not be opened
    bool definedName_ = false;  // "Kbd" is this program's definition
    bool directFailed_ = false;
    bool wantOn_ = false;
    bool pressed_ = false;   // the program has pressed a key
    DWORD ownInputAt_ = 0;   // when it last did
    DWORD userInputAt_ = 0;  // the last input that was not the program's
};
