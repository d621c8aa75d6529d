// qorvel.exe's indicator under the mouse: hovering shows its live tooltip,
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

// The text a tooltip of the program asks its indicator for, read through
// memory of the program's own.
std::wstring TipText(const RunningProgram& program, HWND tip, HWND indicator)
{
    char* remote = static_cast<char*>(VirtualAllocEx(program.Process(), nullptr, 16384, MEM_COMMIT, PAGE_READWRITE));
    TOOLINFOW tool{sizeof tool, 0, indicator};
    tool.lpszText = reinterpret_cast<wchar_t*>(remote + 1024);
    WriteProcessMemory(program.Process(), remote, &tool, sizeof tool, nullptr);
    SendMessageW(tip, TTM_GETTEXTW, 4096, reinterpret_cast<LPARAM>(remote));
    std::wstring text(4096, L'\0');
    ReadProcessMemory(program.Process(), tool.lpszText, text.data(), 8192, nullptr);
    VirtualFreeEx(program.Process(), remote, 0, MEM_RELEASE);
    return text.c_str();
}

TEST(IndicatorInteraction, HoverShowsTheLiveTipAndTheMenusExitEndsTheProgramWithItsSettingsSaved)
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
        const std::wstring text = TipText(program, tip, indicators[0]);
        EXPECT_EQ(0u, text.find(L"Read: ")) << text;
        EXPECT_NE(std::wstring::npos, text.find(L"\nSystem-wide Top5 user processes with most IO.")) << text;

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
