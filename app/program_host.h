#pragma once
// The program as the indicators and the Options window see it: the
// operations they may ask for, carried out on the application's objects.
// ConnectHosts puts it in force at start-up.
#include "display/indicator_host.h"
#include "options/options_host.h"

class ProgramHost final : public IndicatorHost, public OptionsHost {
public:
    DisplayList& Displays() override;

    // The indicators' events.
    void OpenOptions() override;
    void ShowIndicatorMenu(HWND indicator) override;
    void DragEnded() override;

    // The Options window's operations.
    void RebuildIndicatorWindows() override;
    void StoreIndicatorSettings() override;
    void SaveAllSettings() override;
    void RestartSampling() override;
    void ShowTrayIcon(bool shown) override;
    void ResetTrayState() override;
    void DarkenKeyboardLed() override;
    bool KeyboardDirectAvailable() override;
};

ProgramHost& TheProgramHost();

// The program's host in force for the indicators and the Options window.
void ConnectHosts();
