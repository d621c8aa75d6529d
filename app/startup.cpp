#include "app/startup.h"

#include <objbase.h>

#include <cwchar>
#include <utility>

#include "app/application.h"
#include "app/sampling.h"
#include "app/session_window.h"
#include "app/messages.h"
#include "app/program.h"
#include "app/program_host.h"
#include "app/worker_window.h"
#include "display/icon_painter.h"
#include "display/indicator_window.h"
#include "options/options_window.h"
#include "resources/resource.h"
#include "settings/settings_location.h"
#include "sources/source_system.h"

ComApartment::ComApartment()
    : initialized_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)))
{
}

ComApartment::~ComApartment()
{
    if (initialized_)
        CoUninitialize();
}

bool HasSilentFlag(const wchar_t* commandLine)
{
    return commandLine && std::wcschr(commandLine, L's') != nullptr;
}

bool IsSupportedSystem()
{
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (GetVersionExW(&version) && version.dwMajorVersion >= 5)
        return true;
    MessageBoxW(nullptr, L"This software works only on Windows 2000, WindowsXP and higher. Please, press Ok to exit.",
                L"Incompatible version", MB_OK);
    return false;
}

void OpenSettings(Application& app)
{
    app.store = std::make_unique<CIniEx>();
    OpenSettingsFile(*app.store, &app.settingsPlace);
    LoadSettings(*app.store, app.settings);
    ApplyStartWithWindows(app.settings.startWithWindows != 0);
}

void RegisterWindowClasses(HINSTANCE instance)
{
    RegisterOptionsClass(instance);
    RegisterIndicatorClass(instance);
    RegisterWorkerClass(instance);
    RegisterSessionClass(instance);
}

void ConnectProgram(Application& app)
{
    ConnectHosts(app);
}

void CreatePerformanceAccess(Application& app)
{
    app.access = std::make_unique<DirectRegistryAccess>();
    app.access->Init();
}

bool CreateShellWindows(Application& app)
{
    app.worker.Reset(CreateWorkerWindow(app));
    if (!app.worker)
        return false;
    app.sessionWindow.Reset(CreateSessionWindow(app));
    RegisterDeviceNotifications(app);
    SetDeviceNotificationWindow(app.worker.Get());
    return true;
}

void StartTimers(Application& app, HANDLE exitEvent)
{
    const UINT period = SamplingPeriod(app.settings.samplingPeriod);
    const auto sample = [&app] { return SampleRecords(app); };
    if (!app.sampler.Start(app.gate, sample, app.worker.Get(), period, exitEvent)) {
        // Without its thread the program samples on a window timer, and the
        // message loop waits on the exit event.
        SetTimer(app.worker.Get(), IDT_SAMPLE, period, nullptr);
        app.exitEventInLoop = exitEvent;
    }
    SetTimer(app.worker.Get(), IDT_HIGHLIGHT, kHighlightPeriod, nullptr);
}

void LoadIcons(Application& app)
{
    app.trayAppIcon = LoadSmallIcon(app.instance, IDI_APPLICATION_ICON);
    app.ledOffIcon = LoadSmallIcon(app.instance, IDI_LED_OFF);
    app.ledOnIcon = LoadSmallIcon(app.instance, IDI_LED_ON);
    app.tray.UseIcons(app.trayAppIcon.Get(), app.ledOffIcon.Get(), app.ledOnIcon.Get());
    app.driveTray.UseIcons(app.trayAppIcon.Get(), app.ledOffIcon.Get(), app.ledOnIcon.Get());
}

void LoadAccelerators(Application& app)
{
    app.accelerators = LoadAcceleratorsW(app.instance, MAKEINTRESOURCEW(IDA_ACCELERATORS));
}

void MakeIndicators(Application& app)
{
    EnumerateDrives(app);
    BuildIndicators(app);
}

void AddTrayIconIfWanted(Application& app)
{
    app.tray.BuildLedIcons(app.settings, TrayDpi(app.sessionWindow.Get()));
    AddTrayIconWithRetries(app);
}

void ShowIndicators(Application& app)
{
    RebuildIndicatorWindows(app);
}

void ShowOptionsUnlessSilent(Application& app)
{
    if (!app.settings.silentStart)
        ShowOptionsWindow(app);
}

void ShutDown(Application& app)
{
    app.sampler.Stop();
    CloseOptionsWindow(app);
    if (app.store) {
        StoreSettings(*app.store, app.settings);
        StoreIndicatorSettings(app);
    }
    app.tray.Remove();
    app.driveTray.RemoveAll();
    app.trayAppIcon.Reset();
    app.ledOffIcon.Reset();
    app.ledOnIcon.Reset();
    app.keyboard.Close(app.settings);
    TearDownIndicators(app);
    app.deviceArrivals.clear();
    app.sessionWindow.Reset();
    app.worker.Reset();
    SetDeviceNotificationWindow(nullptr);
    app.store.reset();  // writes the settings file when it changed
    app.access.reset();
}
