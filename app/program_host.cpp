#include "app/program_host.h"

#include "app/application.h"
#include "app/sampling.h"
#include "app/shell.h"
#include "app/worker_window.h"
#include "resources/resource.h"

DisplayList& ProgramHost::Displays()
{
    return App().displays;
}

void ProgramHost::OpenOptions()
{
    ShowOptionsWindow();
}

void ProgramHost::ShowIndicatorMenu(HWND indicator)
{
    ShowShellMenu(IDM_INDICATOR_MENU, indicator);
}

void ProgramHost::DragEnded()
{
    ScheduleSettingsSave();
}

void ProgramHost::RebuildIndicatorWindows()
{
    ::RebuildIndicatorWindows(App());
}

void ProgramHost::StoreIndicatorSettings()
{
    ::StoreIndicatorSettings(App());
}

void ProgramHost::SaveAllSettings()
{
    ::SaveAllSettings(App());
}

void ProgramHost::RestartSampling()
{
    Application& app = App();
    const UINT period = SamplingPeriod(Settings().samplingPeriod);
    app.sampler.SetPeriod(period);
    if (!app.sampler.Running() && app.worker)
        SetTimer(app.worker, IDT_SAMPLE, period, nullptr);  // the window timer that stands in for it
}

void ProgramHost::ShowTrayIcon(bool shown)
{
    if (shown)
        AddTrayIcon();
    else
        RemoveTrayIcon();
}

void ProgramHost::ResetTrayState()
{
    ::ResetTrayState();
}

void ProgramHost::DarkenKeyboardLed()
{
    KeyboardLedPreStep();
}

bool ProgramHost::KeyboardDirectAvailable()
{
    return App().keyboard.DirectAvailable();
}

ProgramHost& TheProgramHost()
{
    static ProgramHost host;
    return host;
}

void ConnectHosts()
{
    SetIndicatorHost(&TheProgramHost());
    SetOptionsHost(&TheProgramHost());
}
