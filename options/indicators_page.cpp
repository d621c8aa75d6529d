// The "General" tab: which indicator windows exist (the indicator mode and,
// per drive and logical disk, the selections of two lists), which drives and
// disks have a tray icon of their own (the selection of a third list), "Start
// with Windows" and "Reset to defaults". Every change applies at once.
#include <array>
#include <cstdint>
#include <vector>

#include "display/drive_tray.h"
#include "options/options_pages.h"
#include "options/selection_rules.h"
#include "resources/resource.h"
#include "settings/settings_location.h"
#include "settings/settings_model.h"

namespace {

constexpr int kMaxSelection = 1000;

bool Checked(HWND page, int id)
{
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

void SetCheck(HWND page, int id, bool on)
{
    CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED);
}

// The index in the live display list of the record a list item's data names,
// or -1: an item never leads to a record that no longer exists.
int LiveRecordIndex(const DisplayList& displays, LRESULT itemData)
{
    for (std::size_t index = 0; index < displays.size(); ++index) {
        if (reinterpret_cast<LRESULT>(displays[index].get()) == itemData)
            return static_cast<int>(index);
    }
    return -1;
}

// Adds the display-list positions of the records selected in a list; false
// when the selection cannot be read.
bool ReadSelection(const DisplayList& displays, HWND list, std::vector<std::size_t>& selected)
{
    std::array<int, kMaxSelection> items{};
    const LRESULT count = SendMessageW(list, LB_GETSELITEMS, kMaxSelection, reinterpret_cast<LPARAM>(items.data()));
    if (count < 0 || count > kMaxSelection)
        return false;
    for (LRESULT n = 0; n < count; ++n) {
        const int index = LiveRecordIndex(displays, SendMessageW(list, LB_GETITEMDATA, items[n], 0));
        if (index >= 0)
            selected.push_back(static_cast<std::size_t>(index));
    }
    return true;
}

std::uint32_t WithBit(std::uint32_t mode, std::uint32_t bit, bool on)
{
    return on ? mode | bit : mode & ~bit;
}

void ShowMode(HWND page, std::uint32_t mode)
{
    SetCheck(page, IDC_IND_PHYSICAL_BOX, (mode & kKindPhysicalDrive) != 0);
    SetCheck(page, IDC_IND_LOGICAL_BOX, (mode & kKindLogicalDisk) != 0);
    SetCheck(page, IDC_IND_ALL_IN_ONE_BOX, (mode & kKindAllInOne) != 0);
    SetCheck(page, IDC_IND_NONE_BOX, mode == kNoIndicators);
}

void AddListItem(HWND page, gui_data& data)
{
    const IndicatorEntry* entry = data.Entry();
    if (!entry || (entry->kind != kKindPhysicalDrive && entry->kind != kKindLogicalDisk))
        return;
    const HWND list =
        GetDlgItem(page, entry->kind == kKindPhysicalDrive ? IDC_IND_PHYSICAL_LIST : IDC_IND_LOGICAL_LIST);
    const LRESULT item = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry->displayName.c_str()));
    if (item < 0)
        return;
    SendMessageW(list, LB_SETITEMDATA, item, reinterpret_cast<LPARAM>(&data));
    SendMessageW(list, LB_SELITEMRANGE, data.visible, MAKELPARAM(item, item));
}

void AddTrayListItem(HWND page, gui_data& data)
{
    if (!HasDriveTrayIcon(data))
        return;
    const HWND list = GetDlgItem(page, IDC_IND_TRAY_LIST);
    const LRESULT item =
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(data.Entry()->displayName.c_str()));
    if (item < 0)
        return;
    SendMessageW(list, LB_SETITEMDATA, item, reinterpret_cast<LPARAM>(&data));
    SendMessageW(list, LB_SELITEMRANGE, data.tray, MAKELPARAM(item, item));
}

void OnInitDialog(HWND page, LPARAM host)
{
    KeepHost(page, host);
    const SettingsBlock& settings = HostOf(page).Settings();
    SetCheck(page, IDC_IND_START_WITH_WINDOWS, settings.startWithWindows != 0);
    SetCheck(page, IDC_IND_HIDE_FULL_SCREEN, settings.hideOverFullScreen != 0);
    for (const auto& data : HostOf(page).Displays()) {
        AddListItem(page, *data);
        AddTrayListItem(page, *data);
    }
    ShowMode(page, settings.indicatorMode);
}

void OnModeBox(HWND page, int box, std::uint32_t bit)
{
    std::uint32_t& mode = HostOf(page).Settings().indicatorMode;
    mode = WithBit(mode, bit, Checked(page, box));
    ApplyIndicatorSelection(page);
}

// A click on a drive name toggles its selection and makes sure its kind is
// shown; other notifications (focus) apply only when the box changed the mode.
void OnList(HWND page, int code, int box, std::uint32_t bit)
{
    bool apply = false;
    if (code == LBN_SELCHANGE) {
        SetCheck(page, box, true);
        SetCheck(page, IDC_IND_NONE_BOX, false);
        apply = true;
    }
    std::uint32_t& mode = HostOf(page).Settings().indicatorMode;
    const std::uint32_t wanted = WithBit(mode, bit, Checked(page, box));
    if (wanted != mode) {
        mode = wanted;
        apply = true;
    }
    if (apply)
        ApplyIndicatorSelection(page);
}

