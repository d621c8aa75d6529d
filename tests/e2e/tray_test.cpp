// qorvel.exe's notification icon seen from outside: its LED in Wine's own
// tray window follows idle, reading and writing, and its menu's "Exit Qorvel"
// ends the program with its settings written.
#include <gtest/gtest.h>

#include "app/worker_window.h"
#include "tests/support/program_driver.h"

namespace {

// The middle of the LED bar of the first icon in Wine's own tray window (a
// row of 20-pixel slots, each icon drawn 2 pixels in).
COLORREF TrayLedPixel()
{
    const HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
    POINT led{2 + 8, 2 + 7};
    return tray && IsWindowVisible(tray) && ClientToScreen(tray, &led) ? ScreenPixel(led.x, led.y) : CLR_INVALID;
}

TEST(TrayEndToEnd, TheTrayLedFollowsIdleReadingAndWritingAndExitQorvelEndsTheProgram)
{
    RemoveSettingsFile();
    DiskSet disks{{{u"0 C:"}}};
    WriteDisks(disks);
    RunningProgram program(L"s");
    for (auto [reads, writes, colour] : {std::tuple{0u, 0u, RGB(50, 130, 255)}, {8u, 0u, RGB(50, 255, 50)},
                                         {0u, 8u, RGB(255, 50, 50)}, {0u, 0u, RGB(50, 130, 255)}}) {
        const std::jthread busy = BusyDisk(disks, reads, writes);
        EXPECT_TRUE(WaitUntil([&] { return TrayLedPixel() == colour; }, 5000)) << reads << "/" << writes;
    }

    // The menu of a right click on the icon; up from no selection is the last item.
    ASSERT_TRUE(PostMessageW(program.Worker(), WM_TRAYNOTIFY, kTrayIconId, WM_RBUTTONUP));
    std::vector<HWND> menus;
    ASSERT_TRUE(WaitUntil([&] { return !(menus = program.Windows(L"#32768")).empty() && IsWindowVisible(menus[0]); },
                          5000));
    PostMessageW(menus[0], WM_KEYDOWN, VK_UP, 0);
    PostMessageW(menus[0], WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(0u, program.ExitCode(5000));
    EXPECT_NE(std::string::npos, ReadBytes(SettingsFilePath()).value_or("").find("\r\n[_Total]\r\nx=20\r\ny=2\r\n"));
    ClearDisks();
}

}  // namespace
