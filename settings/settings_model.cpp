#include "settings/settings_model.h"

#include "resources/version.h"
#include "settings/ini_ex.h"

namespace {

// Check boxes of the appearance page that a load with the page sets.
constexpr int kUseKeyboardLedBox = 1005;
constexpr int kKeyboardLedDirectAccessBox = 1028;
constexpr int kUseTrayLedBox = 1006;
constexpr int kShowTrayIconBox = 1007;
constexpr int kShowIndicatorLabelBox = 1033;

constexpr wchar_t kGeneralSection[] = L"General";
// The block's general keys are kept under this spelling; the store ignores
// letter case, so they share the section of "Class" and "version".
constexpr wchar_t kGeneralKeysSection[] = L"general";

enum class Form { Integer, Boolean };

std::int32_t CheckFrequency(std::int32_t value)
{
    return value == 20 ? 50 : value;
}

std::int32_t CheckLedSizeIdx(std::int32_t value)
{
    return value < 0 || value > 5 ? 1 : value;
}

// One setting of the block: where it lives in the file, its form, its default
// when missing, the check applied on loading and the page's check box.
struct SettingKey {
    bool appearance;  // the block's appearance section, else the general one
    const wchar_t* key;
    Form form;
    std::int32_t fallback;
    std::int32_t SettingsBlock::*field;   // an integer field, or
    COLORREF SettingsBlock::*colour;      // a colour field
    std::int32_t (*check)(std::int32_t);  // none: used as read
    int checkBox;                         // 0: none
};

// In the order the keys are written.
const SettingKey kKeys[] = {
    {true, L"Opacity", Form::Integer, 255, &SettingsBlock::opacity, nullptr, nullptr, 0},
    {true, L"Frequency", Form::Integer, 50, &SettingsBlock::samplingPeriod, nullptr, CheckFrequency, 0},
    {true, L"ColorRead", Form::Integer, 0x32FF32, nullptr, &SettingsBlock::readColor, nullptr, 0},
    {true, L"ColorWrite", Form::Integer, 0x3232FF, nullptr, &SettingsBlock::writeColor, nullptr, 0},
    {true, L"ColorOff", Form::Integer, 0xFF8232, nullptr, &SettingsBlock::idleColor, nullptr, 0},
    {true, L"StatPageRefresh", Form::Boolean, 1, &SettingsBlock::statPageRefresh, nullptr, nullptr, 0},
    {true, L"LedSizeIdx", Form::Integer, 1, &SettingsBlock::ledSizeIdx, nullptr, CheckLedSizeIdx, 0},
    {false, L"StartWithWindows", Form::Integer, 1, &SettingsBlock::startWithWindows, nullptr, nullptr, 0},
    {false, L"UseKeyboardLed", Form::Boolean, 0, &SettingsBlock::useKeyboardLed, nullptr, nullptr, kUseKeyboardLedBox},
    {false, L"UseKeyboardLedDirectAccess", Form::Boolean, 1, &SettingsBlock::useKeyboardLedDirectAccess, nullptr,
     nullptr, kKeyboardLedDirectAccessBox},
    {false, L"ShowTrayIcon", Form::Boolean, 1, &SettingsBlock::showTrayIcon, nullptr, nullptr, kShowTrayIconBox},
    {false, L"UseTrayLed", Form::Boolean, 1, &SettingsBlock::useTrayLed, nullptr, nullptr, kUseTrayLedBox},
    {false, L"ShowIndicatorLabel", Form::Boolean, 1, &SettingsBlock::showIndicatorLabel, nullptr, nullptr,
     kShowIndicatorLabelBox},
};

std::int32_t Value(const SettingsBlock& block, const SettingKey& setting)
{
    return setting.field ? block.*setting.field : static_cast<std::int32_t>(block.*setting.colour);
}

void SetValue(SettingsBlock& block, const SettingKey& setting, std::int32_t value)
{
    if (setting.field)
        block.*setting.field = value;
    else
        block.*setting.colour = static_cast<COLORREF>(value);
}

std::wstring SectionOf(const SettingsBlock& block, const SettingKey& setting)
{
    return setting.appearance ? block.appearanceSection : std::wstring(kGeneralKeysSection);
}

// The store holds the key with this text (letter case ignored, as a change
// is judged).
bool Holds(const CIniEx& store, const std::wstring& section, const wchar_t* key, const std::wstring& text)
{
    if (store.FindKey(store.FindSection(section), key) < 0)
        return false;
    const std::wstring stored = store.GetString(section, key, L"");
    return CompareStringOrdinal(stored.c_str(), static_cast<int>(stored.size()), text.c_str(),
                                static_cast<int>(text.size()), TRUE) == CSTR_EQUAL;
}

// Every value ExchangeGlobalSettings would store is in the store already.
bool HoldsGlobalSettings(const CIniEx& store, const SettingsBlock& block, std::uint32_t mode)
{
    if (!Holds(store, kGeneralSection, L"Class", std::to_wstring(static_cast<std::int32_t>(mode))) ||
        !Holds(store, kGeneralSection, L"version", QORVEL_VERSION_WTEXT))
        return false;
    for (const SettingKey& setting : kKeys) {
        const std::int32_t value = Value(block, setting);
        const std::wstring text =
            setting.form == Form::Integer ? std::to_wstring(value) : std::wstring(value ? L"Yes" : L"No");
        if (!Holds(store, SectionOf(block, setting), setting.key, text))
            return false;
    }
    return true;
}

std::uint32_t g_indicatorMode = 0;

}  // namespace

