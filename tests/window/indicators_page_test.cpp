// The "General" page: list selections and the mode into visible flags and
// windows, list items that name no live record, and "Reset to defaults".
#include "tests/window/options_fixture.h"

namespace {

using IndicatorsPageTest = OptionsTest;

void Select(HWND page, int list, bool selected)
{
    SendDlgItemMessageW(page, list, LB_SETSEL, selected, -1);
}

TEST_F(IndicatorsPageTest, SelectionsAndModeGiveTheVisibleFlagsAndWindows)
{
    struct Case {
        std::uint32_t mode;
        bool drive, disk;
        const char* expected;  // flags, then windows, of drive 0, all-in-one, C:
    };
    const HWND page = Open(0);
    for (const Case& c : {Case{7, true, true, "111 111"}, Case{1, true, true, "101 100"},
                          Case{4, false, false, "010 010"}, Case{256, true, false, "100 000"}}) {
        SetIndicatorMode(c.mode);
        Select(page, IDC_IND_PHYSICAL_LIST, c.drive);
        Select(page, IDC_IND_LOGICAL_LIST, c.disk);
        EXPECT_TRUE(ApplyIndicatorSelection(page));
        EXPECT_EQ(c.expected, Indicators()) << c.mode;
    }
}

TEST_F(IndicatorsPageTest, ListClicksAndModeBoxesSetTheModeBits)
{
    SetIndicatorMode(1);
    const HWND page = Open(0);
    Notify(page, IDC_IND_LOGICAL_LIST, LBN_SELCHANGE);  // C: clicked while "Logical disks" is unticked
    EXPECT_EQ(3u, IndicatorMode());
    EXPECT_TRUE(IsDlgButtonChecked(page, IDC_IND_LOGICAL_BOX));
    EXPECT_EQ("101 101", Indicators());
    Toggle(page, IDC_IND_NONE_BOX);
    EXPECT_EQ(256u, IndicatorMode());
    EXPECT_EQ("101 000", Indicators());  // the selections stay
    Toggle(page, IDC_IND_NONE_BOX);
    EXPECT_EQ(1u, IndicatorMode());
    Toggle(page, IDC_IND_ALL_IN_ONE_BOX);
    EXPECT_EQ(5u, IndicatorMode());
    EXPECT_EQ("111 110", Indicators());
}

TEST_F(IndicatorsPageTest, ItemsOfNoLiveRecordAreSkippedAndAnUnreadableListChangesNoFlag)
{
    const HWND page = Open(0);
    __gui_data stray;  // as a record freed by a rebuild: not in the display list
    stray.visible = false;
    const HWND drives = GetDlgItem(page, IDC_IND_PHYSICAL_LIST);
    for (LPARAM data : {reinterpret_cast<LPARAM>(&stray), LPARAM{0}})
        SendMessageW(drives, LB_SETITEMDATA, SendMessageW(drives, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"gone")), data);
    Select(page, IDC_IND_PHYSICAL_LIST, true);
    EXPECT_TRUE(ApplyIndicatorSelection(page));
    EXPECT_FALSE(stray.visible);
    EXPECT_EQ("111 111", Indicators());

    Select(page, IDC_IND_PHYSICAL_LIST, false);
    DestroyWindow(GetDlgItem(page, IDC_IND_LOGICAL_LIST));  // a single-selection list cannot answer
    CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD, 0, 0, 9, 9, page,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_IND_LOGICAL_LIST)), nullptr, nullptr);
    EXPECT_FALSE(ApplyIndicatorSelection(page));
    EXPECT_EQ("111 111", Indicators());
}

TEST_F(IndicatorsPageTest, ResetToDefaultsKeepsSizeStartAndModeAndAppliesIntervalAtOnce)
{
    SettingsBlock& settings = Settings();
    settings.ledSizeIdx = 4;
    settings.startWithWindows = 0;
    settings.samplingPeriod = 1000;
    settings.readColor = RGB(1, 2, 3);
    settings.showTrayIcon = 0;
    SetIndicatorMode(5);
    SetTimer(App().worker, IDT_SAMPLE, 1000, nullptr);
    Notify(Open(0), IDC_RESET_DEFAULTS, BN_CLICKED);
    EXPECT_EQ(4, settings.ledSizeIdx);
    EXPECT_EQ(0, settings.startWithWindows);
    EXPECT_EQ(5u, IndicatorMode());
    EXPECT_EQ(RGB(50, 255, 50), settings.readColor);
    EXPECT_EQ(1, settings.showTrayIcon);
    EXPECT_EQ(50, settings.samplingPeriod);
    g_sampleTicks = 0;
    for (const DWORD end = GetTickCount() + 500; GetTickCount() < end; Sleep(5)) {
        for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);)
            DispatchMessageW(&msg);
    }
    EXPECT_GE(g_sampleTicks, 3);  // the 1000 ms timer would not have ticked yet
    RECT drive{}, all{};
    GetWindowRect(App().displays[0]->Window(), &drive);
    GetWindowRect(App().displays[1]->Window(), &all);
    EXPECT_EQ(2, drive.left);
    EXPECT_EQ(2 + 64 + 2, all.left);  // lined up at the "X-Large" width
}

}  // namespace
