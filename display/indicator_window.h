#pragma once
// Indicator windows: small borderless, always-on-top tool windows that are
// nothing but the LED of one display record, repainted when what they show
// changes, with a rainbow highlight at start-up and after re-arranging.
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "display/display_record.h"
#include "display/indicator_rules.h"

inline constexpr wchar_t kIndicatorClass[] = L"QORVELIndicator";
inline constexpr int kHighlightSteps = 100;

// The LED size of "LedSizeIdx"; an index outside 0..5 is replaced by 1 in the
// settings as well, so the corrected value is what is saved next.
LedSize GetLedSize(SettingsBlock& settings);

bool RegisterIndicatorClass(HINSTANCE instance);

// Creates and shows (without activating) the window of a display record;
// null for a null record or when creation fails.
HWND CreateIndicatorWindow(gui_data* data);

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
void StepHighlight(HWND window, gui_data& data);

// Lines the visible indicators up along the top of the screen and restarts
// their highlight; the windows move when they are next recreated.
void ArrangeIndicators(DisplayList& displays);

// Puts every record whose LED would lie on no monitor at its default position
// (moving its window when it has one); answers how many were moved.
int BringIndicatorsOnScreen(DisplayList& displays);

// The window procedure of every indicator window.
LRESULT CALLBACK IndicatorWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
