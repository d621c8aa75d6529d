// A drive letter with a tray icon of its own and the all-drives icon off, as
// a person uses it: its LED with "C" on it in Wine's own tray, a click with
// the real pointer opens the Options window; the icon goes with its drive and
// comes back with it.
#include <gtest/gtest.h>

#include "options/options_window.h"
#include "tests/support/program_driver.h"

#include <dbt.h>

#include <filesystem>

namespace {

// A pixel of the first icon in Wine's tray window (the icon 2 pixels into its
// slot), on the screen; CLR_INVALID while the window is hidden (no icon).
COLORREF TrayPixel(int x, int y, std::string* pointer = nullptr)
{
    const HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
    POINT point{2 + x, 2 + y};
    if (!tray || !IsWindowVisible(tray) || !ClientToScreen(tray, &point))
        return CLR_INVALID;
    if (pointer)
        *pointer = "mousemove " + std::to_string(point.x) + " " + std::to_string(point.y) + " ";
    return ScreenPixel(point.x, point.y);
}

TEST(DriveTrayIcon, ClickedInWinesTrayItOpensTheOptionsWindowAndItFollowsItsDrive)
{
    RemoveSettingsFile();
    DiskSet disks{{{u"0 C:"}}, {{u"C:"}}};
    WriteDisks(disks);
    std::filesystem::create_directories(std::filesystem::path(SettingsFilePath()).parent_path());
    WriteBytes(SettingsFilePath(), "[general]\r\nShowTrayIcon=No\r\n[\\\\.\\C:]\r\ntray=Yes\r\n");
    RunningProgram program(L"s");
    const COLORREF idle = RGB(50, 130, 255);
    std::string pointer;
    // "C" in cells of 2 pixels from (5, 2): the light label at x 6 in row 7, the idle blue beside it at x 8.
    ASSERT_TRUE(
        WaitUntil([&] { return TrayPixel(6, 7) == RGB(240, 240, 240) && TrayPixel(8, 7, &pointer) == idle; }, 5000));
    ASSERT_TRUE(XDoTool(pointer + "click 1"));
    EXPECT_TRUE(WaitUntil([&] { return program.Windows(kOptionsClass).size() == 1; }, 5000));
    disks.logical.clear();
    WriteDisks(disks);
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(program.Worker(), WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, 0, SMTO_BLOCK, 2000, &answer);
    EXPECT_TRUE(WaitUntil([] { return TrayPixel(8, 7) == CLR_INVALID; }, 8000));  // the tray hides without icons
    disks.logical.push_back({u"C:"});
    WriteDisks(disks);
    SendMessageTimeoutW(program.Worker(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0, SMTO_BLOCK, 2000, &answer);
    EXPECT_TRUE(WaitUntil([&] { return TrayPixel(8, 7) == idle; }, 8000));
    EXPECT_TRUE(SignalExitEvent() && program.ExitCode(10000) == 0);
    ClearDisks();
    RemoveSettingsFile();
}

}  // namespace
