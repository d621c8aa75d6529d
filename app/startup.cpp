#include "app/startup.h"

#include <objbase.h>

#include <cwchar>
#include <utility>

#include "app/application.h"
#include "app/sampling.h"
#include "app/session_window.h"
#include "app/shell.h"
#include "app/worker_window.h"
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
    SetSettingsStore(app.store.get());
    OpenSettingsFile(*app.store);
    ExchangeGlobalSettings(Exchange::Load);
    ApplyStartWithWindows();
}

void RegisterWindowClasses(HINSTANCE instance)
{
    RegisterOptionsClass(instance);
    RegisterIndicatorClass(instance);
    RegisterWorkerClass(instance);
    RegisterSessionClass(instance);
}

void CreatePerformanceAccess(Application& app)
{
    app.access = std::make_unique<DirectRegistryAccess>();
    app.access->Init();
}

bool CreateShellWindows(Application& app)
{
    app.worker = CreateWorkerWindow(app.instance);
    if (!app.worker)
        return false;
    app.sessionWindow = CreateSessionWindow(app.instance);
    RegisterDeviceNotifications(app.worker);
    SetDeviceNotificationWindow(app.worker);
    return true;
}

void StartTimers(Application& app, HANDLE exitEvent)
{
    const UINT period = SamplingPeriod(Settings().samplingPeriod);
    if (!app.sampler.Start(app, app.worker, period, exitEvent)) {
        // Without its thread the program samples on a window timer, and the
        // message loop waits on the exit event.
        SetTimer(app.worker, IDT_SAMPLE, period, nullptr);
        app.exitEventInLoop = exitEvent;
    }
    SetTimer(app.worker, IDT_HIGHLIGHT, kHighlightPeriod, nullptr);
}

void LoadIcons(Application& app)
{
    app.trayAppIcon = LoadSmallIcon(app.instance, IDI_APPLICATION_ICON);
    app.ledOffIcon = LoadSmallIcon(app.instance, IDI_LED_OFF);
    app.ledOnIcon = LoadSmallIcon(app.instance, IDI_LED_ON);
    app.tray.UseIcons(app.trayAppIcon.Get(), app.ledOffIcon.Get(), app.ledOnIcon.Get());
}

void LoadAccelerators(Application& app)
{
    app.accelerators = LoadAcceleratorsW(app.instance, MAKEINTRESOURCEW(IDA_ACCELERATORS));
}

void EnumerateDrives(Application& app)
{
    EnumeratePhysicalDrives(*app.access, app.indicators);
    EnumerateLogicalDisks(*app.access, app.indicators);
}

void BuildIndicators(Application& app)
{
    BuildIndicatorRecords(app);
    BringIndicatorsOnScreen(app.displays);
}

void AddTrayIconIfWanted()
{
    AddTrayIconWithRetries();
}

void ShowOptionsUnlessSilent()
{
    if (!Settings().silentStart)
        ShowOptionsWindow();
}

void ShutDown(Application& app)
{
    app.sampler.Stop();
    DestroyOptionsWindow();
    if (app.store) {
        ExchangeGlobalSettings(Exchange::Store);
        StoreIndicatorSettings(app);
    }
    app.tray.Remove();
    app.trayAppIcon.Reset(), app.ledOffIcon.Reset(), app.ledOnIcon.Reset();
    app.keyboard.Close(Settings());
    TearDownIndicators(app);
    if (app.sessionWindow)
        DestroyWindow(std::exchange(app.sessionWindow, nullptr));
    if (app.worker)
        DestroyWindow(std::exchange(app.worker, nullptr));
    SetDeviceNotificationWindow(nullptr);
    SetSettingsStore(nullptr);
    app.store.reset();  // writes the settings file when it changed
    app.access.reset();
}
