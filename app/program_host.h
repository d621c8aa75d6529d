#pragma once
// The program as the indicators and the Options window see it: the
// operations they may ask for, carried out on the application's objects.
// ConnectHosts gives it to the application, which hands it to every display
// record and to the Options window it makes.
#include "display/indicator_host.h"
#include "options/options_host.h"

struct Application;

class ProgramHost final : public IndicatorHost, public OptionsHost {
public:
    explicit ProgramHost(Application& app) : app_(app) {}

    DisplayList& Displays() override;
    SettingsBlock& Settings() override;

    // The indicators' events.
    void OpenOptions() override;
    void ShowIndicatorMenu(HWND indicator) override;
    void DragEnded() override;

    // The Options window's operations.
    HINSTANCE Instance() override;
    void RebuildIndicatorWindows() override;
    void ColoursChanged() override;
    void StoreIndicatorSettings() override;
    void SaveSettings() override;
    void SaveAllSettings() override;
    void RestartSampling() override;
    void ShowTrayIcon(bool shown) override;
    void ResetTrayState() override;
    void DriveTrayChanged() override;
    void DarkenKeyboardLed() override;
    bool KeyboardDirectAvailable() override;
    std::wstring SettingsNote() override;
    void CloseOptions() override;
    void OptionsGone(HWND frame) override;
    void Exit() override;

private:
    Application& app_;
};

// The program's host, given to the application as both hosts.
void ConnectHosts(Application& app);
