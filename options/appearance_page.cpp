// The "Appearance" tab: how activity is shown. Every change goes into the
// settings block at once and is applied to the running displays.
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstdint>
#include <cwchar>
#include <iterator>

#include "display/indicator_window.h"
#include "options/options_host.h"
#include "options/options_pages.h"
#include "options/options_system.h"
#include "options/options_window.h"
#include "resources/resource.h"
#include "settings/ini_ex.h"
#include "settings/settings_model.h"

namespace {

constexpr const wchar_t* kLedSizeNames[] = {L"Tiny", L"Small", L"Normal", L"Large", L"X-Large", L"Insane"};
constexpr int kOpaque = 255;
constexpr std::int32_t kFallbackPeriod = 50;  // the interval of a slider position that names no step

enum class LedColour { Read, Write, Idle };

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

UniqueBrush& BrushOf(SettingsBlock& settings, LedColour which)
{
    switch (which) {
    case LedColour::Read:
        return settings.readBrush;
    case LedColour::Write:
        return settings.writeBrush;
    default:
        return settings.idleBrush;
    }
}

// The colour dialog's custom colours, kept while the program runs; the first
// three start as the LED colours of the first time the dialog opens.
COLORREF* CustomColours()
{
    static std::array<COLORREF, 16> colours = [] {
        std::array<COLORREF, 16> initial{};
        initial.fill(RGB(255, 255, 255));
        const SettingsBlock& settings = Settings();
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
int StepOf(const SettingsBlock& settings, std::int32_t period)
{
    for (std::size_t index = 0; index < settings.intervalSteps.size(); ++index) {
        if (settings.intervalSteps[index] == period)
            return static_cast<int>(index);
    }
    return -1;
}

// Step 1 of applying: the layering and alpha of every shown indicator, changed
// in place (dragging the slider recreates neither the windows nor the icons).
void ApplyOpacity(const SettingsBlock& settings)
{
    const bool layered = settings.opacity != kOpaque;
    for (const auto& data : CurrentOptionsHost().Displays()) {
        const HWND window = data->Window();
        if (!window || !IsWindowVisible(window))
            continue;
        const bool restyle = ((GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0) != layered;
        if (restyle)
            SetWindowLongPtrW(window, GWL_EXSTYLE, WS_EX_TOOLWINDOW | WS_EX_TOPMOST | (layered ? WS_EX_LAYERED : 0));
        SetLayeredWindowAttributes(window, 0, static_cast<BYTE>(settings.opacity & 0xFF), LWA_ALPHA);
        // A new alpha alone needs no painting; a window entering or leaving
        // the layered state is painted at once.
        if (restyle)
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
}

void ShowOpacityText(HWND page, int opacity)
{
    wchar_t text[32] = L"Invisible";
    if (opacity == kOpaque)
        std::wcscpy(text, L"Opaque");
    else if (opacity != 0)
        std::swprintf(text, std::size(text), L"%d%%", opacity * 100 / kOpaque);
    SetDlgItemTextW(page, IDC_APP_OPACITY_TEXT, text);
}

void ShowInterval(HWND page, const SettingsBlock& settings)
{
    wchar_t text[32] = {};
    std::swprintf(text, std::size(text), L"%d ms", settings.samplingPeriod);
    SetDlgItemTextW(page, IDC_APP_INTERVAL_TEXT, text);
    const int last = static_cast<int>(settings.intervalSteps.size()) - 1;
    SendDlgItemMessageW(page, IDC_APP_INTERVAL, TBM_SETRANGE, TRUE, MAKELPARAM(0, last));
    if (const int step = StepOf(settings, settings.samplingPeriod); step >= 0)
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
                 settings.useKeyboardLed && CurrentOptionsHost().KeyboardDirectAvailable());
}

// Every control of the page from the settings block.
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
    ShowOpacityText(page, settings.opacity);
    ShowInterval(page, settings);
    ShowLedSizes(page, settings);
}

void OnInitDialog(HWND page)
{
    SettingsBlock& settings = Settings();
    // A store without a file answers nothing but defaults: reloading from it
    // would replace the running choices with them.
    if (const CIniEx* store = SettingsStore(); store && !store->FilePath().empty())
        LoadSettings(settings, page);
    SendDlgItemMessageW(page, IDC_APP_OPACITY, TBM_SETRANGE, FALSE, MAKELPARAM(0, kOpaque));
    SendDlgItemMessageW(page, IDC_APP_OPACITY, TBM_SETPOS, TRUE, settings.opacity);
    // A period 20 ms above a step is taken as that step (120 as 100).
    for (const std::int32_t step : settings.intervalSteps) {
        if (step == settings.samplingPeriod || step == settings.samplingPeriod - 20) {
            settings.samplingPeriod = step;
            break;
        }
    }
    ApplyAppearance(page);
}

void OnOpacityScroll(HWND page)
{
    SettingsBlock& settings = Settings();
    settings.opacity = static_cast<std::int32_t>(SendDlgItemMessageW(page, IDC_APP_OPACITY, TBM_GETPOS, 0, 0));
    ApplyOpacity(settings);
    ShowOpacityText(page, settings.opacity);
}

void OnIntervalScroll(HWND page)
{
    SettingsBlock& settings = Settings();
    const auto position = SendDlgItemMessageW(page, IDC_APP_INTERVAL, TBM_GETPOS, 0, 0);
    const bool step = position >= 0 && position < static_cast<LRESULT>(settings.intervalSteps.size());
    const std::int32_t period = step ? settings.intervalSteps[position] : kFallbackPeriod;
    if (period == settings.samplingPeriod)
        return;  // a drag within one step
    settings.samplingPeriod = period;
    ApplyAppearance(page);
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

// The swatches show the colour settings themselves: the LED brushes may be
// showing a highlight's hue.
INT_PTR OnDrawItem(const DRAWITEMSTRUCT& item)
{
    SettingsBlock& settings = Settings();
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
    SettingsBlock& settings = Settings();
    CHOOSECOLORW choice{};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = page;
    choice.rgbResult = ColourOf(settings, which);
    choice.lpCustColors = CustomColours();
    choice.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
    if (!CurrentOptionsSystem().ChooseColour(choice))
        return;
    ColourOf(settings, which) = choice.rgbResult;
    BrushOf(settings, which).Reset(CreateSolidBrush(choice.rgbResult));
    ApplyAppearance(page);
}

void OnKeyboardLedBox(HWND page)
{
    SettingsBlock& settings = Settings();
    const bool on = Checked(page, IDC_APP_KEYBOARD_LED);
    if (!on && settings.useKeyboardLed)
        CurrentOptionsHost().DarkenKeyboardLed();  // dark while the feature still drives it
    settings.useKeyboardLed = on;
    EnableDirectAccessBox(page, settings);
    StoreGlobalSettingsIfChanged();
}

void OnDirectAccessBox(HWND page)
{
    SettingsBlock& settings = Settings();
    CurrentOptionsHost().DarkenKeyboardLed();  // dark in the mode that lit it,
    settings.useKeyboardLedDirectAccess = Checked(page, IDC_APP_DIRECT_ACCESS);
    CurrentOptionsHost().DarkenKeyboardLed();  // and in the new one
    StoreGlobalSettingsIfChanged();
}

void OnTrayIconBox(HWND page)
{
    SettingsBlock& settings = Settings();
    settings.showTrayIcon = Checked(page, IDC_APP_TRAY_ICON);
    EnableWindow(GetDlgItem(page, IDC_APP_TRAY_LED), settings.showTrayIcon != 0);
    CurrentOptionsHost().ShowTrayIcon(settings.showTrayIcon != 0);
    StoreGlobalSettingsIfChanged();
}

void OnTrayLedBox(HWND page)
{
    SettingsBlock& settings = Settings();
    settings.useTrayLed = Checked(page, IDC_APP_TRAY_LED);
    if (!settings.useTrayLed)
        CurrentOptionsHost().ResetTrayState();  // the icon shows the application icon again
    StoreGlobalSettingsIfChanged();
}

void OnLabelBox(HWND page)
{
    Settings().showIndicatorLabel = Checked(page, IDC_APP_LABEL);
    StoreGlobalSettingsIfChanged();
}

void OnLedSize(HWND page)
{
    const auto index = SendDlgItemMessageW(page, IDC_APP_LED_SIZE, CB_GETCURSEL, 0, 0);
    if (index < 0 || index >= static_cast<LRESULT>(std::size(kLedSizeNames)))
        return;
    Settings().ledSizeIdx = static_cast<std::int32_t>(index);
    ArrangeIndicators(CurrentOptionsHost().Displays());
    ApplyAppearance(page);
}

void OnReset(HWND page)
{
    ResetAppearanceDefaults(page);
    SendDlgItemMessageW(page, IDC_APP_OPACITY, TBM_SETPOS, TRUE, Settings().opacity);
}

INT_PTR OnCommand(HWND page, int id, int code)
{
    if (id == IDC_APP_LED_SIZE) {
        if (code == CBN_SELENDOK)
            OnLedSize(page);
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
        OnReset(page);
        break;
    case IDOK:
    case IDCANCEL:
        ClosePageAndOptions(page);
        return TRUE;
    default:
        break;
    }
    return FALSE;
}

}  // namespace

bool ApplyAppearance(HWND page)
{
    const SettingsBlock& settings = Settings();
    ApplyOpacity(settings);
    if (page)
        ShowSettings(page, settings);
    OptionsHost& host = CurrentOptionsHost();
    host.ShowTrayIcon(settings.showTrayIcon != 0);
    host.RestartSampling();
    host.RebuildIndicatorWindows();
    return true;
}

bool ResetAppearanceDefaults(HWND page)
{
    OptionsHost& host = CurrentOptionsHost();
    SettingsBlock& settings = Settings();
    ArrangeIndicators(host.Displays());
    host.DarkenKeyboardLed();  // while the keyboard settings still hold their old values
    const SettingsBlock defaults;
    settings.readColor = defaults.readColor;
    settings.writeColor = defaults.writeColor;
    settings.idleColor = defaults.idleColor;
    settings.opacity = defaults.opacity;
    settings.samplingPeriod = defaults.samplingPeriod;
    RebuildBrushes(settings);
    settings.useKeyboardLed = 0;
    settings.useKeyboardLedDirectAccess = 0;
    settings.useTrayLed = 1;
    settings.showTrayIcon = 1;
    settings.statPageRefresh = 1;
    settings.showIndicatorLabel = 1;
    SaveSettings(settings);
    host.SaveAllSettings();
    ApplyAppearance(page);
    return true;
}

INT_PTR CALLBACK AppearancePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(page);
        return TRUE;
    case WM_HSCROLL:
        OnScroll(page, reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_DRAWITEM:
        return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_COMMAND:
        return OnCommand(page, LOWORD(wParam), HIWORD(wParam));
    case WM_DESTROY:
        StoreGlobalSettingsIfChanged();
        return FALSE;
    default:
        return FALSE;
    }
}
