#include "settings/settings_model.h"

#include "resources/version.h"
#include "settings/ini_ex.h"

namespace {

const wchar_t* SectionName(SettingSection section)
{
    switch (section) {
    case SettingSection::General:
        return L"General";
    case SettingSection::GeneralKeys:
        return L"general";
    default:
        return L"Appearance";
    }
}

// A value as the file holds it.
std::wstring Text(const Setting& setting, const SettingsBlock& block)
{
    switch (setting.form) {
    case SettingForm::Version:
        return QORVEL_VERSION_WTEXT;
    case SettingForm::Boolean:
        return setting.field.Get(block) != 0 ? L"Yes" : L"No";
    default:
        return std::to_wstring(setting.field.Get(block));
    }
}

std::int32_t Loaded(const Setting& setting, const CIniEx& store)
{
    const wchar_t* section = SectionName(setting.section);
    const std::int32_t value = setting.form == SettingForm::Boolean
                                   ? (store.GetBool(setting.missing != 0, section, setting.key) ? 1 : 0)
                                   : store.GetInt(setting.missing, section, setting.key);
    const bool outside = value < setting.low || value > setting.high;
    const bool replaced = setting.replaced != kNoValue && value == setting.replaced;
    return replaced || (setting.checked && outside) ? setting.missing : value;
}

}  // namespace

SettingsBlock::SettingsBlock()
{
    for (const Setting& setting : kSettings)
        setting.field.Set(*this, setting.initial);
}

std::int32_t SettingField::Get(const SettingsBlock& block) const
{
    if (integer_)
        return block.*integer_;
    if (colour_)
        return static_cast<std::int32_t>(block.*colour_);
    return mask_ ? static_cast<std::int32_t>(block.*mask_) : 0;
}

void SettingField::Set(SettingsBlock& block, std::int32_t value) const
{
    if (integer_)
        block.*integer_ = value;
    else if (colour_)
        block.*colour_ = static_cast<COLORREF>(value);
    else if (mask_)
        block.*mask_ = static_cast<std::uint32_t>(value);
}

void LoadSettings(const CIniEx& store, SettingsBlock& block)
{
    for (const Setting& setting : kSettings) {
        if (setting.form != SettingForm::Version)
            setting.field.Set(block, Loaded(setting, store));
    }
}

void StoreSettings(CIniEx& store, const SettingsBlock& block)
{
    for (const Setting& setting : kSettings)
        store.SetString(SectionName(setting.section), setting.key, Text(setting, block));
}

bool StoreHoldsSettings(const CIniEx& store, const SettingsBlock& block)
{
    for (const Setting& setting : kSettings) {
        const wchar_t* section = SectionName(setting.section);
        if (store.FindKey(store.FindSection(section), setting.key) < 0)
            return false;
        const std::wstring stored = store.GetString(section, setting.key, L"");
        const std::wstring text = Text(setting, block);
        if (CompareStringOrdinal(stored.c_str(), static_cast<int>(stored.size()), text.c_str(),
                                 static_cast<int>(text.size()), TRUE) != CSTR_EQUAL)
            return false;
    }
    return true;
}

void ResetToDefaults(SettingsBlock& block)
{
    for (const Setting& setting : kSettings) {
        if (setting.reset != kKeep)
            setting.field.Set(block, setting.reset);
    }
    ChoosePalette(block, block.palette);
}

void ChoosePalette(SettingsBlock& block, std::int32_t palette)
{
    const LedPalette& colours = PaletteOf(palette);
    block.palette = palette;
    block.readColor = static_cast<COLORREF>(colours.read);
    block.writeColor = static_cast<COLORREF>(colours.write);
    block.idleColor = static_cast<COLORREF>(colours.idle);
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
        if (record.tray || store->FindKey(store->FindSection(section), L"tray") >= 0)
            store->SetBool(record.tray, section, L"tray");
    } else {
        record.x = store->GetInt(record.x, section, L"x");
        record.y = store->GetInt(record.y, section, L"y");
        record.visible = store->GetBool(true, section, L"visible");
        record.tray = store->GetBool(false, section, L"tray");
    }
    return true;
}
