#pragma once
// Every setting the program keeps, and the operations that move them between
// the settings store and memory: the settings block (global appearance and
// behaviour), the indicator mode, and each indicator's position and visibility.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/gdi_handles.h"

class CIniEx;

// Global settings, one process-wide record. Booleans are 0 or not 0.
struct SettingsBlock {
    std::int32_t opacity = 255;              // "Opacity", 255 is opaque
    std::int32_t samplingPeriod = 50;        // "Frequency", milliseconds
    COLORREF readColor = RGB(50, 255, 50);   // "ColorRead"
    COLORREF writeColor = RGB(255, 50, 50);  // "ColorWrite"
    COLORREF idleColor = RGB(50, 130, 255);  // "ColorOff"
    UniqueBrush readBrush;
    UniqueBrush writeBrush;
    UniqueBrush idleBrush;
    std::int32_t startWithWindows = 1;            // "StartWithWindows"
    std::int32_t useKeyboardLed = 0;              // "UseKeyboardLed"
    std::int32_t useKeyboardLedDirectAccess = 0;  // "UseKeyboardLedDirectAccess" (missing key loads as on)
    std::int32_t useTrayLed = 1;                  // "UseTrayLed"
    std::int32_t showTrayIcon = 1;                // "ShowTrayIcon"
    std::int32_t statPageRefresh = 1;             // "StatPageRefresh"
    std::int32_t showIndicatorLabel = 1;          // "ShowIndicatorLabel"
    std::int32_t ledSizeIdx = 1;                  // "LedSizeIdx", 0 to 5
    bool silentStart = false;                     // started with the letter s
    std::vector<std::int32_t> intervalSteps{1000, 700, 500, 300, 200, 100, 70, 50, 30};
    std::wstring appearanceSection = L"Appearance";
};

// The process's settings block, with its initial values until loaded.
SettingsBlock& Settings();

// The indicator mode ("Class"): bits 1 physical drives, 2 logical disks,
// 4 all-in-one; 256 no indicator window. 0 until loaded.
std::uint32_t IndicatorMode();
void SetIndicatorMode(std::uint32_t mode);

// One indicator's settings, kept in its display record; the section is the
// indicator entry's devicePath.
struct IndicatorSettings {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool visible = true;
    CIniEx* store = nullptr;  // the settings store the record was built with; none: nothing moves
};

enum class Exchange { Load, Store };

// Loads the appearance and general keys into the block, correcting "Frequency"
// 20 and an out-of-range "LedSizeIdx", then rebuilds the brushes. With the
// appearance page's window, also sets its check boxes 1005, 1028, 1006, 1007,
// 1033 and enables 1028 only while "UseKeyboardLed" is on.
void LoadSettings(SettingsBlock& block, HWND page = nullptr);

// Stores the block's keys and saves the store.
void SaveSettings(SettingsBlock& block);

// Moves the indicator mode, the version and the settings block; false only
// when there is no settings store.
bool ExchangeGlobalSettings(Exchange direction);

// Stores the global settings as ExchangeGlobalSettings does, but only when
// the store does not already hold every value that storing would write (the
// store, once modified, writes the file at every save). Answers whether it
// stored.
bool StoreGlobalSettingsIfChanged();

// Moves one indicator's "x", "y" and "visible" in its section; storing does not
// save. Always true.
bool ExchangeIndicatorSettings(IndicatorSettings& record, Exchange direction, const std::wstring& section);

// Recreates the three brushes from the three colours.
void RebuildBrushes(SettingsBlock& block);