SettingsBlock& Settings()
{
    static SettingsBlock block;
    return block;
}

std::uint32_t IndicatorMode()
{
    return g_indicatorMode;
}

void SetIndicatorMode(std::uint32_t mode)
{
    g_indicatorMode = mode;
}

void LoadSettings(SettingsBlock& block, HWND page)
{
    if (const CIniEx* store = SettingsStore()) {
        for (const SettingKey& setting : kKeys) {
            const std::wstring section = SectionOf(block, setting);
            std::int32_t value = setting.form == Form::Integer
                                     ? store->GetInt(setting.fallback, section, setting.key)
                                     : (store->GetBool(setting.fallback != 0, section, setting.key) ? 1 : 0);
            if (setting.check)
                value = setting.check(value);
            SetValue(block, setting, value);
        }
    }
    if (page) {
        for (const SettingKey& setting : kKeys) {
            if (setting.checkBox)
                SendDlgItemMessageW(page, setting.checkBox, BM_SETCHECK,
                                    Value(block, setting) ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        EnableWindow(GetDlgItem(page, kKeyboardLedDirectAccessBox), block.useKeyboardLed != 0);
    }
    RebuildBrushes(block);
}

void SaveSettings(SettingsBlock& block)
{
    CIniEx* store = SettingsStore();
    if (!store)
        return;
    for (const SettingKey& setting : kKeys) {
        const std::wstring section = SectionOf(block, setting);
        if (setting.form == Form::Integer)
            store->SetInt(Value(block, setting), section, setting.key);
        else
            store->SetBool(Value(block, setting) != 0, section, setting.key);
    }
    store->Save();
}

bool ExchangeGlobalSettings(Exchange direction)
{
    CIniEx* store = SettingsStore();
    if (!store)
        return false;
    if (direction == Exchange::Load) {
        SetIndicatorMode(static_cast<std::uint32_t>(store->GetInt(7, kGeneralSection, L"Class")));
        LoadSettings(Settings());
    } else {
        store->SetInt(static_cast<std::int32_t>(IndicatorMode()), kGeneralSection, L"Class");
        store->SetString(kGeneralSection, L"version", QORVEL_VERSION_WTEXT);
        SaveSettings(Settings());
    }
    return true;
}

bool StoreGlobalSettingsIfChanged()
{
    const CIniEx* store = SettingsStore();
    if (!store || HoldsGlobalSettings(*store, Settings(), IndicatorMode()))
        return false;
    return ExchangeGlobalSettings(Exchange::Store);
}

bool ExchangeIndicatorSettings(IndicatorSettings& record, Exchange direction, const std::wstring& section)
{
    CIniEx* store = record.store;
    if (!store)
        return true;
    if (direction == Exchange::Store) {
        store->SetInt(record.x, section, L"x");
        store->SetInt(record.y, section, L"y");
        store->SetBool(record.visible, section, L"visible");
    } else {
        record.x = store->GetInt(record.x, section, L"x");
        record.y = store->GetInt(record.y, section, L"y");
        record.visible = store->GetBool(true, section, L"visible");
    }
    return true;
}

void RebuildBrushes(SettingsBlock& block)
{
    block.readBrush.Reset(CreateSolidBrush(block.readColor));
    block.writeBrush.Reset(CreateSolidBrush(block.writeColor));
    block.idleBrush.Reset(CreateSolidBrush(block.idleColor));
}
