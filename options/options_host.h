#pragma once
// What the Options window and its pages ask of the program. The program
// implements it and gives it to the window it makes; the frame hands it to
// each page, so no page reaches above this folder or into a global.
#include <windows.h>

#include <string>

#include "display/display_record.h"

class OptionsHost {
public:
    // The program's instance: the pages' dialogs are among its resources.
    virtual HINSTANCE Instance() = 0;
    // The settings the pages show and change.
    virtual SettingsBlock& Settings() = 0;
    // The indicators the pages show and change, in list order.
    virtual DisplayList& Displays() = 0;

    // The indicator windows made again: which exist (the mode and the
    // visible flags) or their size changed.
    virtual void RebuildIndicatorWindows() = 0;
    // The colours changed: the indicators and the tray LED show them.
    virtual void ColoursChanged() = 0;
    // Every indicator's place and flag into the settings store (no save).
    virtual void StoreIndicatorSettings() = 0;
    // The global settings into the store when they differ from it (the store
    // writes the file at every save once modified); then the file written.
    virtual void SaveSettings() = 0;
    // The same, and every indicator's settings, then the file written.
    virtual void SaveAllSettings() = 0;
    // The sampling timer at the "Frequency" period of now.
    virtual void RestartSampling() = 0;
    // The tray icon added (when absent) or removed.
    virtual void ShowTrayIcon(bool shown) = 0;
    // The tray icon shows no activity, at once.
    virtual void ResetTrayState() = 0;
    // The drives' own tray icons follow the indicators' tray flags.
    virtual void DriveTrayChanged() = 0;
    // The keyboard LED switched off in the mode in force, before the feature
    // is turned off or its mode changes.
    virtual void DarkenKeyboardLed() = 0;
    // Whether the keyboard LED's direct mode works this session.
    virtual bool KeyboardDirectAvailable() = 0;
    // What the About box says of where the settings are kept (empty: nothing).
    virtual std::wstring SettingsNote() = 0;
    // "Close", Esc, "Hide options": the Options window goes (its pages store
    // what they show first).
    virtual void CloseOptions() = 0;
    // The Options window is being destroyed, whoever destroys it.
    virtual void OptionsGone(HWND frame) = 0;
    // "Exit Qorvel": the program ends as from the tray menu.
    virtual void Exit() = 0;

protected:
    ~OptionsHost() = default;
};
