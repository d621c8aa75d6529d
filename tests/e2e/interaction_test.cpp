// qorvel.exe's indicator under the mouse: hovering shows its tooltip,
// and "Exit Qorvel" from its context menu ends the program normally.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

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
    {
        RunningProgram program(L"s");
        const std::vector<HWND> indicators = program.Windows(L"QORVELIndicator");
        ASSERT_EQ(2u, indicators.size());  // drive 0 at (2, 2), then the all-in-one indicator
        SetCursorPos(7, 7);
        SetCursorPos(8, 6);
        HWND tip = nullptr;
        ASSERT_TRUE(WaitUntil([&] {
            for (HWND window : program.Windows(TOOLTIPS_CLASSW))
                tip = IsWindowVisible(window) ? window : tip;
            return tip != nullptr;
        }, 3000));
        EXPECT_EQ(indicators[0], GetWindow(tip, GW_OWNER));

        Click(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
        std::vector<HWND> menus;
        ASSERT_TRUE(WaitUntil([&] { return !(menus = program.Windows(L"#32768")).empty(); }, 3000));
        const RECT menu = WindowRectOf(menus[0]);
        SetCursorPos(menu.left + 20, menu.bottom - 8);  // the last item, "Exit Qorvel"
        Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
        DWORD code = 99;
        ASSERT_TRUE(program.WaitForExit(5000, &code));
        EXPECT_EQ(0u, code);
    }
    const std::string saved = ReadFileBytes(SettingsFilePath());
    EXPECT_NE(std::string::npos, saved.find("version=1.2.4")) << saved;
    EXPECT_NE(std::string::npos, saved.find("[\\\\.\\PHYSICALDRIVE0]\r\nx=2\r\ny=2\r\nvisible=Yes")) << saved;
    DiskScript::Clear();
    RemoveSettingsFile();
}

}  // namespace
