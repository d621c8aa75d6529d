#include "app/program.h"

#include <memory>
#include <type_traits>

#include "app/application.h"
#include "app/messages.h"
#include "app/sampling.h"
#include "display/indicator_window.h"
#include "options/options_window.h"
#include "resources/resource.h"

namespace {

struct MenuDestroyer {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using UniqueMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDestroyer>;

UINT TrayDpi(const Application& app)
{
    return ::TrayDpi(app.sessionWindow.Get());
}

// The tray LED images painted anew for the DPI; true when it changed.
bool RepaintTrayLedForDpi(Application& app)
{
    const UINT dpi = TrayDpi(app);
    if (dpi != app.driveTray.Dpi())
        app.driveTray.Repaint(app.settings, dpi);
    if (dpi == app.tray.LedDpi())
        return false;
    app.tray.BuildLedIcons(app.settings, dpi);
    return true;
}

// Every icon wanted is present: the all-drives one when "ShowTrayIcon" is on,
// and the chosen drives' (each tried whatever became of another).
bool TrayIconsPresent(Application& app)
{
    const bool allDrives = !app.settings.showTrayIcon || AddTrayIcon(app);
    return SyncDriveTrayIcons(app) && allDrives;
}

}  // namespace

void ShowOptionsWindow(Application& app)
{
    if (!app.options) {
        if (!app.optionsHost)
            return;
        app.options.Reset(CreateOptionsWindow(*app.optionsHost));
        if (!app.options)
            return;
    } else {
        ShowWindow(app.options.Get(), SW_SHOWNORMAL);
    }
    BringWindowToTop(app.options.Get());
    // A background process may take the foreground only when the starting
    // instance allowed it (AllowSetForegroundWindow before signalling).
    SetForegroundWindow(app.options.Get());
}

void CloseOptionsWindow(Application& app)
{
    app.options.Reset();
}

void OptionsWindowGone(Application& app, HWND frame)
{
    if (app.options.Get() == frame)
        app.options.Release();
}

void ShowShellMenu(Application& app, int menuId, HWND owner)
{
    POINT cursor{};
    GetCursorPos(&cursor);
    const UniqueMenu menu(LoadMenuW(app.instance, MAKEINTRESOURCEW(menuId)));
    const HMENU popup = menu ? GetSubMenu(menu.get(), 0) : nullptr;
    if (!popup)
        return;
    SetForegroundWindow(owner);
    const UINT command =
        static_cast<UINT>(TrackPopupMenu(popup, TPM_RETURNCMD | TPM_NONOTIFY, cursor.x, cursor.y, 0, owner, nullptr));
    PostMessageW(owner, WM_NULL, 0, 0);
    switch (command) {
    case IDC_OPTIONS:
        ShowOptionsWindow(app);
        break;
    case IDC_EXIT:
        PostQuitMessage(0);  // shutdown saves, removes the icon and destroys the windows
        break;
    default:
        break;  // dismissed
    }
}

void ShowTrayMenu(Application& app)
{
    ShowShellMenu(app, IDM_TRAY_MENU, app.sessionWindow ? app.sessionWindow.Get() : app.worker.Get());
}

void SaveSettings(Application& app)
{
    if (!app.store || StoreHoldsSettings(*app.store, app.settings))
        return;
    StoreSettings(*app.store, app.settings);
    app.store->Save();
}

void StoreIndicatorSettings(Application& app)
{
    for (const auto& data : app.displays) {
        if (const IndicatorEntry* entry = data->Entry())
            ExchangeIndicatorSettings(*data, Exchange::Store, entry->devicePath);
    }
}

void SaveAllSettings(Application& app)
{
    if (!app.store)
        return;
    StoreIndicatorSettings(app);
    app.store->Save();
}

void ScheduleSettingsSave(Application& app)
{
    if (app.worker)
        SetTimer(app.worker.Get(), IDT_SAVE_SETTINGS, kSaveSettingsDelay, nullptr);
}

void EnumerateDrives(Application& app)
{
    EnumeratePhysicalDrives(*app.access, app.indicators);
    EnumerateLogicalDisks(*app.access, app.indicators);
}

void BuildIndicators(Application& app)
{
    BuildIndicatorRecords(app);
    BringIndicatorsOnScreen(app.displays, app.settings);
}

void TearDownIndicators(Application& app)
{
    app.trayRecord = nullptr;
    app.driveTray.Unbind();
    for (const auto& data : app.displays) {
        data->window.Reset();
        if (const IndicatorEntry* entry = data->Entry())
            ExchangeIndicatorSettings(*data, Exchange::Store, entry->devicePath);
        if (data->record)
            data->record->Close();
    }
    app.displays.clear();
}

void RebuildIndicatorWindows(Application& app)
{
    RecreateIndicatorWindows(app.instance, app.displays, app.settings);
    if (app.store)
        StoreSettings(*app.store, app.settings);
}

void RecolourDisplays(Application& app)
{
    RepaintIndicators(app.displays);
    app.tray.BuildLedIcons(app.settings, TrayDpi(app));
    UpdateTrayIcon(app);
    app.driveTray.Repaint(app.settings, TrayDpi(app));
}

void RebuildAfterDeviceChange(Application& app)
{
    // The Options window goes first: its pages store what they show while
    // the records they point at still exist. It comes back afterwards, where
    // it stood and on the tab it showed.
    const OptionsWindowPlace options = CurrentOptionsPlace(app.options.Get());
    CloseOptionsWindow(app);
    TearDownIndicators(app);
    // The performance libraries are read again: one may have come or gone
    // with the device.
    app.access->Release();
    app.access->Init();
    EnumerateDrives(app);
    BuildIndicators(app);  // a drive saved on a monitor that is gone comes back, as at start-up
    RebuildIndicatorWindows(app);
    SyncDriveTrayIcons(app);
    if (app.optionsHost)
        app.options.Reset(ReopenOptionsWindow(*app.optionsHost, options));
}

void FollowDisplayChange(Application& app)
{
    BringIndicatorsOnScreen(app.displays, app.settings);
    FollowTrayDpi(app);
}

void RestartSampling(Application& app)
{
    const UINT period = SamplingPeriod(app.settings.samplingPeriod);
    app.sampler.SetPeriod(period);
    if (!app.sampler.Running() && app.worker)
        SetTimer(app.worker.Get(), IDT_SAMPLE, period, nullptr);  // the window timer that stands in for it
}

bool AddTrayIcon(Application& app)
{
    return app.tray.Add(app.worker.Get(), app.trayState, app.settings);
}

void AddTrayIconWithRetries(Application& app)
{
    if (TrayIconsPresent(app))
        return;
    app.trayAddTriesLeft = kTrayAddRetries;
    SetTimer(app.worker.Get(), IDT_TRAY_RETRY, kTrayRetryDelay, nullptr);
}

void RetryTrayIcon(Application& app)
{
    KillTimer(app.worker.Get(), IDT_TRAY_RETRY);
    if (TrayIconsPresent(app) || --app.trayAddTriesLeft <= 0)
        return;
    SetTimer(app.worker.Get(), IDT_TRAY_RETRY, kTrayRetryDelay, nullptr);
}

void RemoveTrayIcon(Application& app)
{
    app.tray.Remove();
}

void AddTrayIconAgain(Application& app)
{
    RepaintTrayLedForDpi(app);
    if (app.settings.showTrayIcon)
        app.tray.AddAgain(app.worker.Get(), app.trayState, app.settings);
    app.driveTray.AddAgain(app.worker.Get(), app.settings, TrayDpi(app));
}

void UpdateTrayIcon(Application& app)
{
    app.tray.Update(app.trayState, app.settings);
}

void ResetTrayState(Application& app)
{
    app.trayState = 0;
    UpdateTrayIcon(app);
}

void FollowTrayDpi(Application& app)
{
    if (RepaintTrayLedForDpi(app))
        UpdateTrayIcon(app);
}

bool SyncDriveTrayIcons(Application& app)
{
    return app.driveTray.Sync(app.worker.Get(), app.displays, app.settings, TrayDpi(app));
}

void RefreshDriveTrayTip(Application& app, UINT id)
{
    app.driveTray.RefreshTip(id);
}

void DarkenKeyboardLed(Application& app)
{
    app.keyboard.PreStep(app.anyActivity, app.settings);
    app.keyboard.Apply(app.settings);
}

void SaveEverything(Application& app)
{
    if (app.store)
        StoreSettings(*app.store, app.settings);
    SaveAllSettings(app);
}
