#pragma once
// The program's process-wide objects, owned in one place. Start-up creates
// them in order and shutdown releases them in its order; each also has an
// owner that releases it whatever the order (the members below go in reverse).
#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "app/sampler.h"
#include "common/win_handles.h"
#include "display/drive_tray.h"
#include "display/icon_painter.h"
#include "display/indicator_host.h"
#include "display/keyboard_led.h"
#include "display/tray_icon.h"
#include "options/options_host.h"
#include "settings/ini_ex.h"
#include "settings/settings_location.h"
#include "settings/settings_model.h"
#include "sources/drive_list.h"
#include "sources/registry_access.h"

struct Application {
    ProgramGate gate;  // held by the program's thread except while it waits
    HINSTANCE instance = nullptr;
    SettingsBlock settings;                        // every global setting, the indicator mode among them
    std::unique_ptr<CIniEx> store;                 // the settings file
    SettingsPlace settingsPlace{};                 // where the settings file was chosen
    std::unique_ptr<DirectRegistryAccess> access;  // the performance-data snapshot
    IndicatorList indicators;                      // every indicator the program can show
    IndicatorHost* indicatorHost = nullptr;        // the program as the indicators see it
    OptionsHost* optionsHost = nullptr;            // ... and as the Options window sees it

    UniqueWindow worker;         // message-only: timers, tray callback, device changes
    UniqueWindow sessionWindow;  // hidden top-level: session end, display and shell broadcasts
    std::vector<UniqueDeviceNotification> deviceArrivals;  // the worker hears of USB devices and disks
    HACCEL accelerators = nullptr;
    UniqueIcon trayAppIcon;  // the small icons the tray shows
    UniqueIcon ledOffIcon;
    UniqueIcon ledOnIcon;

    TrayIcon tray;             // removed before the icons it shows go
    DriveTrayIcons driveTray;  // the chosen drives' own icons, likewise
    KeyboardLed keyboard;

    DisplayList displays;  // one display record per indicator, same order; their windows go first
    UniqueWindow options;  // the Options window while it is open; it goes before the records its pages show

    // Values of the sampling cycle.
    performance_data* trayRecord = nullptr;  // the all-in-one record; not owned
    std::uint32_t anyActivity = 0;           // OR of every state of the current tick
    std::uint32_t trayState = 0;             // what the tray icon shows
    HMONITOR fullScreenMonitor = nullptr;    // covered by a full-screen program: its indicators hide
    int trayAddTriesLeft = 0;                // retries left for a failed add at start-up
    bool ending = false;                     // the exit event was signalled
    HANDLE exitEventInLoop = nullptr;        // waited on by the message loop when the sampler could not start

    Sampler sampler;  // last: its thread ends before anything it samples goes
};

// The process's application object.
Application& App();
