#pragma once
// The display record: one per indicator entry, in the indicator list's order.
// It owns the entry's performance record and, while it has one, its window
// (the window's object is the record), with what the window showed last.
#include <windows.h>

#include <memory>
#include <vector>

#include "common/win_handles.h"
#include "display/led_painter.h"
#include "settings/settings_model.h"
#include "sources/performance_data.h"

class IndicatorHost;

class gui_data : public IndicatorSettings {
public:
    gui_data() = default;
    virtual ~gui_data() { window.Reset(); }  // while everything the window reads still exists
    gui_data(const gui_data&) = delete;
    gui_data& operator=(const gui_data&) = delete;

    // The entry this record shows (through its performance record), or null.
    IndicatorEntry* Entry() const { return record ? record->entry : nullptr; }
    HWND Window() const { return window.Get(); }

    IndicatorHost* host = nullptr;  // what the window asks of the program; none: it asks nothing
    UniqueWindow window;            // the indicator's window, while it has one
    HWND tooltip = nullptr;         // the window's tip, made when first shown; destroyed with the window
    bool outOfTheWay = false;       // its window is hidden while a full-screen program covers its monitor
    int highlight = 0;              // rainbow steps still to show
    bool enlarged = false;          // toggled every tenth highlight step
    COLORREF highlightColour = 0;   // the hue of the step shown, read and idle alike
    std::unique_ptr<performance_data> record;

    LedLook painted;  // what the window's last paint showed
    bool paintedValid = false;
};

using DisplayList = std::vector<std::unique_ptr<gui_data>>;
