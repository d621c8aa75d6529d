// qorvel.exe driven from outside: its indicator windows, their colours on the
// screen and in the tray following scripted disk activity, its settings file,
// the single instance, the device-change rebuild, the exit event, the Options
// window and an indicator's tooltip and menu.
#include <gtest/gtest.h>

#include "app/worker_window.h"
#include "options/options_window.h"
#include "resources/resource.h"
#include "tests/support/program_driver.h"

#include <commctrl.h>
#include <dbt.h>

namespace {

constexpr wchar_t kIndicatorClass[] = L"QORVELIndicator";
constexpr auto npos = std::string::npos;
constexpr COLORREF kIdle = RGB(50, 130, 255), kRead = RGB(50, 255, 50), kWrite = RGB(255, 50, 50);

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override { RemoveSettingsFile(), WriteDisks(disks); }
    void TearDown() override { ClearDisks(), RemoveSettingsFile(); }
    // Ends the program through its exit event: true when it ended with 0.
    static bool ExitsWithZero(RunningProgram& program) { return SignalExitEvent() && program.ExitCode(5000) == 0; }
    static bool SettingsHold(const char* text) { return ReadBytes(SettingsFilePath()).value_or("").find(text) != npos; }
    // True when the program ended with 0 and wrote every indicator's settings.
    static bool EndedWithItsSettings(RunningProgram& program)
    {
        return program.ExitCode(5000) == 0 && SettingsHold("\r\n[_Total]\r\nx=20\r\ny=2\r\n");
    }
    // Chooses "Exit Qorvel", the last item of the program's open menu (up from no selection).
    static bool ExitsFromItsMenu(RunningProgram& program)
    {
        std::vector<HWND> menus;
        if (!WaitUntil([&] { return !(menus = program.Windows(L"#32768")).empty() && IsWindowVisible(menus[0]); }, 5000))
            return false;
        PostMessageW(menus[0], WM_KEYDOWN, VK_UP, 0);
        return PostMessageW(menus[0], WM_KEYDOWN, VK_RETURN, 0) && EndedWithItsSettings(program);
    }

    DiskSet disks{{{u"0 C:"}}, {{u"C:"}}};
};

