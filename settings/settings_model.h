#pragma once
// Every setting the program keeps, described once in one table (kSettings):
// its key and section in the settings file, its form, the value the program
// starts with, the value a missing key loads as, the values it may take and
// the value "Reset to defaults" gives it. The settings block's initial values,
// loading, storing, the checks on loading and the reset all follow the table.
// Each indicator's place and visibility are kept in its display record.
#include <windows.h>

#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

#include "settings/palettes.h"

class CIniEx;

// The global settings, owned by the program. Booleans are 0 or not 0.
struct SettingsBlock {
    SettingsBlock();  // every setting at its initial value

    std::uint32_t indicatorMode;  // "Class": bits 1 drives, 2 disks, 4 all-in-one; 256 none
    std::int32_t opacity;         // 255 is opaque
    std::int32_t samplingPeriod;  // milliseconds
    COLORREF readColor;
    COLORREF writeColor;
    COLORREF idleColor;
    std::int32_t statPageRefresh;
    std::int32_t ledSizeIdx;
    std::int32_t startWithWindows;
    std::int32_t useKeyboardLed;
    std::int32_t useKeyboardLedDirectAccess;
    std::int32_t showTrayIcon;
    std::int32_t useTrayLed;
    std::int32_t showIndicatorLabel;
    std::int32_t hideOverFullScreen;
    std::int32_t palette;           // the LED colours' palette, an index of kPalettes
    std::int32_t showMinuteInTips;  // the last minute's graph in the indicators' tips
    bool silentStart = false;       // started with the letter s; not kept in the file
};

// Where a setting lives in the file. The general keys after "Class" and
// "version" are written under the spelling "general": the store ignores
// letter case, so they share that section.
enum class SettingSection { General, GeneralKeys, Appearance };

enum class SettingForm {
    Integer,  // decimal
    Boolean,  // "Yes" or "No"
    Version,  // the program's version, written and never read
};

// A field of the settings block, whatever its type.
class SettingField {
public:
    constexpr SettingField() = default;
    constexpr SettingField(std::int32_t SettingsBlock::*field) : integer_(field) {}
    constexpr SettingField(COLORREF SettingsBlock::*field) : colour_(field) {}
    constexpr SettingField(std::uint32_t SettingsBlock::*field) : mask_(field) {}

    std::int32_t Get(const SettingsBlock& block) const;
    void Set(SettingsBlock& block, std::int32_t value) const;

private:
    std::int32_t SettingsBlock::*integer_ = nullptr;
    COLORREF SettingsBlock::*colour_ = nullptr;
    std::uint32_t SettingsBlock::*mask_ = nullptr;
};

inline constexpr std::int32_t kKeep = INT32_MIN;  // "Reset to defaults" leaves it as it is
inline constexpr std::int32_t kNoValue = INT32_MIN;

struct Setting {
    const wchar_t* key;
    SettingSection section;
    SettingForm form;
    std::int32_t initial;  // the block's value before the file is read
    std::int32_t missing;  // what a key missing from the file loads as
    // The values the program offers. A stored value outside them loads as
    // `missing` only where `checked`; so does a stored `replaced`.
    std::int32_t low;
    std::int32_t high;
    bool checked;
    std::int32_t replaced;
    std::int32_t reset;  // what "Reset to defaults" sets, or kKeep
    SettingField field;
};

inline constexpr std::int32_t kAny = INT32_MAX;

