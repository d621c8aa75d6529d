// The "Appearance" tab: how activity is shown. Every change goes into the
// settings block at once and is applied to the running displays.
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstdint>
#include <cwchar>
#include <iterator>

#include "display/indicator_window.h"
#include "options/options_pages.h"
#include "options/options_system.h"
#include "resources/resource.h"
#include "settings/settings_model.h"

namespace {

constexpr const wchar_t* kLedSizeNames[] = {L"Tiny", L"Small", L"Normal", L"Large", L"X-Large", L"Insane"};
static_assert(std::size(kLedSizeNames) == kLedSizeCount, "a name for every LED size");
constexpr const wchar_t* kPaletteNames[] = {L"Classic", L"Colour-blind safe"};
static_assert(std::size(kPaletteNames) == kPaletteCount, "a name for every palette");
constexpr std::int32_t kFallbackPeriod = 50;  // the interval of a slider position that names no step

enum class LedColour { Read, Write, Idle };

// The plain options' check boxes and their fields (resource.h). Such a box
// stores its setting and saves; what reads it follows on its own (an open
// tip, say, shows or drops the graph when it next follows its statistics).
struct OptionBox {
    int id;
    std::int32_t SettingsBlock::*field;
};
#define OPTION_BOX(id, text, x, y, width, field) OptionBox{id, &SettingsBlock::field},
constexpr OptionBox kOptionBoxes[] = {APPEARANCE_OPTION_BOXES(OPTION_BOX)};
#undef OPTION_BOX

COLORREF& ColourOf(SettingsBlock& settings, LedColour which)
{
    switch (which) {
    case LedColour::Read:
        return settings.readColor;
    case LedColour::Write:
        return settings.writeColor;
    default:
        return settings.idleColor;
    }
}

// The colour dialog's custom colours, kept while the program runs; the first
// three start as the LED colours of the first time the dialog opens.
COLORREF* CustomColours(const SettingsBlock& settings)
{
    static std::array<COLORREF, 16> colours = [&settings] {
        std::array<COLORREF, 16> initial{};
        initial.fill(RGB(255, 255, 255));
        initial[0] = settings.readColor;
        initial[1] = settings.writeColor;
        initial[2] = settings.idleColor;
        return initial;
    }();
    return colours.data();
}

bool Checked(HWND page, int id)
{
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

void SetCheck(HWND page, int id, bool on)
{
    CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED);
}

// The slider position of an interval step, or -1 when the period is none.
int StepOf(std::int32_t period)
{
    for (std::size_t index = 0; index < std::size(kIntervalSteps); ++index) {
        if (kIntervalSteps[index] == period)
            return static_cast<int>(index);
    }
    return -1;
}

void ShowOpacity(HWND page, int opacity)
{
    const Setting& setting = SettingNamed(L"Opacity");
    SendDlgItemMessageW(page, IDC_APP_OPACITY, TBM_SETRANGE, FALSE, MAKELPARAM(setting.low, setting.high));
    SendDlgItemMessageW(page, IDC_APP_OPACITY, TBM_SETPOS, TRUE, opacity);
    wchar_t text[32] = L"Invisible";
    if (opacity == setting.high)
        std::wcscpy(text, L"Opaque");
    else if (opacity != 0)
        std::swprintf(text, std::size(text), L"%d%%", opacity * 100 / setting.high);
    SetDlgItemTextW(page, IDC_APP_OPACITY_TEXT, text);
}

void ShowInterval(HWND page, const SettingsBlock& settings)
{
    wchar_t text[32] = {};
    std::swprintf(text, std::size(text), L"%d ms", settings.samplingPeriod);
    SetDlgItemTextW(page, IDC_APP_INTERVAL_TEXT, text);
    const int last = static_cast<int>(std::size(kIntervalSteps)) - 1;
    SendDlgItemMessageW(page, IDC_APP_INTERVAL, TBM_SETRANGE, TRUE, MAKELPARAM(0, last));
    if (const int step = StepOf(settings.samplingPeriod); step >= 0)
        SendDlgItemMessageW(page, IDC_APP_INTERVAL, TBM_SETPOS, TRUE, step);
}

void ShowLedSizes(HWND page, const SettingsBlock& settings)
{
    const HWND sizes = GetDlgItem(page, IDC_APP_LED_SIZE);
    SendMessageW(sizes, CB_RESETCONTENT, 0, 0);
    for (const wchar_t* name : kLedSizeNames)
        SendMessageW(sizes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendMessageW(sizes, CB_SETCURSEL, settings.ledSizeIdx, 0);
}

void ShowPalettes(HWND page, const SettingsBlock& settings)
{
    const HWND palettes = GetDlgItem(page, IDC_APP_PALETTE);
    SendMessageW(palettes, CB_RESETCONTENT, 0, 0);
    for (const wchar_t* name : kPaletteNames)
        SendMessageW(palettes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendMessageW(palettes, CB_SETCURSEL, settings.palette, 0);
}

void InvalidateSwatches(HWND page)
{
    for (const int id : {IDC_APP_READ_SWATCH, IDC_APP_WRITE_SWATCH, IDC_APP_IDLE_SWATCH}) {
        const HWND swatch = GetDlgItem(page, id);
        RECT rect{};
        GetClientRect(swatch, &rect);
        InflateRect(&rect, -1, -1);
        InvalidateRect(swatch, &rect, FALSE);
    }
}

// "Use direct access mode" is offered while the keyboard LED is on and the
// keyboard device works this session.
void EnableDirectAccessBox(HWND page, const SettingsBlock& settings)
{
    EnableWindow(GetDlgItem(page, IDC_APP_DIRECT_ACCESS),
                 settings.useKeyboardLed && HostOf(page).KeyboardDirectAvailable());
}

// Every control of the page from the settings.
void ShowSettings(HWND page, const SettingsBlock& settings)
{
    InvalidateSwatches(page);
    SetCheck(page, IDC_APP_KEYBOARD_LED, settings.useKeyboardLed);
    SetCheck(page, IDC_APP_DIRECT_ACCESS, settings.useKeyboardLedDirectAccess);
    EnableDirectAccessBox(page, settings);
    SetCheck(page, IDC_APP_TRAY_ICON, settings.showTrayIcon);
    SetCheck(page, IDC_APP_TRAY_LED, settings.useTrayLed);
    EnableWindow(GetDlgItem(page, IDC_APP_TRAY_LED), settings.showTrayIcon != 0);
    SetCheck(page, IDC_APP_LABEL, settings.showIndicatorLabel);
    for (const OptionBox& box : kOptionBoxes)
        SetCheck(page, box.id, settings.*box.field);
    ShowOpacity(page, settings.opacity);
    ShowInterval(page, settings);
    ShowLedSizes(page, settings);
    ShowPalettes(page, settings);
}

// Opening the page changes nothing, but a stored period 20 ms above a step,
// which is taken as that step (120 as 100).
void OnInitDialog(HWND page, LPARAM host)
{
    KeepHost(page, host);
    SettingsBlock& settings = HostOf(page).Settings();
    for (const std::int32_t step : kIntervalSteps) {
        if (step == settings.samplingPeriod)
            break;
        if (step == settings.samplingPeriod - 20) {
            settings.samplingPeriod = step;
            HostOf(page).RestartSampling();
            break;
        }
    }
    ShowSettings(page, settings);
}

void OnOpacityScroll(HWND page)
{
    OptionsHost& host = HostOf(page);
    SettingsBlock& settings = host.Settings();
    settings.opacity = static_cast<std::int32_t>(SendDlgItemMessageW(page, IDC_APP_OPACITY, TBM_GETPOS, 0, 0));
    SetIndicatorsOpacity(host.Displays(), settings.opacity);
    ShowOpacity(page, settings.opacity);
}

void OnIntervalScroll(HWND page)
{
    SettingsBlock& settings = HostOf(page).Settings();
    const auto position = SendDlgItemMessageW(page, IDC_APP_INTERVAL, TBM_GETPOS, 0, 0);
    const bool step = position >= 0 && position < static_cast<LRESULT>(std::size(kIntervalSteps));
    const std::int32_t period = step ? kIntervalSteps[position] : kFallbackPeriod;
    if (period == settings.samplingPeriod)
        return;  // a drag within one step
    settings.samplingPeriod = period;
    ShowInterval(page, settings);
    HostOf(page).RestartSampling();
}

void OnScroll(HWND page, HWND slider)
{
    switch (GetDlgCtrlID(slider)) {
    case IDC_APP_OPACITY:
        OnOpacityScroll(page);
        break;
    case IDC_APP_INTERVAL:
        OnIntervalScroll(page);
        break;
    default:
        break;
    }
}

// The swatches show the colour settings.
INT_PTR OnDrawItem(HWND page, const DRAWITEMSTRUCT& item)
{
    SettingsBlock& settings = HostOf(page).Settings();
    switch (item.CtlID) {
    case IDC_APP_READ_SWATCH:
        SetDCBrushColor(item.hDC, ColourOf(settings, LedColour::Read));
        break;
    case IDC_APP_WRITE_SWATCH:
        SetDCBrushColor(item.hDC, ColourOf(settings, LedColour::Write));
        break;
    case IDC_APP_IDLE_SWATCH:
        SetDCBrushColor(item.hDC, ColourOf(settings, LedColour::Idle));
        break;
    default:
        return FALSE;
    }
    FillRect(item.hDC, &item.rcItem, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    return TRUE;
}

void ChooseLedColour(HWND page, LedColour which)
{
    OptionsHost& host = HostOf(page);
    SettingsBlock& settings = host.Settings();
    CHOOSECOLORW choice{};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = page;
    choice.rgbResult = ColourOf(settings, which);
    choice.lpCustColors = CustomColours(settings);
    choice.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
    if (!CurrentOptionsSystem().ChooseColour(choice))
        return;
    ColourOf(settings, which) = choice.rgbResult;
    InvalidateSwatches(page);
    host.ColoursChanged();
}

void OnKeyboardLedBox(HWND page)
{
    OptionsHost& host = HostOf(page);
    SettingsBlock& settings = host.Settings();
    const bool on = Checked(page, IDC_APP_KEYBOARD_LED);
    if (!on && settings.useKeyboardLed)
        host.DarkenKeyboardLed();  // dark while the feature still drives it
    settings.useKeyboardLed = on;
    EnableDirectAccessBox(page, settings);
    host.SaveSettings();
}

void OnDirectAccessBox(HWND page)
{
    OptionsHost& host = HostOf(page);
    host.DarkenKeyboardLed();  // dark in the mode that lit it,
    host.Settings().useKeyboardLedDirectAccess = Checked(page, IDC_APP_DIRECT_ACCESS);
    host.DarkenKeyboardLed();  // and in the new one
    host.SaveSettings();
}

void OnTrayIconBox(HWND page)
{
    OptionsHost& host = HostOf(page);
    SettingsBlock& settings = host.Settings();
    settings.showTrayIcon = Checked(page, IDC_APP_TRAY_ICON);
    EnableWindow(GetDlgItem(page, IDC_APP_TRAY_LED), settings.showTrayIcon != 0);
    host.ShowTrayIcon(settings.showTrayIcon != 0);
    host.SaveSettings();
}

void OnTrayLedBox(HWND page)
{
    OptionsHost& host = HostOf(page);
    host.Settings().useTrayLed = Checked(page, IDC_APP_TRAY_LED);
    if (!host.Settings().useTrayLed)
        host.ResetTrayState();  // the icon shows the application icon again
    host.SaveSettings();
}

void OnLabelBox(HWND page)
{
    OptionsHost& host = HostOf(page);
    host.Settings().showIndicatorLabel = Checked(page, IDC_APP_LABEL);
    RepaintIndicators(host.Displays());
    host.SaveSettings();
}

void OnOptionBox(HWND page, const OptionBox& box)
{
    OptionsHost& host = HostOf(page);
    host.Settings().*box.field = Checked(page, box.id);
    host.SaveSettings();
}

void OnLedSize(HWND page)
{
    OptionsHost& host = HostOf(page);
    const auto index = SendDlgItemMessageW(page, IDC_APP_LED_SIZE, CB_GETCURSEL, 0, 0);
    if (index < 0 || index >= static_cast<LRESULT>(std::size(kLedSizeNames)))
        return;
    host.Settings().ledSizeIdx = static_cast<std::int32_t>(index);
    ArrangeIndicators(host.Displays(), host.Settings());
    host.RebuildIndicatorWindows();
}

// A palette chosen sets the three colours at once, in place.
void OnPalette(HWND page)
{
    OptionsHost& host = HostOf(page);
    const auto index = SendDlgItemMessageW(page, IDC_APP_PALETTE, CB_GETCURSEL, 0, 0);
    if (index < 0 || index >= kPaletteCount)
        return;
    ChoosePalette(host.Settings(), static_cast<std::int32_t>(index));
    InvalidateSwatches(page);
    host.ColoursChanged();  // the indicators and the tray LED repaint in place
    host.SaveSettings();
}

INT_PTR OnCommand(HWND page, int id, int code)
{
    if (id == IDC_APP_LED_SIZE || id == IDC_APP_PALETTE) {
        if (code == CBN_SELENDOK)
            id == IDC_APP_LED_SIZE ? OnLedSize(page) : OnPalette(page);
        return FALSE;
    }
    if (code != BN_CLICKED)  // also STN_CLICKED of the swatches
        return FALSE;
    switch (id) {
    case IDC_APP_READ_CHANGE:
    case IDC_APP_READ_SWATCH:
        ChooseLedColour(page, LedColour::Read);
        break;
    case IDC_APP_WRITE_CHANGE:
    case IDC_APP_WRITE_SWATCH:
        ChooseLedColour(page, LedColour::Write);
        break;
    case IDC_APP_IDLE_CHANGE:
    case IDC_APP_IDLE_SWATCH:
        ChooseLedColour(page, LedColour::Idle);
        break;
    case IDC_APP_KEYBOARD_LED:
        OnKeyboardLedBox(page);
        break;
    case IDC_APP_DIRECT_ACCESS:
        OnDirectAccessBox(page);
        break;
    case IDC_APP_TRAY_ICON:
        OnTrayIconBox(page);
        break;
    case IDC_APP_TRAY_LED:
        OnTrayLedBox(page);
        break;
    case IDC_APP_LABEL:
        OnLabelBox(page);
        break;
    case IDC_RESET_DEFAULTS:
        ResetAppearanceDefaults(HostOf(page), page);
        break;
    case IDOK:
    case IDCANCEL:
        HostOf(page).CloseOptions();
        return TRUE;
    default:
        for (const OptionBox& box : kOptionBoxes) {
            if (box.id == id)
                OnOptionBox(page, box);
        }
        break;
    }
    return FALSE;
}

}  // namespace

void ResetAppearanceDefaults(OptionsHost& host, HWND appearancePage)
{
    SettingsBlock& settings = host.Settings();
    ArrangeIndicators(host.Displays(), settings);
    host.DarkenKeyboardLed();  // while the keyboard settings still hold their old values
    ResetToDefaults(settings);
    host.SaveAllSettings();
    SetIndicatorsOpacity(host.Displays(), settings.opacity);
    host.ShowTrayIcon(settings.showTrayIcon != 0);
    host.RestartSampling();
    host.RebuildIndicatorWindows();  // at their new places
    host.ColoursChanged();
    if (appearancePage)
        ShowSettings(appearancePage, settings);
}

INT_PTR CALLBACK AppearancePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(page, lParam);
        return TRUE;
    case WM_HSCROLL:
        OnScroll(page, reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_DRAWITEM:
        return OnDrawItem(page, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_COMMAND:
        return OnCommand(page, LOWORD(wParam), HIWORD(wParam));
    case WM_DESTROY:
        HostOf(page).SaveSettings();
        return FALSE;
    default:
        return FALSE;
    }
}
