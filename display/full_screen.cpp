#include "display/full_screen.h"

#include "display/display_system.h"

HMONITOR FullScreenMonitor()
{
    DisplaySystem& system = CurrentDisplaySystem();
    const HWND front = system.ForegroundWindow();
    WindowFacts facts;
    if (!front || !system.DescribeWindow(front, &facts) || facts.shell || facts.process == GetCurrentProcessId())
        return nullptr;
    return EqualRect(&facts.rect, &facts.monitorRect) ? facts.monitor : nullptr;
}

void KeepOutOfFullScreen(DisplayList& displays, HMONITOR covered)
{
    DisplaySystem& system = CurrentDisplaySystem();
    for (const auto& data : displays) {
        const HWND window = data->Window();
        if (!window || (!covered && !data->outOfTheWay))
            continue;
        RECT rect{};
        GetWindowRect(window, &rect);
        const bool onCovered = covered && system.MonitorOf(rect) == covered;
        if (onCovered == data->outOfTheWay)
            continue;
        data->outOfTheWay = onCovered;
        ShowWindow(window, onCovered ? SW_HIDE : SW_SHOWNOACTIVATE);
    }
}
