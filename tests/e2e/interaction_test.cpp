// qorvel.exe's indicator under the mouse: hovering shows its tooltip,
// and "Exit Qorvel" from its context menu ends the program normally.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "tests/support/program_driver.h"

namespace {

void Click(DWORD down, DWORD up)
{
    INPUT input[2] = {{INPUT_MOUSE}, {INPUT_MOUSE}};
    input[0].mi.dwFlags = down, input[1].mi.dwFlags = up;
    SendInput(2, input, sizeof(INPUT));
}

TEST(IndicatorInteraction, HoverShowsTheTipAndTheMenusExitEndsTheProgramWithItsSettingsSaved)
{
    DiskScript disks;
    disks.Physical("0 C:");
    disks.Write();
    RemoveSettingsFile();
    RunningProgram program(L"s");
    const std::vector<HWND> indicators = program.Windows(L"QORVELIndicator");
    ASSERT_EQ(2u, indicators.size());  // drive 0 at (2, 2), then the all-in-one indicator
    SetCursorPos(7, 7), SetCursorPos(8, 6);
    EXPECT_TRUE(WaitUntil([&] {
        return std::ranges::any_of(program.Windows(TOOLTIPS_CLASSW), [&](HWND tip) {
            return IsWindowVisible(tip) && GetWindow(tip, GW_OWNER) == indicators[0];
        });
    }, 3000));
    Click(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    std::vector<HWND> menus;
    ASSERT_TRUE(WaitUntil([&] { return !(menus = program.Windows(L"#32768")).empty(); }, 3000));
    const RECT menu = WindowRectOf(menus[0]);
    SetCursorPos(menu.left + 20, menu.bottom - 8);  // the last item, "Exit Qorvel"
    Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    DWORD code = 99;
    ASSERT_TRUE(program.WaitForExit(5000, &code));
    EXPECT_EQ(0u, code);
    const std::string saved = ReadFileBytes(SettingsFilePath());  // written by the normal shutdown
    EXPECT_NE(std::string::npos, saved.find("[\\\\.\\PHYSICALDRIVE0]\r\nx=2\r\ny=2\r\nvisible=Yes")) << saved;
    DiskScript::Clear();
}

}  // namespace
