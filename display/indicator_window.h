#pragma once
// Indicator windows: small borderless, always-on-top tool windows that are
// nothing but the LED of one display record, repainted when what they show
// changes, with a rainbow highlight at start-up and after re-arranging. The
// record owns its window; how the LED looks comes from the record's host.
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "display/display_record.h"
#include "display/indicator_rules.h"

inline constexpr wchar_t kIndicatorClass[] = L"QORVELIndicator";
inline constexpr int kHighlightSteps = 100;

// The LED size of the settings' "LedSizeIdx" (an index outside the sizes has
// the size of 1).
LedSize LedSizeOf(const SettingsBlock& settings);

// The colours a record's LED shows now: the settings' colours, or once a
// highlight has shown a step, that step's hue for reading and idle.
LedColours ColoursOf(const gui_data& data, const SettingsBlock& settings);

bool RegisterIndicatorClass(HINSTANCE instance);

// Makes and shows (without activating) the record's window at its place,
// with the settings' size and opacity; false when it cannot be made.
bool CreateIndicatorWindow(HINSTANCE instance, gui_data& data, const SettingsBlock& settings);

// Destroys every indicator window, then makes one for each record whose
// visible flag is set and whose entry's kind is in the indicator mode.
void RecreateIndicatorWindows(HINSTANCE instance, DisplayList& displays, const SettingsBlock& settings);

// The per-tick refresh: one highlight step while the record has steps left
// (answers 0), otherwise the tip's text and the record's state; the window is
// invalidated when what it would paint differs from what it shows.
std::uint32_t RefreshIndicator(HWND window);

// Invalidates the window when the picture it would paint differs from the
// one it shows (a colour or the label changed).
void RepaintIndicatorIfChanged(HWND window);
void RepaintIndicators(const DisplayList& displays);

// The opacity of every shown indicator, changed in place: the layered style
// comes and goes with it, and a new alpha alone needs no painting.
void SetIndicatorsOpacity(const DisplayList& displays, int opacity);

// One step of the rainbow highlight of a record's window.
void StepHighlight(HWND window, gui_data& data);

// Lines the visible indicators up along the top of the screen and restarts
// their highlight; the windows move when they are next recreated.
void ArrangeIndicators(DisplayList& displays, const SettingsBlock& settings);

// Puts every record whose LED would lie on no monitor at its default position
// (moving its window when it has one); answers how many were moved.
int BringIndicatorsOnScreen(DisplayList& displays, const SettingsBlock& settings);

// The window procedure of every indicator window.
LRESULT CALLBACK IndicatorWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
