#pragma once
// The drives' own tray icons, beside the all-drives one: one for each
// physical drive and logical disk whose display record has its tray flag
// set, showing that record's activity on an LED with the drive's number or
// letter on it, with the drive's name and rates as its tip. Each has an id of
// its own (from kFirstDriveTrayId up); the shell hears of an icon's image
// only when it changes, as for the all-drives icon.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "display/display_record.h"
#include "display/tray_icon.h"

inline constexpr UINT kFirstDriveTrayId = kTrayId + 1;

// What a drive's LED says: a physical drive's number, a logical disk's name
// without its colon ("C:" gives "C").
std::wstring DriveTrayLabel(const IndicatorEntry& entry);

// The tip: the drive's name, then "Read: 12 kB/s" and "Write: 0 kB/s" on
// lines of their own when the record knows its rates.
std::wstring DriveTrayTip(performance_data& record);

// Whether a display record may have a tray icon of its own (a physical drive or a logical disk).
bool HasDriveTrayIcon(const gui_data& data);

class DriveTrayIcons {
public:
    // The images the icons show while no painted LED images exist (owned by the caller).
    void UseIcons(HICON application, HICON ledOff, HICON ledOn);

    // The icons follow the display records: an icon for each record that may
    // have one and whose tray flag is set, added when missing (notifications
    // to `owner`), kept and bound to the record when present; every other
    // icon removed. Answers whether every wanted icon is present.
    bool Sync(HWND owner, const DisplayList& displays, const SettingsBlock& settings, UINT dpi);
    // The records are going: until the next Sync the icons read none (they show idle).
    void Unbind();
    void RemoveAll();
    // The shell started anew: every icon added again, its images painted for the DPI when it differs.
    void AddAgain(HWND owner, const SettingsBlock& settings, UINT dpi);
    // The colours or the DPI changed: the images painted anew and shown.
    void Repaint(const SettingsBlock& settings, UINT dpi);

    // Whether an icon's image differs from its record's state (read only: the sampler's thread asks).
    bool UpdateDue(const SettingsBlock& settings) const;
    // NIM_MODIFY for each icon whose image differs from its record's state.
    void Update(const SettingsBlock& settings);

    // The icon of the id, or null.
    const TrayIcon* Find(UINT id) const;
    // The pointer is over the icon of the id: its tip follows its record.
    void RefreshTip(UINT id);

    UINT Dpi() const { return dpi_; }

private:
    struct DriveIcon {
        std::wstring devicePath;  // the drive's, kept across rebuilds of the records
        std::wstring label;
        performance_data* record = nullptr;  // not owned
        std::unique_ptr<TrayIcon> icon;      // removed with its owner
    };
    std::uint32_t State(const DriveIcon& drive) const { return drive.record ? drive.record->state : 0; }
    UINT FreeId() const;
    void Paint(DriveIcon& drive, const SettingsBlock& settings);

    std::vector<DriveIcon> drives_;
    HICON application_ = nullptr;
    HICON ledOff_ = nullptr;
    HICON ledOn_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
};
