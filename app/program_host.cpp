#include "app/program_host.h"

#include "app/application.h"
#include "app/program.h"
#include "resources/resource.h"

DisplayList& ProgramHost::Displays()
{
    return app_.displays;
}

SettingsBlock& ProgramHost::Settings()
{
    return app_.settings;
}

void ProgramHost::OpenOptions()
{
    ShowOptionsWindow(app_);
}

void ProgramHost::ShowIndicatorMenu(HWND indicator)
{
    ShowShellMenu(app_, IDM_INDICATOR_MENU, indicator);
}

void ProgramHost::DragEnded()
{
    ScheduleSettingsSave(app_);
}

HINSTANCE ProgramHost::Instance()
{
    return app_.instance;
}

void ProgramHost::RebuildIndicatorWindows()
{
    ::RebuildIndicatorWindows(app_);
}

void ProgramHost::ColoursChanged()
{
    RecolourDisplays(app_);
}

void ProgramHost::StoreIndicatorSettings()
{
    ::StoreIndicatorSettings(app_);
}

void ProgramHost::SaveSettings()
{
    ::SaveSettings(app_);
}

void ProgramHost::SaveAllSettings()
{
    SaveEverything(app_);
}

void ProgramHost::RestartSampling()
{
    ::RestartSampling(app_);
}

void ProgramHost::ShowTrayIcon(bool shown)
{
    if (shown)
        AddTrayIcon(app_);
    else
        RemoveTrayIcon(app_);
}

void ProgramHost::ResetTrayState()
{
    ::ResetTrayState(app_);
}

void ProgramHost::DriveTrayChanged()
{
    SyncDriveTrayIcons(app_);
}

void ProgramHost::DarkenKeyboardLed()
{
    ::DarkenKeyboardLed(app_);
}

bool ProgramHost::KeyboardDirectAvailable()
{
    return app_.keyboard.DirectAvailable();
}

std::wstring ProgramHost::SettingsNote()
{
    return SettingsPlaceNote(app_.settingsPlace);
}

void ProgramHost::CloseOptions()
{
    CloseOptionsWindow(app_);
}

void ProgramHost::OptionsGone(HWND frame)
{
    OptionsWindowGone(app_, frame);
}

void ProgramHost::Exit()
{
    PostQuitMessage(0);  // shutdown saves, removes the icon and destroys the windows
}

void ConnectHosts(Application& app)
{
    static ProgramHost host(app);
    app.indicatorHost = &host;
    app.optionsHost = &host;
}
