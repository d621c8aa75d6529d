#pragma once
// The notification-area icon: added, removed and kept showing the tray LED
// (the all-in-one record's activity) or the application icon. The shell hears
// only about changes: an update whose image is the one shown sends nothing.
#include <windows.h>
#include <shellapi.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "display/icon_painter.h"

struct SettingsBlock;

inline constexpr UINT kTrayCallbackMessage = WM_USER + 17;  // WM_TRAYNOTIFY
inline constexpr UINT kTrayId = 1;
inline constexpr wchar_t kTrayTip[] = L"Qorvel Indicator  - HDD activity monitor";

// The message the shell broadcasts when the taskbar is created (again).
UINT TaskbarCreatedMessage();

// Lets "TaskbarCreated" reach the window also while the program runs elevated:
// the system drops messages from a lower integrity level otherwise, and the
// icon would be gone for good after the shell restarts.
void HearShellRestarts(HWND window);

// An icon resource at the small-icon size (LoadIconMetric with LIM_SMALL, or
// the small-icon metrics where that is missing), drawn from its own image
// rather than scaled from the large one.
UniqueIcon LoadSmallIcon(HINSTANCE instance, int id);

class TrayIcon {
public:
    TrayIcon() = default;  // the all-drives icon, kTrayId
    // An icon of its own id that shows its LED whatever "UseTrayLed" says (a drive's icon).
    explicit TrayIcon(UINT id) : id_(id), alwaysLed_(true) {}
    ~TrayIcon() { Remove(); }  // an icon left in the tray would stay until the pointer passes it
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // The application icon (107) and the fallback LED icons (148 off, 152 on),
    // owned by the caller; shown while no painted LED icons exist.
    void UseIcons(HICON application, HICON ledOff, HICON ledOn);

    UINT Id() const { return id_; }
    bool Present() const { return present_; }
    HICON Shown() const { return shown_; }  // the image the shell shows

    // NIM_ADD with the image for the state (NIM_MODIFY when the add fails: a
    // late add may have made the icon), then the version call. Nothing when
    // present already. Answers whether the icon is present afterwards; when
    // the version call fails the added icon is deleted again.
    bool Add(HWND owner, std::uint32_t state, const SettingsBlock& settings);
    // NIM_DELETE when present; absent afterwards in every case.
    void Remove();
    // The shell started anew (or asks for the icons again): the icon is added
    // again, whatever happened to the one before.
    bool AddAgain(HWND owner, std::uint32_t state, const SettingsBlock& settings);

    // Shows the image for the tray state (high 16 bits read, low 16 bits
    // write): NIM_MODIFY only when it differs from the image shown.
    void Update(std::uint32_t state, const SettingsBlock& settings);

    // The tip (cut at the shell's 127 characters): kept for the next add, and
    // sent at once (NIM_MODIFY) when present and different from the tip shown.
    void SetTip(const wchar_t* tip);

    // Paints the LED images anew from the colour settings at the size for the
    // DPI, with the label on them; until the next update the shell still shows
    // the old image.
    void BuildLedIcons(const SettingsBlock& settings, UINT dpi = USER_DEFAULT_SCREEN_DPI, std::wstring_view label = {});
    UINT LedDpi() const { return ledDpi_; }
    const LedIcons& Icons() const { return icons_; }

    // The image for a state with these settings.
    HICON ImageFor(std::uint32_t state, const SettingsBlock& settings) const;

private:
    void Fill(HWND owner, UINT flags, HICON icon);

    NOTIFYICONDATAW data_{};
    UINT id_ = kTrayId;
    bool alwaysLed_ = false;
    static constexpr std::size_t kTipSize = 128;  // szTip's
    wchar_t tip_[kTipSize] = {};                  // the tip of the next add or modify
    bool present_ = false;
    HICON shown_ = nullptr;  // the image the shell was last given successfully
    HICON application_ = nullptr;
    HICON ledOff_ = nullptr;
    HICON ledOn_ = nullptr;
    LedIcons icons_;
    UINT ledDpi_ = 0;
};