// "left,top width x height".
std::string Placement(HWND window)
{
    const RECT r = WindowRectOf(window);
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

// The middle of the LED bar of the first icon in Wine's own tray window (a
// row of 20-pixel slots, each icon drawn 2 pixels in).
COLORREF TrayLedPixel()
{
    const HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
    POINT led{2 + 8, 2 + 7};
    return tray && IsWindowVisible(tray) && ClientToScreen(tray, &led) ? ScreenPixel(led.x, led.y) : CLR_INVALID;
}

// The tab control of the program's Options window once shown (the frame is its parent; the page lies on it).
HWND ShownOptionsTabs(const RunningProgram& program)
{
    std::vector<HWND> frames;
    const auto shown = [&] { return (frames = program.Windows(kOptionsClass)).size() == 1 && IsWindowVisible(frames[0]); };
    return WaitUntil(shown, 5000) ? FindWindowExW(frames[0], nullptr, WC_TABCONTROLW, nullptr) : nullptr;
}

// A second start steps back while the first runs; the exit event ends the
// first with 0 and the file holds exactly the settings of the run. Then saved
// settings restore position, size, opacity and mode.
TEST_F(ProgramTest, SilentStartSecondStartExitEventAndSavedSettings)
{
    RunningProgram program(L"s");
    std::vector<HWND> windows = program.Windows(kIndicatorClass);
    ASSERT_EQ(3u, windows.size());  // drive 0, all-in-one, C:
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(std::to_string(2 + 18 * i) + ",2 16x12", Placement(windows[i]));
    EXPECT_TRUE(program.Windows(kOptionsClass).empty());
    RunningProgram second(L"s");
    EXPECT_EQ(0u, second.ExitCode(1000));
    EXPECT_EQ(windows, program.Windows(kIndicatorClass));
    ASSERT_TRUE(ExitsWithZero(program));
    EXPECT_EQ("\r\n[General]\r\nClass=7\r\nversion=1.2.4\r\nStartWithWindows=1\r\nUseKeyboardLed=No\r\n"
              "UseKeyboardLedDirectAccess=Yes\r\nShowTrayIcon=Yes\r\nUseTrayLed=Yes\r\nShowIndicatorLabel=Yes\r\n"
              "\r\n[Appearance]\r\nOpacity=255\r\nFrequency=50\r\nColorRead=3342130\r\nColorWrite=3289855\r\n"
              "ColorOff=16745010\r\nStatPageRefresh=Yes\r\nLedSizeIdx=1\r\n"
              "\r\n[\\\\.\\PHYSICALDRIVE0]\r\nx=2\r\ny=2\r\nvisible=Yes\r\n"
              "\r\n[_Total]\r\nx=20\r\ny=2\r\nvisible=Yes\r\n"
              "\r\n[\\\\.\\C:]\r\nx=38\r\ny=2\r\nvisible=Yes\r\n",
              ReadBytes(SettingsFilePath()));

    // A saved, read-only file is used and left intact.
    const std::string saved = "[General]\r\nClass=1\r\n[Appearance]\r\nOpacity=128\r\nLedSizeIdx=2\r\n"
                              "[\\\\.\\PHYSICALDRIVE0]\r\nx=300\r\ny=200\r\n";
    WriteBytes(SettingsFilePath(), saved);
    SetFileAttributesW(SettingsFilePath().c_str(), FILE_ATTRIBUTE_READONLY);
    RunningProgram again(L"s");
    windows = again.Windows(kIndicatorClass);
    ASSERT_EQ(1u, windows.size());  // physical drives only
    EXPECT_EQ("300,200 24x18", Placement(windows[0]));
    BYTE alpha = 0;
    DWORD flags = 0;
    EXPECT_TRUE(GetLayeredWindowAttributes(windows[0], nullptr, &alpha, &flags) && alpha == 128 && flags == LWA_ALPHA);
    ASSERT_TRUE(ExitsWithZero(again));
    EXPECT_EQ(saved, ReadBytes(SettingsFilePath()));
}

// The indicator's pixels and the tray LED; then "Exit Qorvel" from the tray
// icon's menu ends the program with its settings written.
TEST_F(ProgramTest, IndicatorAndTrayPixelsFollowReadsWritesBothAndIdleAndExitQorvelEndsTheProgram)
{
    // Without a label, at a 500 ms period.
    WriteBytes(SettingsFilePath(), "[General]\r\nShowIndicatorLabel=No\r\n[Appearance]\r\nFrequency=500\r\n");
    RunningProgram program(L"s");
    const auto top = [] { return ScreenPixel(10, 3); };      // drive 0's LED, row 1
    const auto bottom = [] { return ScreenPixel(10, 12); };  // row 10
    Sleep(2000);  // the start-up highlight: 100 steps of 20 ms
    ASSERT_TRUE(WaitUntil([&] { return top() == kIdle && bottom() == kIdle && TrayLedPixel() == kIdle; }, 3000))
        << std::hex << top() << " " << TrayLedPixel();
    for (auto [reads, writes, up, down] : {std::tuple{8u, 0u, kRead, kRead}, {0u, 8u, kWrite, kWrite},
                                           {8u, 8u, kRead, kWrite}, {0u, 0u, kIdle, kIdle}}) {
        const std::jthread busy = BusyDisk(disks, reads, writes);
        EXPECT_TRUE(WaitUntil([&] { return top() == up && bottom() == down; }, 1000))
            << reads << "/" << writes << ": " << std::hex << top() << " " << bottom();
        EXPECT_TRUE(up != down || WaitUntil([&] { return TrayLedPixel() == up; }, 5000)) << reads << "/" << writes;
    }

    ASSERT_TRUE(PostMessageW(program.Worker(), WM_TRAYNOTIFY, kTrayIconId, WM_RBUTTONUP));
    EXPECT_TRUE(ExitsFromItsMenu(program));
}

// The session's end writes every indicator before it answers, so a log-off may
// end the process right after; then device arrivals 2 s apart give one rebuild
// 3 s after the last.
TEST_F(ProgramTest, TheSessionEndWritesEveryIndicatorAndDeviceArrivalsGiveOneRebuild)
{
    RunningProgram program(L"s");
    const std::vector<HWND> session = program.Windows(L"QorvelSession"), before = program.Windows(kIndicatorClass);
    ASSERT_EQ(1u, session.size());
    ASSERT_EQ(3u, before.size());
    EXPECT_FALSE(IsWindowVisible(session[0]));
    EXPECT_FALSE(SettingsHold("[_Total]"));
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(session[0], WM_QUERYENDSESSION, 0, 0, SMTO_BLOCK, 2000, &answer);
    EXPECT_EQ(TRUE, answer);
    SendMessageTimeoutW(session[0], WM_ENDSESSION, TRUE, 0, SMTO_BLOCK, 2000, &answer);
    EXPECT_TRUE(SettingsHold("\r\n[_Total]\r\nx=20\r\ny=2\r\n"));

    disks.physical.push_back({u"1 D:"});
    WriteDisks(disks);
    for (int arrival = 0; arrival < 2; ++arrival) {
        SendMessageTimeoutW(program.Worker(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0, SMTO_BLOCK, 2000, &answer);
        Sleep(2000);
    }
    EXPECT_EQ(before, program.Windows(kIndicatorClass));  // 4 s after the first: a rebuild 3 s after it would have come
    ASSERT_TRUE(WaitUntil([&] { return program.Windows(kIndicatorClass).size() == 4; }, 3000));
    for (HWND window : before)
        EXPECT_FALSE(IsWindow(window));
}

// A second start brings the Options window up on "General"; an opacity
// change is applied and stored when the window is hidden; a tray click opens
// a fresh window on "General"; File > "E&xit Qorvel" ends the program with 0.
TEST_F(ProgramTest, OptionsComeUpOnGeneralKeepAnOpacityChangeAndExitEndsTheProgram)
{
    RunningProgram program(L"s");
    EXPECT_EQ(0u, RunningProgram(L"").ExitCode(2000));
    HWND tabs = ShownOptionsTabs(program);
    ASSERT_NE(nullptr, tabs);
    const HWND frame = GetParent(tabs);
    EXPECT_EQ(frame, GetForegroundWindow());
    EXPECT_EQ(0, TabCtrl_GetCurSel(tabs));
    EXPECT_NE(nullptr, GetDlgItem(FindWindowExW(tabs, nullptr, L"#32770", nullptr), IDC_IND_START_WITH_WINDOWS));

    SendMessageW(tabs, WM_KEYDOWN, VK_RIGHT, 0);  // the Appearance tab
    const HWND page = FindWindowExW(tabs, nullptr, L"#32770", nullptr);
    const HWND slider = GetDlgItem(page, IDC_APP_OPACITY);
    SendMessageW(slider, TBM_SETPOS, TRUE, 128);
    SendMessageW(page, WM_HSCROLL, TB_ENDTRACK, reinterpret_cast<LPARAM>(slider));
    BYTE alpha = 0;
    GetLayeredWindowAttributes(program.Windows(kIndicatorClass)[0], nullptr, &alpha, nullptr);
    EXPECT_EQ(128, alpha);
    PostMessageW(frame, WM_COMMAND, IDC_HIDE_OPTIONS, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(frame); }, 3000));
    EXPECT_TRUE(SettingsHold("\r\nOpacity=128\r\n"));

    PostMessageW(program.Worker(), WM_TRAYNOTIFY, kTrayIconId, WM_LBUTTONUP);
    ASSERT_NE(nullptr, tabs = ShownOptionsTabs(program));
    EXPECT_EQ(0, TabCtrl_GetCurSel(tabs));
    PostMessageW(GetParent(tabs), WM_COMMAND, IDC_EXIT, 0);
    EXPECT_TRUE(EndedWithItsSettings(program));
}

// Hovering an indicator shows its live tooltip; "Exit Qorvel" from its menu
// ends the program with its settings written.
TEST_F(ProgramTest, HoverShowsTheLiveTipAndTheIndicatorsMenuExitEndsTheProgram)
{
    RunningProgram program(L"s");
    const std::vector<HWND> indicators = program.Windows(kIndicatorClass);
    ASSERT_EQ(3u, indicators.size());
    SetCursorPos(7, 7);  // over drive 0, then moving
    SetCursorPos(8, 6);
    HWND tip = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        for (HWND window : program.Windows(TOOLTIPS_CLASSW))
            tip = IsWindowVisible(window) ? window : tip;
        return tip != nullptr;
    }, 3000));
    wchar_t text[4096] = {};  // the text the tip shows, copied across by the system
    SendMessageW(tip, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(text, wcsstr(text, L"Read: ")) << text;
    EXPECT_NE(nullptr, wcsstr(text, L"\nSystem-wide Top5 user processes with most IO.")) << text;

    PostMessageW(indicators[0], WM_RBUTTONUP, 0, MAKELPARAM(6, 4));
    EXPECT_TRUE(ExitsFromItsMenu(program));
}

}  // namespace
