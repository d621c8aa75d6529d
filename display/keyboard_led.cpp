#include "display/keyboard_led.h"

#include "display/display_system.h"
#include "settings/settings_model.h"

namespace {

constexpr wchar_t kDeviceName[] = L"Kbd";
constexpr wchar_t kDeviceTarget[] = L"\\Device\\KeyboardClass0";
constexpr wchar_t kDevicePath[] = L"\\\\.\\Kbd";
constexpr BYTE kScrollLockScanCode = 0x46;  // not an extended key

}  // namespace

void KeyboardDevice::Reset(HANDLE device)
{
    if (Usable())
        CurrentDisplaySystem().CloseKeyboard(device_);
    device_ = device;
}

bool DosDeviceName::Define(const wchar_t* name, const wchar_t* target)
{
    Remove();
    if (!CurrentDisplaySystem().DefineDeviceName(DDD_RAW_TARGET_PATH, name, target))
        return false;
    name_ = name;
    target_ = target;
    return true;
}

void DosDeviceName::Remove()
{
    if (!name_)
        return;
    CurrentDisplaySystem().DefineDeviceName(DDD_EXACT_MATCH_ON_REMOVE | DDD_REMOVE_DEFINITION | DDD_RAW_TARGET_PATH,
                                            name_, target_);
    name_ = nullptr;
}

void KeyboardLed::Open()
{
    const bool defined = name_.Define(kDeviceName, kDeviceTarget);
    device_.Reset(defined ? CurrentDisplaySystem().OpenKeyboard(kDevicePath) : INVALID_HANDLE_VALUE);
    directFailed_ = !device_.Usable();
}

void KeyboardLed::Close(const SettingsBlock& settings)
{
    if (settings.useKeyboardLed) {
        wantOn_ = false;
        Apply(settings);
    }
    device_.Reset();
    name_.Remove();
}

void KeyboardLed::PreStep(std::uint32_t& anyActivity, const SettingsBlock& settings)
{
    anyActivity = 0;
    if (settings.useKeyboardLed)
        wantOn_ = false;
}

void KeyboardLed::PostStep(std::uint32_t anyActivity, const SettingsBlock&)
{
    if (anyActivity != 0)
        wantOn_ = true;
}

bool KeyboardLed::Direct(const SettingsBlock& settings) const
{
    return settings.useKeyboardLedDirectAccess && !directFailed_;
}

bool KeyboardLed::PressedTarget()
{
    const bool away = UserAway();  // follows the user's input on every tick
    return wantOn_ && !away;
}

bool KeyboardLed::Step(const SettingsBlock& settings)
{
    if (!settings.useKeyboardLed)
        return false;
    if (Direct(settings) && SetScrollLockLed(wantOn_))
        return false;
    return pressedOn_ != (PressedTarget() ? 1 : 0);
}

void KeyboardLed::Press(const SettingsBlock& settings)
{
    if (!settings.useKeyboardLed || Direct(settings))
        return;
    PressScrollLockTo(PressedTarget());
}

void KeyboardLed::Apply(const SettingsBlock& settings)
{
    Step(settings);
    Press(settings);
}

bool KeyboardLed::SetScrollLockLed(bool on)
{
    DisplaySystem& system = CurrentDisplaySystem();
    KEYBOARD_INDICATOR_PARAMETERS indicators{};
    // Read every time: a NumLock or CapsLock press makes the system set all
    // three LEDs from the toggle states. Without an answer the other LEDs'
    // bits are unknown: setting would switch NumLock and CapsLock at random.
    if (!system.QueryKeyboardIndicators(device_.Get(), &indicators)) {
        directFailed_ = true;
        return false;
    }
    if (((indicators.LedFlags & KEYBOARD_SCROLL_LOCK_ON) != 0) == on)
        return true;
    indicators.UnitId = 0;
    indicators.LedFlags =
        static_cast<USHORT>((indicators.LedFlags & ~KEYBOARD_SCROLL_LOCK_ON) | (on ? KEYBOARD_SCROLL_LOCK_ON : 0));
    if (!system.SetKeyboardIndicators(device_.Get(), indicators)) {
        directFailed_ = true;
        return false;
    }
    return true;
}

void KeyboardLed::PressScrollLockTo(bool on)
{
    DisplaySystem& system = CurrentDisplaySystem();
    pressedOn_ = on ? 1 : 0;
    if (((system.KeyState(VK_SCROLL) & 1) != 0) == on)
        return;
    ownInputFrom_ = system.TickCount();
    system.KeyEvent(VK_SCROLL, kScrollLockScanCode, 0);
    system.KeyEvent(VK_SCROLL, kScrollLockScanCode, KEYEVENTF_KEYUP);
    ownInputTo_ = system.TickCount();
    pressed_ = true;
}

bool KeyboardLed::UserAway()
{
    DisplaySystem& system = CurrentDisplaySystem();
    const DWORD last = system.LastInputTime();
    // Compared as signed differences: the clock wraps every 49.7 days.
    const bool own = pressed_ && static_cast<LONG>(last - ownInputFrom_) >= -kOwnInputSlack &&
                     static_cast<LONG>(last - ownInputTo_) <= kOwnInputSlack;
    if (!own)
        userInputAt_ = last;
    DWORD limit = kAwayAfter;
    if (const DWORD saver = system.ScreenSaverTimeout(); saver != 0 && saver < limit)
        limit = saver;
    return system.TickCount() - userInputAt_ >= limit;
}