// In the order the keys are written: a new file holds "General" with "Class",
// "version" and the general keys, then "Appearance".
inline constexpr Setting kSettings[] = {
    // key, section, form, initial, missing, low, high, checked, replaced, reset, field
    {L"Class", SettingSection::General, SettingForm::Integer, 0, 7, 0, kAny, false, kNoValue, kKeep,
     &SettingsBlock::indicatorMode},
    {L"version", SettingSection::General, SettingForm::Version, 0, 0, 0, 0, false, kNoValue, kKeep, {}},
    {L"Opacity", SettingSection::Appearance, SettingForm::Integer, 255, 255, 0, 255, false, kNoValue, 255,
     &SettingsBlock::opacity},
    {L"Frequency", SettingSection::Appearance, SettingForm::Integer, 50, 50, 30, 1000, false, 20, 50,
     &SettingsBlock::samplingPeriod},
    {L"ColorRead", SettingSection::Appearance, SettingForm::Integer, kClassicPalette.read, kClassicPalette.read, 0,
     0xFFFFFF, false, kNoValue, kClassicPalette.read, &SettingsBlock::readColor},
    {L"ColorWrite", SettingSection::Appearance, SettingForm::Integer, kClassicPalette.write, kClassicPalette.write, 0,
     0xFFFFFF, false, kNoValue, kClassicPalette.write, &SettingsBlock::writeColor},
    {L"ColorOff", SettingSection::Appearance, SettingForm::Integer, kClassicPalette.idle, kClassicPalette.idle, 0,
     0xFFFFFF, false, kNoValue, kClassicPalette.idle, &SettingsBlock::idleColor},
    {L"StatPageRefresh", SettingSection::Appearance, SettingForm::Boolean, 1, 1, 0, 1, false, kNoValue, 1,
     &SettingsBlock::statPageRefresh},
    {L"LedSizeIdx", SettingSection::Appearance, SettingForm::Integer, 1, 1, 0, 5, true, kNoValue, kKeep,
     &SettingsBlock::ledSizeIdx},
    {L"StartWithWindows", SettingSection::GeneralKeys, SettingForm::Integer, 1, 1, 0, 1, false, kNoValue, kKeep,
     &SettingsBlock::startWithWindows},
    {L"UseKeyboardLed", SettingSection::GeneralKeys, SettingForm::Boolean, 0, 0, 0, 1, false, kNoValue, 0,
     &SettingsBlock::useKeyboardLed},
    // Starts off, a missing key loads as on, a reset turns it off.
    {L"UseKeyboardLedDirectAccess", SettingSection::GeneralKeys, SettingForm::Boolean, 0, 1, 0, 1, false, kNoValue, 0,
     &SettingsBlock::useKeyboardLedDirectAccess},
    {L"ShowTrayIcon", SettingSection::GeneralKeys, SettingForm::Boolean, 1, 1, 0, 1, false, kNoValue, 1,
     &SettingsBlock::showTrayIcon},
    {L"UseTrayLed", SettingSection::GeneralKeys, SettingForm::Boolean, 1, 1, 0, 1, false, kNoValue, 1,
     &SettingsBlock::useTrayLed},
    {L"ShowIndicatorLabel", SettingSection::GeneralKeys, SettingForm::Boolean, 1, 1, 0, 1, false, kNoValue, 1,
     &SettingsBlock::showIndicatorLabel},
    {L"HideOverFullScreen", SettingSection::GeneralKeys, SettingForm::Boolean, 1, 1, 0, 1, false, kNoValue, kKeep,
     &SettingsBlock::hideOverFullScreen},
    // Kept by a reset, which gives the colours of the palette in force.
    {L"Palette", SettingSection::Appearance, SettingForm::Integer, 0, 0, 0, kPaletteCount - 1, true, kNoValue, kKeep,
     &SettingsBlock::palette},
    {L"ShowMinuteInTips", SettingSection::GeneralKeys, SettingForm::Boolean, 1, 1, 0, 1, false, kNoValue, 1,
     &SettingsBlock::showMinuteInTips},
};

// The row of a key.
constexpr const Setting& SettingNamed(const wchar_t* key)
{
    for (const Setting& setting : kSettings) {
        if (std::wstring_view(setting.key) == key)
            return setting;
    }
    return kSettings[0];
}

// The choices of the update interval, in milliseconds, slowest first.
inline constexpr std::int32_t kIntervalSteps[] = {1000, 700, 500, 300, 200, 100, 70, 50, 30};

// The indicator mode that shows no indicator window, only the tray icon.
inline constexpr std::uint32_t kNoIndicators = 256;

// Every setting from the store (a key it lacks loads as its missing value;
// stored values are checked as the table says).
void LoadSettings(const CIniEx& store, SettingsBlock& block);

// Every setting into the store, in the table's order (the store is not saved).
void StoreSettings(CIniEx& store, const SettingsBlock& block);

// Whether the store holds every value StoreSettings would write (letter case
// ignored, as the store judges a change).
bool StoreHoldsSettings(const CIniEx& store, const SettingsBlock& block);

// "Reset to defaults": every setting with a reset value takes it, and the
// colours are those of the palette in force.
void ResetToDefaults(SettingsBlock& block);

// A palette chosen: "Palette" and the three colours at once.
void ChoosePalette(SettingsBlock& block, std::int32_t palette);

// One indicator's settings, kept in its display record; the section is the
// indicator entry's devicePath.
struct IndicatorSettings {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool visible = true;
    CIniEx* store = nullptr;  // the settings store the record was built with; none: nothing moves
    bool tray = false;        // a tray icon of its own (drives and drive letters)
};

enum class Exchange { Load, Store };

// Moves one indicator's "x", "y", "visible" and "tray" in its section; storing
// does not save. "tray" is written once it is on, and from then on (a file
// that never had it stays as it was); a missing one loads as off. Always true.
bool ExchangeIndicatorSettings(IndicatorSettings& record, Exchange direction, const std::wstring& section);
