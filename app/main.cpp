// Entry point of Qorvel Indicator: start-up in order, the message loop, and
// shutdown as its mirror.
#include <windows.h>

#include "app/application.h"
#include "app/message_loop.h"
#include "app/named_events.h"
#include "app/startup.h"
#include "common/working_set.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int)
{
    Application& app = App();
    app.instance = instance;
    const UniqueHandle exitEvent = CreateExitEvent();
    UniqueHandle showEvent;
    if (!ClaimSingleInstance(showEvent))
        return 0;  // the running instance shows its Options window
    app.settings.silentStart = HasSilentFlag(commandLine);
    if (!IsSupportedSystem())
        return 0;
    const ComApartment com;
    app.keyboard.Open();
    OpenSettings(app);
    RegisterWindowClasses(instance);
    ConnectProgram(app);
    CreatePerformanceAccess(app);
    if (!CreateShellWindows(app)) {
        ShutDown(app);
        return 1;
    }
    StartTimers(app, exitEvent.Get());
    LoadIcons(app);
    LoadAccelerators(app);
    MakeIndicators(app);
    AddTrayIconIfWanted(app);
    ShowIndicators(app);
    TrimWorkingSet();
    ShowOptionsUnlessSilent(app);
    TrimWorkingSet();

    const int exitCode = RunMessageLoop(app, showEvent.Get());

    ShutDown(app);
    return exitCode;
}
