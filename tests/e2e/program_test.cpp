// qorvel.exe driven from outside: its indicator windows, their colours on the
// screen and in the tray following scripted disk activity, its settings file,
// the single instance, the device-change rebuild, the exit event; and used as
// a person uses it, with the X pointer and keys: the indicators dragged,
// clicked and hovered, their menu and the tray's, the Options window.
#include <gtest/gtest.h>

#include "app/named_events.h"
#include "app/worker_window.h"
#include "display/indicator_interaction.h"
#include "options/options_window.h"
#include "resources/resource.h"
#include "tests/support/program_driver.h"

#include <commctrl.h>
#include <dbt.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr wchar_t kIndicatorClass[] = L"QORVELIndicator";
constexpr auto npos = std::string::npos;
constexpr COLORREF kIdle = RGB(50, 130, 255), kRead = RGB(50, 255, 50), kWrite = RGB(255, 50, 50);

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveSettingsFile();
        WriteDisks(disks);
    }
    void TearDown() override
    {
        ClearDisks();
        RemoveSettingsFile();
    }
    // Ends the program through its exit event: true when it ended with 0.
    static bool ExitsWithZero(RunningProgram& program) { return SignalExitEvent() && program.ExitCode(5000) == 0; }
    static bool SettingsHold(const char* text) { return ReadBytes(SettingsFilePath()).value_or("").find(text) != npos; }
    // True when the program ended with 0 within the time and wrote every indicator's settings.
    static bool EndedWithItsSettings(RunningProgram& program, DWORD milliseconds = 5000)
    {
        return program.ExitCode(milliseconds) == 0 && SettingsHold("\r\n[_Total]\r\nx=");
    }
    // The program's menu once it shows.
    static HWND ShownMenu(RunningProgram& program)
    {
        std::vector<HWND> menus;
        const auto shown = [&] { return !(menus = program.Windows(L"#32768")).empty() && IsWindowVisible(menus[0]); };
        return WaitUntil(shown, 5000) ? menus[0] : nullptr;
    }

    DiskSet disks{{{u"0 C:"}}, {{u"C:"}}};
};

// Runs build\tools\qorvelctl.exe with the command (through cmd, which takes
// off the outer quotes): what it printed, then its exit code.
std::string Qorvelctl(const wchar_t* command)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring line(path);
    line.resize(line.rfind(L'\\'));  // ...\build\tests
    line = L"\"\"" + line + L"\\..\\tools\\qorvelctl.exe\" " + command + L"\"";
    FILE* output = _wpopen(line.c_str(), L"rt");
    if (!output)
        return "not run";
    std::string text;
    for (int c; (c = std::fgetc(output)) != EOF;)
        text += static_cast<char>(c);
    return text + "exit code " + std::to_string(_pclose(output));
}

