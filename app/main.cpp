// Entry point of Qorvel Indicator. The resident program (worker window,
// indicators, tray icon) is started from here; until the shell is in place the
// program starts and ends at once.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    return 0;
}
