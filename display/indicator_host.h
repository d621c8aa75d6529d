#pragma once
// What an indicator window asks of the program, which a display record holds
// a pointer to. Without one (some tests) an indicator asks nothing, looks as
// the initial settings say and moves only itself.
#include <windows.h>

#include "display/display_record.h"

class IndicatorHost {
public:
    // Every indicator, for a drag that moves them all (Shift).
    virtual DisplayList& Displays() = 0;
    // The settings that say how an indicator looks.
    virtual const SettingsBlock& Settings() = 0;
    // A double-click: the Options window, in front.
    virtual void OpenOptions() = 0;
    // A right-click: the indicator's menu at the pointer, owned by the window.
    virtual void ShowIndicatorMenu(HWND indicator) = 0;
    // A drag ended: the places are saved a second later.
    virtual void DragEnded() = 0;

protected:
    ~IndicatorHost() = default;
};

// The settings the record's host holds; the initial ones without a host.
const SettingsBlock& SettingsOf(const gui_data& data);