void OnNoIndicatorsBox(HWND page)
{
    std::uint32_t& mode = HostOf(page).Settings().indicatorMode;
    mode = Checked(page, IDC_IND_NONE_BOX) ? kNoIndicators : kKindPhysicalDrive;
    ShowMode(page, mode);
    ApplyIndicatorSelection(page);
}

// A click (or Space) on a name in the tray list: each drive and disk has a
// tray icon of its own when its name is selected, at once and in the file.
void OnTrayList(HWND page, int code)
{
    if (code != LBN_SELCHANGE)
        return;
    OptionsHost& host = HostOf(page);
    DisplayList& displays = host.Displays();
    std::vector<std::size_t> selected;
    if (!ReadSelection(displays, GetDlgItem(page, IDC_IND_TRAY_LIST), selected))
        return;
    for (const auto& data : displays)
        data->tray = false;
    for (const std::size_t index : selected)
        displays[index]->tray = HasDriveTrayIcon(*displays[index]);
    host.DriveTrayChanged();
    host.SaveAllSettings();
}

void OnStartWithWindows(HWND page)
{
    OptionsHost& host = HostOf(page);
    host.Settings().startWithWindows = Checked(page, IDC_IND_START_WITH_WINDOWS);
    host.SaveSettings();
    ApplyStartWithWindows(host.Settings().startWithWindows != 0);
}

INT_PTR OnCommand(HWND page, int id, int code)
{
    if (id == IDC_IND_PHYSICAL_LIST || id == IDC_IND_LOGICAL_LIST) {
        const bool physical = id == IDC_IND_PHYSICAL_LIST;
        OnList(page, code, physical ? IDC_IND_PHYSICAL_BOX : IDC_IND_LOGICAL_BOX,
               physical ? kKindPhysicalDrive : kKindLogicalDisk);
        return FALSE;
    }
    if (id == IDC_IND_TRAY_LIST) {
        OnTrayList(page, code);
        return FALSE;
    }
    if (code != BN_CLICKED)
        return FALSE;
    switch (id) {
    case IDC_IND_PHYSICAL_BOX:
        OnModeBox(page, id, kKindPhysicalDrive);
        break;
    case IDC_IND_LOGICAL_BOX:
        OnModeBox(page, id, kKindLogicalDisk);
        break;
    case IDC_IND_ALL_IN_ONE_BOX:
        OnModeBox(page, id, kKindAllInOne);
        break;
    case IDC_IND_NONE_BOX:
        OnNoIndicatorsBox(page);
        break;
    case IDC_IND_APPLY:
        ApplyIndicatorSelection(page);
        break;
    case IDC_IND_START_WITH_WINDOWS:
        OnStartWithWindows(page);
        break;
    case IDC_IND_HIDE_FULL_SCREEN:
        // The next tick shows or hides what it must.
        HostOf(page).Settings().hideOverFullScreen = Checked(page, IDC_IND_HIDE_FULL_SCREEN);
        HostOf(page).SaveSettings();
        break;
    case IDC_RESET_DEFAULTS:
        // Also restarts the sampling timer and shows the tray icon at once.
        ResetAppearanceDefaults(HostOf(page), nullptr);
        break;
    case IDOK:
    case IDCANCEL:
        HostOf(page).CloseOptions();
        return TRUE;
    default:
        break;
    }
    return FALSE;
}

}  // namespace

bool ApplyIndicatorSelection(HWND page)
{
    const HWND physical = GetDlgItem(page, IDC_IND_PHYSICAL_LIST);
    const HWND logical = GetDlgItem(page, IDC_IND_LOGICAL_LIST);
    if (!physical || !logical)
        return false;
    OptionsHost& host = HostOf(page);
    DisplayList& displays = host.Displays();
    // The new flags are complete before any record changes.
    std::vector<std::size_t> selected;
    if (!ReadSelection(displays, physical, selected) || !ReadSelection(displays, logical, selected))
        return false;
    std::vector<std::uint32_t> kinds;
    for (const auto& data : displays)
        kinds.push_back(data->Entry() ? data->Entry()->kind : 0);
    const std::uint32_t mode = host.Settings().indicatorMode;
    const std::vector<bool> visible = VisibleFlags(kinds, selected, mode);
    for (std::size_t index = 0; index < displays.size(); ++index)
        displays[index]->visible = visible[index];
    if (mode != kNoIndicators)
        SetCheck(page, IDC_IND_NONE_BOX, false);
    host.StoreIndicatorSettings();
    host.RebuildIndicatorWindows();
    return true;
}

INT_PTR CALLBACK IndicatorsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(page, lParam);
        return TRUE;
    case WM_COMMAND:
        return OnCommand(page, LOWORD(wParam), HIWORD(wParam));
    case WM_DESTROY:
        HostOf(page).SaveSettings();  // the mode among them
        return FALSE;
    default:
        return FALSE;
    }
}