// "left,top width x height".
std::string Placement(HWND window)
{
    const RECT r = WindowRectOf(window);
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

// The middle of the LED bar of the first icon in Wine's own tray window (a
// row of 20-pixel slots, each icon drawn 2 pixels in); none while the window
// is hidden (it has no icon).
POINT TrayIconPoint()
{
    const HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
    POINT led{2 + 8, 2 + 7};
    return tray && IsWindowVisible(tray) && ClientToScreen(tray, &led) ? led : POINT{-1, -1};
}

COLORREF TrayLedPixel()
{
    const POINT led = TrayIconPoint();
    return led.x < 0 ? CLR_INVALID : ScreenPixel(led.x, led.y);
}

// The tab control of the program's Options window once shown (the frame is its parent; the page lies on it).
HWND ShownOptionsTabs(const RunningProgram& program)
{
    std::vector<HWND> frames;
    const auto shown = [&] {
        return (frames = program.Windows(kOptionsClass)).size() == 1 && IsWindowVisible(frames[0]);
    };
    return WaitUntil(shown, 5000) ? FindWindowExW(frames[0], nullptr, WC_TABCONTROLW, nullptr) : nullptr;
}

// The indicators' left edges, left to right.
std::string Lefts(const RunningProgram& program)
{
    std::string text;
    for (HWND window : program.Windows(kIndicatorClass))
        text += std::to_string(WindowRectOf(window).left) + " ";
    return text;
}

// The exit event ends a silent start with 0 and the file holds exactly the
// settings of the run (a second start: tests/release/install_test.sh). Then
// saved settings restore position, size, opacity and mode.
TEST_F(ProgramTest, SilentStartExitEventAndSavedSettings)
{
    RunningProgram program(L"s");
    std::vector<HWND> windows = program.Windows(kIndicatorClass);
    ASSERT_EQ(3u, windows.size());  // drive 0, all-in-one, C:
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(std::to_string(2 + 18 * i) + ",2 16x12", Placement(windows[i]));
    EXPECT_TRUE(program.Windows(kOptionsClass).empty());
    ASSERT_TRUE(ExitsWithZero(program));
    EXPECT_EQ(
        "\r\n[General]\r\nClass=7\r\nversion=1.2.4\r\nStartWithWindows=1\r\nUseKeyboardLed=No\r\n"
        "UseKeyboardLedDirectAccess=Yes\r\nShowTrayIcon=Yes\r\nUseTrayLed=Yes\r\nShowIndicatorLabel="
        "Yes\r\nHideOverFullScreen=Yes\r\nShowMinuteInTips=Yes\r\n"
        "\r\n[Appearance]\r\nOpacity=255\r\nFrequency=50\r\nColorRead=3342130\r\nColorWrite=3289855\r\n"
        "ColorOff=16745010\r\nStatPageRefresh=Yes\r\nLedSizeIdx=1\r\nPalette=0\r\n"
        "\r\n[\\\\.\\PHYSICALDRIVE0]\r\nx=2\r\ny=2\r\nvisible=Yes\r\n"
        "\r\n[_Total]\r\nx=20\r\ny=2\r\nvisible=Yes\r\n"
        "\r\n[\\\\.\\C:]\r\nx=38\r\ny=2\r\nvisible=Yes\r\n",
        ReadBytes(SettingsFilePath()));

    // A saved, read-only file is used and left intact.
    const std::string saved =
        "[General]\r\nClass=1\r\n[Appearance]\r\nOpacity=128\r\nLedSizeIdx=2\r\n"
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

// The indicator's pixels and the tray LED; then the exit event ends the
// program while the indicator's menu is open.
TEST_F(ProgramTest, IndicatorAndTrayPixelsFollowReadsWritesBothAndIdleAndTheExitEventClosesAMenu)
{
    // Without a label, at a 500 ms period.
    WriteBytes(SettingsFilePath(), "[General]\r\nShowIndicatorLabel=No\r\n[Appearance]\r\nFrequency=500\r\n");
    RunningProgram program(L"s");
    const auto top = [] { return ScreenPixel(10, 3); };      // drive 0's LED, row 1
    const auto bottom = [] { return ScreenPixel(10, 12); };  // row 10
    Sleep(2000);                                             // the start-up highlight: 100 steps of 20 ms
    ASSERT_TRUE(WaitUntil([&] { return top() == kIdle && bottom() == kIdle && TrayLedPixel() == kIdle; }, 3000))
        << std::hex << top() << " " << TrayLedPixel();
    for (auto [reads, writes, up, down] : {std::tuple{8u, 0u, kRead, kRead},
                                           {0u, 8u, kWrite, kWrite},
                                           {8u, 8u, kRead, kWrite},
                                           {0u, 0u, kIdle, kIdle}}) {
        const std::jthread busy = BusyDisk(disks, reads, writes);
        EXPECT_TRUE(WaitUntil([&] { return top() == up && bottom() == down; }, 1000))
            << reads << "/" << writes << ": " << std::hex << top() << " " << bottom();
        EXPECT_TRUE(up != down || WaitUntil([&] { return TrayLedPixel() == up; }, 5000)) << reads << "/" << writes;
    }

    ASSERT_TRUE(XDoTool("mousemove 10 8 click 3"));
    ASSERT_NE(nullptr, ShownMenu(program));
    ASSERT_TRUE(SignalExitEvent());
    EXPECT_TRUE(EndedWithItsSettings(program, 2000));
}
// The session's end writes every indicator before it answers, so a log-off may
// end the process right after; then device arrivals 2 s apart give one rebuild
// 3 s after the last: the drive that arrived, saved on no monitor, comes back
// to its default place, and the Options window open before the rebuild comes
// back where it stood, on the tab it showed.
TEST_F(ProgramTest, TheSessionEndWritesEveryIndicatorAndDeviceArrivalsGiveOneRebuild)
{
    WriteBytes(SettingsFilePath(), "[\\\\.\\PHYSICALDRIVE1]\r\nx=5000\r\ny=4000\r\n");
    RunningProgram program(L"s");
    const std::vector<HWND> session = program.Windows(L"QorvelSession");
    ASSERT_EQ(1u, session.size());
    EXPECT_FALSE(IsWindowVisible(session[0]));
    EXPECT_FALSE(SettingsHold("[_Total]"));
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(session[0], WM_QUERYENDSESSION, 0, 0, SMTO_BLOCK, 2000, &answer);
    EXPECT_EQ(TRUE, answer);
    SendMessageTimeoutW(session[0], WM_ENDSESSION, TRUE, 0, SMTO_BLOCK, 2000, &answer);
    EXPECT_TRUE(SettingsHold("\r\n[_Total]\r\nx=20\r\ny=2\r\n"));

    EXPECT_EQ(0u, RunningProgram(L"").ExitCode(2000));
    HWND tabs = ShownOptionsTabs(program);
    ASSERT_NE(nullptr, tabs);
    const HWND frame = GetParent(tabs);
    SetWindowPos(frame, nullptr, 500, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(tabs, WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageW(tabs, WM_KEYDOWN, VK_RIGHT, 0);  // "Summary"
    const std::vector<HWND> before = program.Windows(kIndicatorClass);
    ASSERT_EQ(3u, before.size());
    disks.physical.push_back({u"1 D:"});
    WriteDisks(disks);
    for (int arrival = 0; arrival < 2; ++arrival) {
        SendMessageTimeoutW(program.Worker(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0, SMTO_BLOCK, 2000, &answer);
        Sleep(2000);
    }
    EXPECT_EQ(before, program.Windows(kIndicatorClass));  // 4 s after the first: a rebuild 3 s after it would have come
    // Due 1 s from now; Wine may wait up to 2 s more for the X server to
    // confirm each window the rebuild hides.
    ASSERT_TRUE(WaitUntil([&] { return program.Windows(kIndicatorClass).size() == 4; }, 6000));
    for (HWND window : before)
        EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ("2 20 20 38 ", Lefts(program));  // drive 0, drive 1 at its default place, All, C:
    EXPECT_FALSE(IsWindow(frame));
    ASSERT_NE(nullptr, tabs = ShownOptionsTabs(program));
    EXPECT_EQ(2, TabCtrl_GetCurSel(tabs));
    EXPECT_EQ("500,300", Placement(GetParent(tabs)).substr(0, 7));
}

// Presses Esc over the Options window: it closes.
bool ClosesWithEsc(HWND frame)
{
    return XDoTool(PointAt(frame, 200, 300) + "key Escape") && WaitUntil([&] { return !IsWindow(frame); }, 2000);
}

// The text of the program's shown tip that holds the words.
std::wstring ShownTipWith(const RunningProgram& program, const wchar_t* words)
{
    wchar_t text[4096] = {};  // copied across by the system
    const auto shown = [&] {
        for (HWND tip : program.Windows(L"QorvelTip"))
            if (IsWindowVisible(tip) && SendMessageW(tip, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text)) &&
                wcsstr(text, words))
                return true;
        return false;
    };
    return WaitUntil(shown, 3000) ? text : L"";
}

// With the X pointer and keys: hovering shows an indicator's tip and a press
// its drag hint at once; drags move an indicator exactly (every one with
// Shift, in 8-pixel steps with Ctrl) and the place is kept a second later; a
// double click, the indicator's menu by keyboard and a click on the tray icon
// open the Options window; "Exit Qorvel" clicked in the tray's menu ends the
// program.
TEST_F(ProgramTest, DraggedClickedAndChosenWithTheRealPointer)
{
    disks = {{{u"0 C:"}, {u"1 D:"}}, {{u"C:"}, {u"D:"}}};
    WriteDisks(disks);
    RunningProgram program(L"s");
    const std::vector<HWND> indicators = program.Windows(kIndicatorClass);  // 0, 1, All, C:, D:
    ASSERT_EQ(5u, indicators.size());
    const auto places = [&] {
        std::string text;
        for (HWND window : indicators)
            text += Placement(window).substr(0, Placement(window).find(' ')) + " ";
        return text;
    };
    ASSERT_TRUE(XDoTool("mousemove 7 7 mousemove 8 6"));
    EXPECT_EQ(
        0u,
        ShownTipWith(program, L"\nSystem-wide Top5 user processes with most IO.").find(L"Physical Drive 0\nRead: "));

    ASSERT_TRUE(XDoTool("mousemove 28 8 mousedown 1"));
    EXPECT_NE(L"", ShownTipWith(program, kDragHint));
    std::string steps;
    for (int step = 1; step <= 10; ++step)
        steps += "mousemove " + std::to_string(28 + 10 * step) + " " + std::to_string(8 + 15 * step) + " sleep 0.05 ";
    ASSERT_TRUE(XDoTool(steps + "mouseup 1"));
    EXPECT_EQ("2,2 120,152 38,2 56,2 74,2 ", places());
    EXPECT_TRUE(WaitUntil([] { return SettingsHold("[\\\\.\\PHYSICALDRIVE1]\r\nx=120\r\ny=152\r\n"); }, 2000));
    ASSERT_TRUE(
        XDoTool("mousemove 10 8 keydown shift mousedown 1 sleep 0.05 mousemove 10 28 sleep 0.05 "
                "mousemove 10 48 sleep 0.05 mouseup 1 keyup shift"));
    EXPECT_EQ("2,42 120,192 38,42 56,42 74,42 ", places());
    ASSERT_TRUE(
        XDoTool("mousemove 10 48 keydown ctrl mousedown 1 sleep 0.05 mousemove 15 55 sleep 0.05 "
                "mousemove 20 62 sleep 0.05 mousemove 25 69 sleep 0.05 mouseup 1 keyup ctrl"));
    EXPECT_EQ("10,58 120,192 38,42 56,42 74,42 ", places());

    ASSERT_TRUE(XDoTool("mousemove 18 64 click --repeat 2 --delay 80 1"));
    HWND tabs = ShownOptionsTabs(program);
    ASSERT_NE(nullptr, tabs);
    EXPECT_EQ(0, TabCtrl_GetCurSel(tabs));
    ASSERT_TRUE(ClosesWithEsc(GetParent(tabs)));
    ASSERT_TRUE(XDoTool("mousemove 128 198 click 3"));
    ASSERT_NE(nullptr, ShownMenu(program));
    ASSERT_TRUE(XDoTool("key Down Return"));  // "Options"
    ASSERT_NE(nullptr, tabs = ShownOptionsTabs(program));
    ASSERT_TRUE(ClosesWithEsc(GetParent(tabs)));

    const POINT tray = TrayIconPoint();
    const std::string onTray = "mousemove " + std::to_string(tray.x) + " " + std::to_string(tray.y) + " ";
    ASSERT_TRUE(XDoTool(onTray + "click 1"));
    ASSERT_NE(nullptr, tabs = ShownOptionsTabs(program));
    ASSERT_TRUE(ClosesWithEsc(GetParent(tabs)));
    ASSERT_TRUE(XDoTool(onTray + "click 3"));
    const HWND menu = ShownMenu(program);
    ASSERT_NE(nullptr, menu);
    ASSERT_TRUE(XDoTool(PointAt(menu, 20, -6) + "click 1"));  // "Exit Qorvel", the last item
    EXPECT_TRUE(EndedWithItsSettings(program));
}

// The Options window by keyboard alone, then by the pointer; "qorvelctl
// exit" ends the program while the About box is open and counts one copy.
TEST_F(ProgramTest, OptionsByKeyboardAndPointerAndTheExitEventClosesTheAboutBox)
{
    disks = {{{u"0 C:"}, {u"1 D:"}}, {{u"C:"}, {u"D:"}}};
    WriteDisks(disks);
    RunningProgram program(L"s");
    EXPECT_EQ(0u, RunningProgram(L"").ExitCode(2000));  // a second start brings it up
    HWND tabs = ShownOptionsTabs(program);
    ASSERT_NE(nullptr, tabs);
    const HWND frame = GetParent(tabs);
    EXPECT_EQ(frame, GetForegroundWindow());
    EXPECT_EQ(0, TabCtrl_GetCurSel(tabs));
    SetWindowPos(frame, nullptr, 300, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);  // clear of the tray

    // Ctrl+Tab shows "Appearance" with the focus on the opacity slider, its
    // first control; Tab moves on and Shift+Tab back; the arrows move it.
    ASSERT_TRUE(XDoTool(PointAt(frame, 200, 300) + "key ctrl+Tab"));
    ASSERT_TRUE(WaitUntil([&] { return TabCtrl_GetCurSel(tabs) == 1; }, 2000));
    HWND page = FindWindowExW(tabs, nullptr, L"#32770", nullptr);
    const auto focusOn = [&](int id) {
        return WaitUntil([&] { return FocusOf(frame) == GetDlgItem(page, id); }, 2000);
    };
    EXPECT_TRUE(focusOn(IDC_APP_OPACITY));
    ASSERT_TRUE(XDoTool("key Tab"));
    EXPECT_TRUE(focusOn(IDC_APP_READ_CHANGE));
    ASSERT_TRUE(XDoTool("key shift+Tab Left Left"));
    EXPECT_TRUE(focusOn(IDC_APP_OPACITY));
    BYTE alpha = 0;
    const HWND indicator = program.Windows(kIndicatorClass)[0];
    EXPECT_TRUE(WaitUntil(
        [&] { return GetLayeredWindowAttributes(indicator, nullptr, &alpha, nullptr) && alpha == 253; }, 2000));

    const auto click = [&](int id) { return XDoTool(PointAt(GetDlgItem(page, id), 8, 6) + "click 1"); };
    const auto enabled = [&](int id, bool on) {
        return WaitUntil([&] { return (IsWindowEnabled(GetDlgItem(page, id)) != FALSE) == on; }, 2000);
    };
    ASSERT_TRUE(click(IDC_APP_KEYBOARD_LED));
    EXPECT_TRUE(WaitUntil([&] { return IsDlgButtonChecked(page, IDC_APP_KEYBOARD_LED) == BST_CHECKED; }, 2000));
    EXPECT_TRUE(enabled(IDC_APP_DIRECT_ACCESS, false));  // Wine has no keyboard device: no direct access to offer
    ASSERT_NE(CLR_INVALID, TrayLedPixel());
    ASSERT_TRUE(click(IDC_APP_TRAY_ICON));
    EXPECT_TRUE(WaitUntil([] { return TrayLedPixel() == CLR_INVALID; }, 2000));  // gone from Wine's tray
    EXPECT_TRUE(enabled(IDC_APP_TRAY_LED, false));
    ASSERT_TRUE(click(IDC_APP_LED_SIZE));
    HWND list = nullptr;  // the LED sizes' list, the one of the page's lists shown
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (const HWND shown : program.Windows(L"ComboLBox"))
                list = IsWindowVisible(shown) ? shown : list;
            return list != nullptr;
        },
        2000));
    ASSERT_TRUE(XDoTool(PointAt(list, 10, -4) + "click 1"));  // "Insane", the last
    EXPECT_TRUE(WaitUntil([&] { return Lefts(program) == "2 132 262 392 522 "; }, 2000)) << Lefts(program);

    ASSERT_TRUE(XDoTool(PointAt(tabs, 20, 10) + "click 1"));  // "General"
    ASSERT_TRUE(WaitUntil([&] { return TabCtrl_GetCurSel(tabs) == 0; }, 2000));
    page = FindWindowExW(tabs, nullptr, L"#32770", nullptr);
    ASSERT_TRUE(click(IDC_IND_LOGICAL_BOX));
    EXPECT_TRUE(WaitUntil([&] { return Lefts(program) == "2 132 262 "; }, 2000)) << Lefts(program);
    ASSERT_TRUE(click(IDC_IND_LOGICAL_BOX));
    EXPECT_TRUE(WaitUntil([&] { return Lefts(program) == "2 132 262 392 522 "; }, 2000)) << Lefts(program);
    ASSERT_TRUE(ClosesWithEsc(frame));
    EXPECT_TRUE(SettingsHold("\r\nOpacity=253\r\n"));

    EXPECT_EQ(0u, RunningProgram(L"").ExitCode(2000));
    ASSERT_NE(nullptr, tabs = ShownOptionsTabs(program));
    ASSERT_TRUE(XDoTool(PointAt(GetParent(tabs), 200, 300) + "key alt+question"));
    ASSERT_TRUE(WaitUntil([] { return FindWindowW(L"#32770", L"About Qorvel") != nullptr; }, 2000));
    EXPECT_EQ("Copies ended: 1\nexit code 0", Qorvelctl(L"exit"));
    EXPECT_TRUE(EndedWithItsSettings(program, 2000));
    EXPECT_TRUE(SettingsHold("\r\nLedSizeIdx=5\r\n"));
}

// A window of another program that covers the screen, in front, hides the
// indicators; when it goes they come back.
TEST_F(ProgramTest, AFullScreenWindowOfAnotherProgramHidesTheIndicatorsUntilItGoes)
{
    RunningProgram program(L"s");
    const std::vector<HWND> indicators = program.Windows(kIndicatorClass);
    ASSERT_EQ(3u, indicators.size());
    const auto shown = [&](bool visible) {
        const auto each = [&](HWND window) { return (IsWindowVisible(window) != FALSE) == visible; };
        return WaitUntil([&] { return std::ranges::all_of(indicators, each); }, 3000);
    };
    const HWND screen = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                        GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(screen);
    EXPECT_TRUE(shown(false));
    DestroyWindow(screen);
    EXPECT_TRUE(shown(true));
    EXPECT_TRUE(ExitsWithZero(program));
}

// Two copies (as two users' programs) wait on the exit event, each ending on
// the one signal it takes: "qorvelctl exit" signals until both have ended.
TEST_F(ProgramTest, QorvelctlExitEndsEveryCopyAndCountsThem)
{
    EXPECT_EQ("Qorvel Indicator is not running\nexit code 1", Qorvelctl(L"exit"));
    std::vector<std::jthread> copies;
    for (int copy = 0; copy < 2; ++copy) {
        const HANDLE event = CreateEventW(nullptr, FALSE, FALSE, kExitEventName);
        copies.emplace_back([event] {
            WaitForSingleObject(event, 30000);
            CloseHandle(event);
        });
    }
    EXPECT_EQ("Copies ended: 2\nexit code 0", Qorvelctl(L"exit"));
}

}  // namespace
