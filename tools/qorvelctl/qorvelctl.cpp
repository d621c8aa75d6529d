// Talks to a running Qorvel Indicator through its named events, as any other
// program may:
//
//   qorvelctl exit    ends every running copy, on every logon session: one
//                     signal of the exit event ends one copy (the event is
//                     one for the whole machine and resets when a copy takes
//                     it), so it signals again until the event no longer
//                     exists or 20 s have passed, and prints how many copies
//                     took a signal ("Copies ended: 2"). Exit code 0 when
//                     every copy has ended, 1 when none ran or some still run.
//   qorvelctl show    signals the show event: the instance opens its Options window
//   qorvelctl add-logon
//                     writes the start-at-logon entry "Start with Windows"
//                     writes, for the qorvel.exe beside this program
//   qorvelctl remove-logon
//                     removes the start-at-logon entry when it starts the
//                     qorvel.exe beside this program; another copy's stays
//
// The installer (packaging/qorvel.wxs) ships it beside qorvel.exe and runs
// "exit" before it replaces or removes the program, "add-logon" when asked to
// and "remove-logon" when it removes the program.
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/named_events.h"
#include "settings/settings_location.h"

namespace {

constexpr DWORD kExitLimitMs = 20000;  // an exit with the Options window and the About box open takes 6 s under Wine
constexpr DWORD kRoundMs = 100;

bool Signal(const wchar_t* name)
{
    const HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, name);
    if (!event)
        return false;
    SetEvent(event);
    CloseHandle(event);
    return true;
}

enum class Round { Gone, Taken, NotTaken, Failed };

// One round: opens the exit event, signals it, and looks again a moment later
// with the handle still open, so that the event outlives the round and the
// signal's fate is seen: no longer set, a copy took it; still set, no copy
// did, and this wait takes it back. The handle is closed before the next
// round: held between rounds, it would keep the event alive after the last
// copy has ended.
Round SignalRound()
{
    const HANDLE event = OpenEventW(SYNCHRONIZE | EVENT_MODIFY_STATE, FALSE, kExitEventName);
    if (!event)
        return GetLastError() == ERROR_FILE_NOT_FOUND ? Round::Gone : Round::Failed;
    SetEvent(event);
    Sleep(kRoundMs);
    const bool taken = WaitForSingleObject(event, 0) == WAIT_TIMEOUT;
    CloseHandle(event);
    return taken ? Round::Taken : Round::NotTaken;
}

int ExitEveryCopy()
{
    int ended = 0;
    const ULONGLONG start = GetTickCount64();
    for (bool first = true;; first = false) {
        const Round round = SignalRound();
        if (round == Round::Gone && first) {
            std::printf("Qorvel Indicator is not running\n");
            return 1;
        }
        if (round == Round::Gone) {
            std::printf("Copies ended: %d\n", ended);
            return 0;
        }
        if (round == Round::Failed) {
            std::printf("Copies ended: %d; the exit event cannot be opened (error %lu)\n", ended, GetLastError());
            return 1;
        }
        ended += round == Round::Taken ? 1 : 0;
        if (GetTickCount64() - start >= kExitLimitMs) {
            std::printf("Copies ended: %d; some still run\n", ended);
            return 1;
        }
    }
}

// The start-at-logon entry for the qorvel.exe beside this program.
std::wstring OwnLogonData()
{
    return StartAtLogonData(GetModuleFolder().value_or(L""));
}

int AddLogon()
{
    const std::wstring data = OwnLogonData();
    const auto size = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    return RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, kRunValue, REG_SZ, data.c_str(), size) == ERROR_SUCCESS ? 0 : 1;
}

// Paths compare without case, as Windows does. An entry longer than any of
// this program's is another's: reading it fails and it stays.
int RemoveLogon()
{
    wchar_t data[2 * MAX_PATH] = {};
    DWORD size = sizeof data;
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, kRunValue, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS ||
        CompareStringOrdinal(data, -1, OwnLogonData().c_str(), -1, TRUE) != CSTR_EQUAL)
        return 0;
    return RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kRunValue) == ERROR_SUCCESS ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring command = argc == 2 ? argv[1] : L"";
    if (command == L"show")
        return Signal(kShowEventName) ? 0 : 1;
    if (command == L"exit")
        return ExitEveryCopy();
    if (command == L"add-logon")
        return AddLogon();
    if (command == L"remove-logon")
        return RemoveLogon();
    std::printf("usage: qorvelctl exit|show|add-logon|remove-logon\n");
    return 2;
}
