#pragma once
// What an indicator window asks of the program. The program implements it and
// puts it in force at start-up; until then (and in tests without one) an
// indicator asks nothing and moves only itself.
#include <windows.h>

#include "display/display_record.h"

class IndicatorHost {
public:
    // Every indicator, for a drag that moves them all (Shift).
    virtual DisplayList& Displays() = 0;
    // A double-click: the Options window, in front.
    virtual void OpenOptions() = 0;
    // A right-click: the indicator's menu at the pointer, owned by the window.
    virtual void ShowIndicatorMenu(HWND indicator) = 0;
    // A drag ended: the places are saved a second later.
    virtual void DragEnded() = 0;

protected:
    ~IndicatorHost() = default;
};

// The host in force, or null.
IndicatorHost* CurrentIndicatorHost();
void SetIndicatorHost(IndicatorHost* host);
