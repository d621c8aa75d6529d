#pragma once
// Indicator windows: small borderless, always-on-top tool windows that are
// nothing but the LED of one display record, repainted when what they show
// changes, with a rainbow highlight at start-up and after re-arranging.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "display/led_painter.h"
#include "settings/settings_model.h"
#include "sources/performance_data.h"

// One display record per indicator entry, in the indicator list's order. It
// owns the entry's performance record and, while it exists, its window (the
// window's user data points back at the record).
class __gui_data : public IndicatorSettings {
public:
    __gui_data() = default;
    virtual ~__gui_data();
    __gui_data(const __gui_data&) = delete;
    __gui_data& operator=(const __gui_data&) = delete;

    // The entry this record shows (through its performance record), or null.
    IndicatorEntry* Entry() const { return record ? record->entry : nullptr; }
    HWND Window() const { return Entry() ? Entry()->window : nullptr; }

    HWND tooltip = nullptr;     // the window's tip, made when first shown
    int highlight = 0;          // rainbow steps still to show
    bool enlarged = false;      // toggled every tenth highlight step
    COLORREF highlightColour = 0;
    std::unique_ptr<__performance_data> record;

    LedLook painted;            // what the window's last paint showed
    bool paintedValid = false;
};

using DisplayList = std::vector<std::unique_ptr<__gui_data>>;

inline constexpr wchar_t kIndicatorClass[] = L"QORVELIndicator";
inline constexpr int kHighlightSteps = 100;
inline constexpr int kMinLedSizeIdx = 0;
inline constexpr int kMaxLedSizeIdx = 5;

struct LedSize {
    int width = 0;
    int height = 0;
};

// The LED size of "LedSizeIdx"; an index outside 0..5 is replaced by 1 in the
// settings as well, so the corrected value is what is saved next.
LedSize GetLedSize(SettingsBlock& settings);

// A display record's position before its saved one is loaded: the entry at
// index i of the indicator list sits at x = 2 + 18 * i, y = 2.
POINT DefaultIndicatorPosition(std::size_t index);

bool RegisterIndicatorClass(HINSTANCE instance);

// Creates and shows (without activating) the window of a display record;
// null for a null record or when creation fails.
HWND CreateIndicatorWindow(__gui_data* data);

// Destroys every indicator window, then creates one for each record whose
// visible flag is set and whose entry's kind is in the indicator mode, at the
// record's position.
void RecreateIndicatorWindows(DisplayList& displays, std::uint32_t mode);

// The per-tick refresh: one highlight step while the record has steps left
// (answers 0), otherwise the tip's text and the record's state.
std::uint32_t RefreshIndicator(HWND window);

// Invalidates the window when the picture it would paint differs from the
// one it shows. A tick calls it for every shown window after every refresh:
// a highlight step of one indicator recolours the brushes all of them share.
void RepaintIndicatorIfChanged(HWND window);

// One step of the rainbow highlight of a record's window.
void StepHighlight(HWND window, __gui_data& data);

// Lines the visible indicators up along the top of the screen and restarts
// their highlight; the windows move when they are next recreated.
void ArrangeIndicators(DisplayList& displays);

// Puts every record whose LED would lie on no monitor at its default position
// (moving its window when it has one); answers how many were moved.
int BringIndicatorsOnScreen(DisplayList& displays);

// The window procedure of every indicator window.
LRESULT CALLBACK IndicatorWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
