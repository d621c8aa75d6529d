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

// The keyboard device, opened and closed through the display seam.
class KeyboardDevice {
public:
    KeyboardDevice() = default;
    ~KeyboardDevice() { Reset(); }
    KeyboardDevice(const KeyboardDevice&) = delete;
    KeyboardDevice& operator=(const KeyboardDevice&) = delete;

    HANDLE Get() const { return device_; }
    bool Usable() const { return device_ != nullptr && device_ != INVALID_HANDLE_VALUE; }
    void Reset(HANDLE device = nullptr);

private:
    HANDLE device_ = nullptr;  // INVALID_HANDLE_VALUE when it could not be opened
};

// A DOS device name this program defined; its own definition (and only that:
// one another program made for the same name stays) goes with its owner.
class DosDeviceName {
public:
    DosDeviceName() = default;
    ~DosDeviceName() { Remove(); }
    DosDeviceName(const DosDeviceName&) = delete;
    DosDeviceName& operator=(const DosDeviceName&) = delete;

    // Defines the name for the target; false when it cannot be defined.
    bool Define(const wchar_t* name, const wchar_t* target);
    void Remove();

private:
    const wchar_t* name_ = nullptr;
    const wchar_t* target_ = nullptr;
};

class KeyboardLed {
public:
    // How long without input other than the program's own presses counts as
    // the user being away (a shorter screen-saver time counts instead).
    static constexpr DWORD kAwayAfter = 60000;
    // Input stamped between the clock's reading before and after one of the
    // program's presses, give or take this much, is that press: the input
    // system stamps a synthesized key with a tick count of its own, which may
    // be a tick of the system clock (about 16 ms) before the program's.
    static constexpr LONG kOwnInputSlack = 20;

    KeyboardLed() = default;
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
    // when anything was active. Both, and Step, may run on the sampling thread.
    // Presses count as input and would keep the screen saver and the lock
    // away: while the user is away the LED is left dark and nothing is pressed.
    void PreStep(std::uint32_t& anyActivity, const SettingsBlock& settings);
    void PostStep(std::uint32_t anyActivity, const SettingsBlock& settings);
    // Direct mode sets the LED here when it differs from the wanted state (it
    // reads the LEDs once a tick for that: lock keys rewrite them). With key
    // presses, answers whether the wanted state differs from the one the
    // program's thread pressed last: the press is that thread's (a thread's
    // key state follows the key messages it has read).
    bool Step(const SettingsBlock& settings);
    // On the program's thread: presses ScrollLock when its toggle differs
    // from the wanted state (key presses only).
    void Press(const SettingsBlock& settings);
    // Both, on the program's thread.
    void Apply(const SettingsBlock& settings);

    // Whether direct mode works this session (the device opened, no request failed).
    bool DirectAvailable() const { return !directFailed_; }

private:
    bool SetScrollLockLed(bool on);  // false when the device cannot do it
    void PressScrollLockTo(bool on);
    bool UserAway();
    bool PressedTarget();  // the toggle the presses aim for now
    bool Direct(const SettingsBlock& settings) const;

    DosDeviceName name_;     // "Kbd", while this program's definition
    KeyboardDevice device_;  // closed before the name goes
    bool directFailed_ = false;
    bool wantOn_ = false;
    int pressedOn_ = -1;      // the toggle the program's thread left: 0, 1, or -1 not known yet
    bool pressed_ = false;    // the program has pressed a key
    DWORD ownInputFrom_ = 0;  // the clock before and after its last press
    DWORD ownInputTo_ = 0;
    DWORD userInputAt_ = 0;  // the last input that was not the program's
};
