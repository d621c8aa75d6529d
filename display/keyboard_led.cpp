#include "display/keyboard_led.h"

#include "display/display_system.h"
#include "settings/settings_model.h"

namespace {

constexpr wchar_t kDeviceName[] = L"Kbd";
constexpr wchar_t kDeviceTarget[] = L"\\Device\\KeyboardClass0";
constexpr wchar_t kDevicePath[] = L"\\\\.\\Kbd";
constexpr BYTE kScrollLockScanCode = 0x45;

}  // namespace

void KeyboardLed::Open()
{
    DisplaySystem& system = CurrentDisplaySystem();
    definedName_ = system.DefineDeviceName(DDD_RAW_TARGET_PATH, kDeviceName, kDeviceTarget);
    device_ = definedName_ ? system.OpenKeyboard(kDevicePath) : INVALID_HANDLE_VALUE;
}

void KeyboardLed::Close(const SettingsBlock& settings)
{
    if (settings.useKeyboardLed) {
        wantOn_ = false;
        Apply(settings);
    }
    DisplaySystem& system = CurrentDisplaySystem();
    if (definedName_) {
        // Only this program's own definition goes; one made by another program
        // for the same name stays.
        system.DefineDeviceName(DDD_EXACT_MATCH_ON_REMOVE | DDD_REMOVE_DEFINITION | DDD_RAW_TARGET_PATH,
                               kDeviceName, kDeviceTarget);
        definedName_ = false;
    }
    if (DeviceUsable())
        system.CloseKeyboard(device_);
    device_ = nullptr;
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

void KeyboardLed::Apply(const SettingsBlock& settings)
{
    if (!settings.useKeyboardLed)
        return;
    if (!settings.useKeyboardLedDirectAccess) {
        const bool toggledOn = (CurrentDisplaySystem().KeyState(VK_SCROLL) & 1) != 0;
        if (toggledOn != wantOn_)
            PressScrollLock();
        return;
    }
    SetScrollLockLed(wantOn_);
}

void KeyboardLed::SetScrollLockLed(bool on)
{
    if (!DeviceUsable())
        return;
    DisplaySystem& system = CurrentDisplaySystem();
    KEYBOARD_INDICATOR_PARAMETERS indicators{};
    // Read every time: a NumLock or CapsLock press makes the system set all
    // three LEDs from the toggle states. Without an answer the other LEDs'
    // bits are unknown: setting would switch NumLock and CapsLock at random.
    if (!system.QueryKeyboardIndicators(device_, &indicators))
        return;
    if (((indicators.LedFlags & KEYBOARD_SCROLL_LOCK_ON) != 0) == on)
        return;
    indicators.UnitId = 0;
    indicators.LedFlags = static_cast<USHORT>((indicators.LedFlags & ~KEYBOARD_SCROLL_LOCK_ON) |
                                              (on ? KEYBOARD_SCROLL_LOCK_ON : 0));
    system.SetKeyboardIndicators(device_, indicators);
}

void KeyboardLed::PressScrollLock()
{
    DisplaySystem& system = CurrentDisplaySystem();
    system.KeyEvent(VK_SCROLL, kScrollLockScanCode, KEYEVENTF_EXTENDEDKEY);
    system.KeyEvent(VK_SCROLL, kScrollLockScanCode, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP);
}
