#pragma once
// The shell operations the rest of the program calls: showing the Options
// window, saving, and tearing down and rebuilding the indicators.
#include "app/application.h"

// Creates the Options window, or shows an existing one and brings it to the top.
void ShowOptionsWindow();

// Shows the first popup of menu resource `menuId` (tray or indicator menu) at
// the cursor and carries out "Options" or "Exit Qorvel". The owner is made
// foreground first and sent WM_NULL after, so that the menu closes on a click
// elsewhere; the menu is destroyed after use.
void ShowShellMenu(int menuId, HWND owner);

// Stores every indicator's settings in display-list order, then writes the
// settings file. Answers true.
bool SaveAllSettings(Application& app = App());

// Stores every indicator's settings in display-list order (without saving).
void StoreIndicatorSettings(Application& app);

// Destroys every indicator window, stores each indicator's settings, closes
// and destroys every record; the display list is empty afterwards and the tray
// record is cleared with the records.
void TearDownIndicators(Application& app);

// Recreates the indicator windows for the indicator mode, repaints the tray
// LED images and stores the global settings. Answers true.
bool RebuildIndicatorWindows(Application& app = App());

// What a device arriving or leaving leads to, 3 s after the last one: the
// Options window closes, the indicators are torn down, the drives enumerated
// again and the records and windows rebuilt; an Options window that was open
// comes back on the tab it showed.
void RebuildAfterDeviceChange(Application& app);

// Writes the settings one second after the last call (after a drag).
void ScheduleSettingsSave();

// The tray icon (thin entry points over the application's tray icon).
bool AddTrayIcon();     // adds it when absent; "ShowTrayIcon" is the caller's test; true when present
void RemoveTrayIcon();  // removes it when present
void UpdateTrayIcon();  // shows the image for the current tray state and settings
void ResetTrayState();  // tray state 0, then UpdateTrayIcon

// Start-up's add: when it fails (the shell is not ready yet at logon) it is
// tried again a few times over the first seconds (IDT_TRAY_RETRY).
void AddTrayIconWithRetries();
void RetryTrayIcon();

// The shell started anew: the icon is added again when "ShowTrayIcon" is on.
void AddTrayIconAgain();

// Paints the tray LED images anew when the notification area's DPI changed
// (true then); FollowTrayDpi also shows the new image.
bool RepaintTrayLedForDpi();
void FollowTrayDpi();

// Switches the keyboard LED off now when "UseKeyboardLed" is on (the Options
// page runs it before it turns the feature off or changes the mode).
void KeyboardLedPreStep();
