#pragma once
// What the Options window's pages ask of the program. The program implements
// it and puts it in force at start-up; the pages never reach above this folder.
#include "display/display_record.h"

class OptionsHost {
public:
    // The indicators the pages show and change, in list order.
    virtual DisplayList& Displays() = 0;
    // The indicator windows made again for the mode and the flags, the tray
    // LED images painted anew and the global settings stored.
    virtual void RebuildIndicatorWindows() = 0;
    // Every indicator's place and flag into the settings store (no save).
    virtual void StoreIndicatorSettings() = 0;
    // The same, then the settings file written.
    virtual void SaveAllSettings() = 0;
    // The sampling timer at the "Frequency" period of now.
    virtual void RestartSampling() = 0;
    // The tray icon added (when absent) or removed.
    virtual void ShowTrayIcon(bool shown) = 0;
    // The tray icon shows no activity, at once.
    virtual void ResetTrayState() = 0;
    // The keyboard LED switched off in the mode in force, before the feature
    // is turned off or its mode changes.
    virtual void DarkenKeyboardLed() = 0;
    // Whether the keyboard LED's direct mode works this session.
    virtual bool KeyboardDirectAvailable() = 0;

protected:
    ~OptionsHost() = default;
};

// The host in force; until one is set, a host with no indicators that does
// nothing.
OptionsHost& CurrentOptionsHost();
void SetOptionsHost(OptionsHost* host);
