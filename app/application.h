#pragma once
// The program's process-wide objects, owned in one place. The entry point
// creates them in the start-up order and releases them in the shutdown order;
// window procedures reach them through App().
#include <windows.h>

#include <cstdint>
#include <memory>

#include "app/sampler.h"
#include "display/indicator_window.h"
#include "display/keyboard_led.h"
#include "display/tray_icon.h"
#include "settings/ini_ex.h"
#include "sources/drive_list.h"
#include "sources/registry_access.h"

struct Application {
    ProgramGate gate;  // held by the program's thread except while it waits
    HINSTANCE instance = nullptr;
    std::unique_ptr<CIniEx> store;                 // the settings file
    std::unique_ptr<DirectRegistryAccess> access;  // the performance-data snapshot
    IndicatorList indicators;                      // every indicator the program can show
    DisplayList displays;                          // one display record per indicator, same order

    HWND worker = nullptr;         // message-only: timers, tray callback, device changes
    HWND sessionWindow = nullptr;  // hidden top-level: session end, display and shell broadcasts
    HACCEL accelerators = nullptr;
    UniqueIcon trayAppIcon;  // the small icons the tray shows
    UniqueIcon ledOffIcon;
    UniqueIcon ledOnIcon;

    TrayIcon tray;
    KeyboardLed keyboard;

    // Values of the sampling cycle.
    performance_data* trayRecord = nullptr;  // the all-in-one record; not owned
    std::uint32_t anyActivity = 0;           // OR of every state of the current tick
    std::uint32_t trayState = 0;             // what the tray icon shows
    int trayAddTriesLeft = 0;                // retries left for a failed add at start-up
    bool ending = false;                     // the exit event was signalled
    HANDLE exitEventInLoop = nullptr;        // waited on by the message loop when the sampler could not start

    Sampler sampler;  // last: its thread ends before anything it samples goes
};

// The process's application object.
Application& App();
