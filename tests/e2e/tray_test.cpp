// qorvel.exe's notification icon seen from outside: its LED in Wine's own
// tray window follows idle, reading and writing, and its menu's "Exit Qorvel"
// ends the program with its settings written.
#include <gtest/gtest.h>

#include "app/worker_window.h"
#include "tests/support/program_driver.h"

namespace {

constexpr COLORREF kIdle = RGB(50, 130, 255);
constexpr COLORREF kRead = RGB(50, 255, 50);
constexpr COLORREF kWrite = RGB(255, 50, 50);

class TrayEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveSettingsFile();
        drive0 = &disks.Physical("0 C:");
        disks.Write();
    }
    void TearDown() override
    {
        DiskScript::Clear();
        RemoveSettingsFile();
    }

    DiskScript disks;
    DiskScript::Counters* drive0 = nullptr;
};

// The middle of the LED bar of the first icon in Wine's own tray window (a
// row of 20-pixel slots, each icon drawn 2 pixels in).
COLORREF TrayLedPixel()
{
    const HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
    RECT client{};
    if (!tray || !IsWindowVisible(tray) || !GetClientRect(tray, &client))
        return CLR_INVALID;
    POINT led{2 + 8, 2 + 7};
    ClientToScreen(tray, &led);
    return ScreenPixel(led.x, led.y);
}

TEST_F(TrayEndToEnd, TheTrayLedFollowsIdleReadingAndWriting)
{
    RunningProgram program(L"s");
    ASSERT_TRUE(WaitUntil([] { return TrayLedPixel() == kIdle; }, 5000)) << std::hex << TrayLedPixel();
    struct Case {
        unsigned reads, writes;
        COLORREF led;
    };
    for (const Case& c : {Case{8, 0, kRead}, Case{0, 8, kWrite}}) {
        DiskActivity busy(disks, [&](DiskScript& script) { script.Grow(*drive0, c.reads, c.writes); });
        EXPECT_TRUE(WaitUntil([&] { return TrayLedPixel() == c.led; }, 2000)) << std::hex << TrayLedPixel();
    }
    EXPECT_TRUE(WaitUntil([] { return TrayLedPixel() == kIdle; }, 2000)) << std::hex << TrayLedPixel();
}

TEST_F(TrayEndToEnd, ExitQorvelFromTheTrayMenuEndsWithZeroAndWritesTheSettings)
{
    RunningProgram program(L"s");
    ASSERT_TRUE(PostMessageW(program.Worker(), WM_TRAYNOTIFY, kTrayIconId, WM_RBUTTONUP));
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            menu = FindWindowW(L"#32768", nullptr);
            DWORD owner = 0;
            GetWindowThreadProcessId(menu, &owner);
            return menu && IsWindowVisible(menu) && owner == program.ProcessId();
        },
        5000));
    // Up from no selection chooses the last item, "Exit Qorvel".
    PostMessageW(menu, WM_KEYDOWN, VK_UP, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    DWORD code = 99;
    ASSERT_TRUE(program.WaitForExit(5000, &code));
    EXPECT_EQ(0u, code);
    EXPECT_NE(std::string::npos, ReadFileBytes(SettingsFilePath()).find("\r\n[_Total]\r\nx=20\r\ny=2\r\n"));
}

}  // namespace
