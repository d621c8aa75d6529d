#include "display/tray_icon.h"

#include <commctrl.h>

#include <cwchar>
#include <iterator>

#include "display/display_system.h"
#include "settings/settings_model.h"

UINT TaskbarCreatedMessage()
{
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

void HearShellRestarts(HWND window)
{
    if (window && TaskbarCreatedMessage() != 0)
        CurrentDisplaySystem().AllowMessage(window, TaskbarCreatedMessage());
}

UniqueIcon LoadSmallIcon(HINSTANCE instance, int id)
{
    using LoadMetric = HRESULT(WINAPI*)(HINSTANCE, const wchar_t*, int, HICON*);
    static const auto loadMetric = reinterpret_cast<LoadMetric>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"comctl32.dll"), "LoadIconMetric")));
    HICON icon = nullptr;
    if (!loadMetric || FAILED(loadMetric(instance, MAKEINTRESOURCEW(id), LIM_SMALL, &icon)))
        icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    return UniqueIcon(icon);
}

void TrayIcon::UseIcons(HICON application, HICON ledOff, HICON ledOn)
{
    application_ = application;
    ledOff_ = ledOff;
    ledOn_ = ledOn;
}

void TrayIcon::Fill(HWND owner, UINT flags, HICON icon)
{
    data_ = NOTIFYICONDATAW{};
    // The structure up to and including guidItem, as version 3 expects.
    data_.cbSize = NOTIFYICONDATAW_V3_SIZE;
    data_.hWnd = owner;
    data_.uID = id_;
    data_.uFlags = flags;
    data_.uCallbackMessage = kTrayCallbackMessage;
    data_.hIcon = icon;
    wcsncpy(data_.szTip, tip_[0] ? tip_ : kTrayTip, std::size(data_.szTip) - 1);
}

bool TrayIcon::Add(HWND owner, std::uint32_t state, const SettingsBlock& settings)
{
    if (present_)
        return true;
    DisplaySystem& system = CurrentDisplaySystem();
    const HICON image = ImageFor(state, settings);
    Fill(owner, NIF_MESSAGE | NIF_ICON | NIF_TIP, image);
    // A shell that answered an earlier add only after its own time-out (at
    // logon) has the icon already: the add fails and the modify finds it.
    if (!system.NotifyIcon(NIM_ADD, &data_) && !system.NotifyIcon(NIM_MODIFY, &data_))
        return false;
    data_.uVersion = NOTIFYICON_VERSION;
    data_.uFlags = 0;
    if (!system.NotifyIcon(NIM_SETVERSION, &data_)) {
        // An icon left behind would make the next add fail.
        Fill(owner, NIF_ICON, application_);
        system.NotifyIcon(NIM_DELETE, &data_);
        return false;
    }
    present_ = true;
    shown_ = image;
    return true;
}

void TrayIcon::Remove()
{
    if (present_) {
        Fill(data_.hWnd, NIF_ICON, application_);
        CurrentDisplaySystem().NotifyIcon(NIM_DELETE, &data_);
    }
    present_ = false;
    shown_ = nullptr;
}

bool TrayIcon::AddAgain(HWND owner, std::uint32_t state, const SettingsBlock& settings)
{
    // After a shell restart the delete finds nothing; when the shell merely
    // asks again, it clears the way for the add.
    Fill(owner, NIF_ICON, application_);
    CurrentDisplaySystem().NotifyIcon(NIM_DELETE, &data_);
    present_ = false;
    shown_ = nullptr;
    return Add(owner, state, settings);
}

void TrayIcon::SetTip(const wchar_t* tip)
{
    wchar_t text[kTipSize] = {};
    wcsncpy(text, tip, kTipSize - 1);
    if (std::wcscmp(text, tip_) == 0)
        return;
    std::wmemcpy(tip_, text, kTipSize);
    if (!present_)
        return;
    wcsncpy(data_.szTip, tip_, std::size(data_.szTip) - 1);
    data_.uFlags = NIF_TIP;
    CurrentDisplaySystem().NotifyIcon(NIM_MODIFY, &data_);
}

HICON TrayIcon::ImageFor(std::uint32_t state, const SettingsBlock& settings) const
{
    if (!settings.useTrayLed && !alwaysLed_)
        return application_;
    if (icons_.Empty())
        return state != 0 ? ledOn_ : ledOff_;
    return PickLedIcon(icons_, state >> 16, state & 0xFFFF);
}

void TrayIcon::Update(std::uint32_t state, const SettingsBlock& settings)
{
    if (!present_)
        return;
    const HICON image = ImageFor(state, settings);
    if (image == shown_)
        return;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.hIcon = image;
    if (CurrentDisplaySystem().NotifyIcon(NIM_MODIFY, &data_))
        shown_ = image;
}

void TrayIcon::BuildLedIcons(const SettingsBlock& settings, UINT dpi, std::wstring_view label)
{
    icons_ = LedIcons{};  // the old images go before the new ones are made
    icons_ =
        ::BuildLedIcons(settings.readColor, settings.writeColor, settings.idleColor, LedIconSizeForDpi(dpi), label);
    ledDpi_ = dpi;
    // A new image may reuse a destroyed one's handle: the next update sends it.
    shown_ = nullptr;
}
