#pragma once
// The program's operations over its objects: what start-up, the worker and
// session windows and the hosts ask for. They call down (into the sampling
// cycle, the displays, the Options window, the sources and the settings) and
// never back up into the windows that call them.
#include <windows.h>

struct Application;

// The Options window: made, or shown and brought to the top; closed (its
// pages store what they show first); forgotten once destroyed.
void ShowOptionsWindow(Application& app);
void CloseOptionsWindow(Application& app);
void OptionsWindowGone(Application& app, HWND frame);

// Shows the first popup of menu resource `menuId` (tray or indicator menu) at
// the cursor and carries out "Options" or "Exit Qorvel". The owner is made
// foreground first and sent WM_NULL after, so that the menu closes on a click
// elsewhere; the menu is destroyed after use.
void ShowShellMenu(Application& app, int menuId, HWND owner);
// The tray's menu, owned by the session window (a window that can be foreground).
void ShowTrayMenu(Application& app);

// The global settings into the store when they differ from it, then the file
// written (the store writes only when modified).
void SaveSettings(Application& app);
// Every indicator's settings in display-list order into the store (no save).
void StoreIndicatorSettings(Application& app);
// The same, then the file written.
void SaveAllSettings(Application& app);
// The settings written one second after the last call (after a drag).
void ScheduleSettingsSave(Application& app);

// The indicator list: physical drives and the all-in-one entry, then the
// logical disks.
void EnumerateDrives(Application& app);
// The display records, with any indicator saved on no monitor brought back.
void BuildIndicators(Application& app);
// Destroys every indicator window, stores each indicator's settings, closes
// and destroys every record; the display list is empty afterwards and the tray
// record is cleared with the records (the drives' tray icons stay, reading no
// record, until SyncDriveTrayIcons).
void TearDownIndicators(Application& app);
// The indicator windows made again for the mode and the flags, and the global
// settings stored.
void RebuildIndicatorWindows(Application& app);
// The colours changed: the indicators repaint where they look different and
// the tray LEDs' images (the drives' too) are painted anew and shown.
void RecolourDisplays(Application& app);
// What a device arriving or leaving leads to, 3 s after the last one: the
// Options window closes, the indicators are torn down, the performance
// libraries read again, the drives enumerated again and the records and
// windows rebuilt; a drive's tray icon goes with its drive and comes back with
// it; an Options window that was open comes back as it was.
void RebuildAfterDeviceChange(Application& app);
// The display changed: indicators on no monitor come back, the tray LED
// follows the notification area's DPI.
void FollowDisplayChange(Application& app);

// The sampling timer (the sampler's, or the window timer that stands in for
// it) at the "Frequency" period of now.
void RestartSampling(Application& app);

// The tray icon. Adding answers whether it is present; "ShowTrayIcon" is the
// caller's test. Start-up's add (with the drives' icons) is tried again a few
// times over the first seconds when one fails (IDT_TRAY_RETRY): the shell may
// not be ready at logon.
bool AddTrayIcon(Application& app);
void AddTrayIconWithRetries(Application& app);
void RetryTrayIcon(Application& app);
void RemoveTrayIcon(Application& app);
// The shell started anew: the icon is added again when "ShowTrayIcon" is on,
// and every drive's icon.
void AddTrayIconAgain(Application& app);
void UpdateTrayIcon(Application& app);  // the image for the tray state and the settings
void ResetTrayState(Application& app);  // tray state 0, then UpdateTrayIcon
// The tray LED images painted anew when the notification area's DPI changed,
// and shown.
void FollowTrayDpi(Application& app);
// The drives' own tray icons follow the display records' tray flags (added,
// kept or removed); answers whether every chosen one is present.
bool SyncDriveTrayIcons(Application& app);
// The pointer is over a drive's tray icon: its tip shows the drive's rates of now.
void RefreshDriveTrayTip(Application& app, UINT id);

// Switches the keyboard LED off now when "UseKeyboardLed" is on (before the
// feature is turned off or its mode changes).
void DarkenKeyboardLed(Application& app);

// Every setting, global and each indicator's, into the store and the file
// written (the end of the session, "Reset to defaults").
void SaveEverything(Application& app);
