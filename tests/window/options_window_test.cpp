// The Options frame: tab switching by the tab control and by Ctrl+Tab, the
// pages' dialog keys, and the accelerators with the About box.
#include <regex>

#include "tests/window/options_fixture.h"

namespace {

using OptionsWindowTest = OptionsTest;

TEST_F(OptionsWindowTest, SelectingATabDestroysTheShownPageAndMakesThatTabsPage)
{
    ASSERT_TRUE(CreateOptionsWindow());
    const HWND tabs = FindWindowExW(App().options, nullptr, WC_TABCONTROLW, nullptr);
    // Each tab with a control only its dialog has.
    for (auto [tab, control] : {std::pair{2, IDC_STAT_TEXT}, std::pair{3, IDC_STAT_TEXT},
                                std::pair{1, IDC_APP_OPACITY}, std::pair{0, IDC_IND_PHYSICAL_LIST}}) {
        const HWND old = CurrentOptionsPage();
        TabCtrl_SetCurSel(tabs, tab);
        NMHDR change{tabs, 0, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(App().options, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&change));
        EXPECT_FALSE(IsWindow(old)) << tab;
        EXPECT_EQ(tab, CurrentOptionsTab());
        EXPECT_NE(nullptr, GetDlgItem(CurrentOptionsPage(), control)) << tab;
    }
}

TEST_F(OptionsWindowTest, CtrlTabAndCtrlShiftTabSwitchTabsBothWaysAround)
{
    SetFocus(GetDlgItem(Open(0), IDC_IND_PHYSICAL_BOX));
    std::string tabs;
    for (bool back : {false, true, true, false}) {
        EXPECT_TRUE(back ? Key(VK_TAB, {VK_CONTROL, VK_SHIFT}) : Key(VK_TAB, {VK_CONTROL}));
        tabs += std::to_string(CurrentOptionsTab());
    }
    EXPECT_EQ("1030", tabs);
    EXPECT_TRUE(IsChild(CurrentOptionsPage(), GetFocus()));  // the focus went along into the new page
}

TEST_F(OptionsWindowTest, PageKeysMoveTheFocusMoveTheSliderAndEscCloses)
{
    const HWND page = Open(1);
    Slide(page, IDC_APP_OPACITY, 128);
    SetFocus(GetDlgItem(page, IDC_APP_OPACITY));
    EXPECT_TRUE(Key(VK_RIGHT));
    EXPECT_EQ(129, Settings().opacity);
    EXPECT_TRUE(Key(VK_TAB));
    EXPECT_EQ(IDC_APP_READ_CHANGE, GetDlgCtrlID(GetFocus()));
    EXPECT_TRUE(Key(VK_TAB, {VK_SHIFT}));
    EXPECT_EQ(IDC_APP_OPACITY, GetDlgCtrlID(GetFocus()));
    EXPECT_TRUE(Key(VK_ESCAPE));
    EXPECT_EQ(nullptr, App().options);
}

std::wstring g_aboutText;

TEST_F(OptionsWindowTest, AltQuestionMarkOnAPageControlOpensTheAboutBoxWithVersionAndBuildTime)
{
    SetFocus(GetDlgItem(Open(0), IDC_IND_PHYSICAL_BOX));
    SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        const HWND about = FindWindowW(nullptr, L"About Qorvel");
        wchar_t text[128] = {};
        GetDlgItemTextW(about, IDC_ABOUT_TEXT, text, 128);
        g_aboutText = text;
        PostMessageW(about, WM_COMMAND, IDOK, 0);
    });
    EXPECT_TRUE(Key('?', {VK_MENU}, WM_SYSCHAR));
    const std::string text(g_aboutText.begin(), g_aboutText.end());
    EXPECT_TRUE(std::regex_match(text, std::regex("Qorvel Indicator version 1\\.2\\.4 "
                                                  "(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [ 123][0-9] "
                                                  "20[0-9][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9]")))
        << text;
}

}  // namespace
