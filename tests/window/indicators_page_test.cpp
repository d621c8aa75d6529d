// The "General" page: list selections and the mode into visible flags and
// windows, a list click setting its kind's mode bit, list items that name no
// live record, and "Reset to defaults".
#include "tests/window/options_fixture.h"

namespace {

TEST_F(OptionsTest, SelectionsAndModeGiveTheVisibleFlagsAndWindows)
{
    // `expected`: the flags, then the windows, of drive 0, all-in-one, C:.
    struct Case { std::uint32_t mode; bool drive, disk; const char* expected; };
    const HWND page = Open(0);
    for (const Case& c : {Case{7, true, true, "111 111"}, Case{4, false, false, "010 010"},
                          Case{256, true, false, "100 000"}, Case{1, true, true, "101 100"}}) {
        SetIndicatorMode(c.mode);
        SendDlgItemMessageW(page, IDC_IND_PHYSICAL_LIST, LB_SETSEL, c.drive, -1);
        SendDlgItemMessageW(page, IDC_IND_LOGICAL_LIST, LB_SETSEL, c.disk, -1);
        EXPECT_TRUE(ApplyIndicatorSelection(page));
        EXPECT_EQ(c.expected, Indicators()) << c.mode;
    }
    Notify(page, IDC_IND_LOGICAL_LIST, LBN_SELCHANGE);  // C: clicked while "Logical disks" is unticked
    EXPECT_EQ(3u, IndicatorMode());
    EXPECT_EQ("101 101", Indicators());
}

TEST_F(OptionsTest, ItemsOfNoLiveRecordAreSkippedAndAnUnreadableListChangesNoFlag)
{
    const HWND page = Open(0);
    __gui_data stray;  // as a record freed by a rebuild: not in the display list
    stray.visible = false;
    const HWND drives = GetDlgItem(page, IDC_IND_PHYSICAL_LIST);
    for (LPARAM data : {reinterpret_cast<LPARAM>(&stray), LPARAM{0}})
        SendMessageW(drives, LB_SETITEMDATA, SendMessageW(drives, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"gone")), data);
    SendMessageW(drives, LB_SETSEL, TRUE, -1);
    EXPECT_TRUE(ApplyIndicatorSelection(page));
    EXPECT_FALSE(stray.visible);
    EXPECT_EQ("111 111", Indicators());

    SendMessageW(drives, LB_SETSEL, FALSE, -1);
    DestroyWindow(GetDlgItem(page, IDC_IND_LOGICAL_LIST));  // a single-selection list cannot answer
    CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD, 0, 0, 9, 9, page,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_IND_LOGICAL_LIST)), nullptr, nullptr);
    EXPECT_FALSE(ApplyIndicatorSelection(page));
    EXPECT_EQ("111 111", Indicators());
}

TEST_F(OptionsTest, ResetToDefaultsKeepsSizeStartAndModeAndAppliesIntervalAndTrayAtOnce)
{
    SettingsBlock& settings = Settings();
    settings.ledSizeIdx = 4, settings.startWithWindows = 0, settings.samplingPeriod = 1000, settings.showTrayIcon = 0;
    SetIndicatorMode(5);
    SetTimer(App().worker, IDT_SAMPLE, 1000, nullptr);
    Notify(Open(0), IDC_RESET_DEFAULTS, BN_CLICKED);
    EXPECT_EQ(std::tuple(4, 0, 5u, 50), std::tuple(settings.ledSizeIdx, settings.startWithWindows, IndicatorMode(),
                                                   settings.samplingPeriod));
    EXPECT_TRUE(App().tray.Present());  // shown at once
    int ticks = 0;
    for (const DWORD end = GetTickCount() + 500; GetTickCount() < end; Sleep(5))
        for (MSG msg; PeekMessageW(&msg, App().worker, WM_TIMER, WM_TIMER, PM_REMOVE);)
            ticks += msg.wParam == IDT_SAMPLE;
    EXPECT_GE(ticks, 3);  // the 1000 ms timer would not have ticked yet
}

}  // namespace
