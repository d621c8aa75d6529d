// Talks to a running Qorvel Indicator through its named events, as any other
// program may:
//
//   qorvelctl exit    signals the exit event and waits (up to 10 s) until
//                     no instance holds it any more; exit code 0 when it ended
//   qorvelctl show    signals the show event: the instance opens its Options window
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/named_events.h"

namespace {

bool Signal(const wchar_t* name)
{
    const HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, name);
    if (!event)
        return false;
    SetEvent(event);
    CloseHandle(event);
    return true;
}

bool Running()
{
    const HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, kExitEventName);
    if (!event)
        return false;
    CloseHandle(event);
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring command = argc == 2 ? argv[1] : L"";
    if (command == L"show")
        return Signal(kShowEventName) ? 0 : 1;
    if (command != L"exit") {
        std::printf("usage: qorvelctl exit|show\n");
        return 2;
    }
    if (!Signal(kExitEventName)) {
        std::printf("Qorvel Indicator is not running\n");
        return 1;
    }
    for (int wait = 0; wait < 100 && Running(); ++wait)
        Sleep(100);
    return Running() ? 1 : 0;
}
