#include "app/shell.h"

#include <memory>
#include <type_traits>

#include "app/sampling.h"
#include "app/startup.h"
#include "app/worker_window.h"
#include "options/options_window.h"
#include "resources/resource.h"

void ShowOptionsWindow()
{
    if (!OptionsWindow()) {
        if (!CreateOptionsWindow())
            return;
    } else {
        ShowWindow(OptionsWindow(), SW_SHOWNORMAL);
    }
    BringWindowToTop(OptionsWindow());
    // A background process may take the foreground only when the starting
    // instance allowed it (AllowSetForegroundWindow before signalling).
    SetForegroundWindow(OptionsWindow());
}

namespace {

struct MenuDestroyer {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using UniqueMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDestroyer>;

}  // namespace

void ShowShellMenu(int menuId, HWND owner)
{
    POINT cursor{};
    GetCursorPos(&cursor);
    const UniqueMenu menu(LoadMenuW(App().instance, MAKEINTRESOURCEW(menuId)));
    const HMENU popup = menu ? GetSubMenu(menu.get(), 0) : nullptr;
    if (!popup)
        return;
    SetForegroundWindow(owner);
    const UINT command =
        static_cast<UINT>(TrackPopupMenu(popup, TPM_RETURNCMD | TPM_NONOTIFY, cursor.x, cursor.y, 0, owner, nullptr));
    PostMessageW(owner, WM_NULL, 0, 0);
    switch (command) {
    case IDC_OPTIONS:
        ShowOptionsWindow();
        break;
    case IDC_EXIT:
        PostQuitMessage(0);  // shutdown saves, removes the icon and destroys the windows
        break;
    default:
        break;  // dismissed
    }
}

void StoreIndicatorSettings(Application& app)
{
    for (const auto& data : app.displays) {
        if (const IndicatorEntry* entry = data->Entry())
            ExchangeIndicatorSettings(*data, Exchange::Store, entry->devicePath);
    }
}

bool SaveAllSettings(Application& app)
{
    StoreIndicatorSettings(app);
    if (app.store)
        app.store->Save();
    return true;
}

void TearDownIndicators(Application& app)
{
    app.trayRecord = nullptr;
    for (const auto& data : app.displays) {
        IndicatorEntry* entry = data->Entry();
        if (entry && entry->window) {
            DestroyWindow(entry->window);
            entry->window = nullptr;
        }
        if (entry)
            ExchangeIndicatorSettings(*data, Exchange::Store, entry->devicePath);
        if (data->record)
            data->record->Close();
    }
    app.displays.clear();
}

bool RebuildIndicatorWindows(Application& app)
{
    RecreateIndicatorWindows(app.displays, IndicatorMode());
    app.tray.BuildLedIcons(Settings(), TrayDpi(app.sessionWindow));
    ExchangeGlobalSettings(Exchange::Store);
    return true;
}

void RebuildAfterDeviceChange(Application& app)
{
    // The Options window goes first: its pages store what they show while
    // the records they point at still exist. It comes back afterwards, where
    // it stood and on the tab it showed.
    const OptionsWindowPlace options = CurrentOptionsPlace();
    DestroyOptionsWindow();
    TearDownIndicators(app);
    // The performance libraries are read again: one may have come or gone
    // with the device.
    app.access->Release();
    app.access->Init();
    EnumerateDrives(app);
    BuildIndicators(app);  // a drive saved on a monitor that is gone comes back, as at start-up
    RebuildIndicatorWindows(app);
    ReopenOptionsWindow(options);
}

void ScheduleSettingsSave()
{
    if (App().worker)
        SetTimer(App().worker, IDT_SAVE_SETTINGS, kSaveSettingsDelay, nullptr);
}

bool AddTrayIcon()
{
    Application& app = App();
    return app.tray.Add(app.worker, app.trayState, Settings());
}

void AddTrayIconWithRetries()
{
    Application& app = App();
    if (!Settings().showTrayIcon || AddTrayIcon())
        return;
    app.trayAddTriesLeft = kTrayAddRetries;
    SetTimer(app.worker, IDT_TRAY_RETRY, kTrayRetryDelay, nullptr);
}

void RetryTrayIcon()
{
    Application& app = App();
    KillTimer(app.worker, IDT_TRAY_RETRY);
    if (!Settings().showTrayIcon || AddTrayIcon() || --app.trayAddTriesLeft <= 0)
        return;
    SetTimer(app.worker, IDT_TRAY_RETRY, kTrayRetryDelay, nullptr);
}

void AddTrayIconAgain()
{
    Application& app = App();
    RepaintTrayLedForDpi();
    if (Settings().showTrayIcon)
        app.tray.AddAgain(app.worker, app.trayState, Settings());
}

bool RepaintTrayLedForDpi()
{
    Application& app = App();
    const UINT dpi = TrayDpi(app.sessionWindow);
    if (dpi == app.tray.LedDpi())
        return false;
    app.tray.BuildLedIcons(Settings(), dpi);
    return true;
}

void FollowTrayDpi()
{
    if (RepaintTrayLedForDpi())
        UpdateTrayIcon();
}

void RemoveTrayIcon()
{
    App().tray.Remove();
}

void UpdateTrayIcon()
{
    Application& app = App();
    app.tray.Update(app.trayState, Settings());
}

void ResetTrayState()
{
    App().trayState = 0;
    UpdateTrayIcon();
}

void KeyboardLedPreStep()
{
    Application& app = App();
    app.keyboard.PreStep(app.anyActivity, Settings());
    app.keyboard.Apply(Settings());
}
