// A drive letter with a tray icon of its own and the all-drives icon off, as
// a person uses it: its LED with "C" on it in Wine's own tray, and a click on
// it with the real pointer opens the Options window.
#include <gtest/gtest.h>

#include "options/options_window.h"
#include "tests/support/program_driver.h"

#include <filesystem>

TEST(DriveTrayIcon, ItsLedShowsItsLetterAndAClickInWinesTrayOpensTheOptionsWindow)
{
    RemoveSettingsFile();
    WriteDisks({{{u"0 C:"}}, {{u"C:"}}});
    std::filesystem::create_directories(std::filesystem::path(SettingsFilePath()).parent_path());
    WriteBytes(SettingsFilePath(), "[general]\r\nShowTrayIcon=No\r\n[\\\\.\\C:]\r\ntray=Yes\r\n");
    RunningProgram program(L"s");
    // Icon pixels on the screen: Wine's tray window draws its first icon 2 pixels in.
    const auto onScreen = [](int x, int y) {
        POINT point{2 + x, 2 + y};
        const HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
        return tray && IsWindowVisible(tray) && ClientToScreen(tray, &point) ? point : POINT{-1, -1};
    };
    // "C" in cells of 2 pixels from (5, 2): the light label at (6, 7), the idle blue beside it at (8, 7).
    const auto shown = [&] {
        return ScreenPixel(onScreen(6, 7).x, onScreen(6, 7).y) == RGB(240, 240, 240) &&
               ScreenPixel(onScreen(8, 7).x, onScreen(8, 7).y) == RGB(50, 130, 255);
    };
    ASSERT_TRUE(WaitUntil(shown, 5000));
    const POINT led = onScreen(8, 7);
    ASSERT_TRUE(XDoTool("mousemove " + std::to_string(led.x) + " " + std::to_string(led.y) + " click 1"));
    EXPECT_TRUE(WaitUntil([&] { return program.Windows(kOptionsClass).size() == 1; }, 5000));
    EXPECT_TRUE(SignalExitEvent() && program.ExitCode(10000) == 0);
    ClearDisks();
    RemoveSettingsFile();
}
