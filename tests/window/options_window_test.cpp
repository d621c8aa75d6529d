// The Options frame: tab switching by the tab control; the keyboard: the
// page's dialog keys, Ctrl+Tab and Esc; a change of scale; the About box's text.
#include <regex>

#include "tests/window/options_fixture.h"

namespace {

TEST_F(OptionsTest, KeysMoveFocusAndSliderTabsSwitchPagesAndEscCloses)
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
    const HWND tabs = FindWindowExW(App().options, nullptr, WC_TABCONTROLW, nullptr);
    TabCtrl_SetCurSel(tabs, 3);  // as a click on "User process I/O" does
    NMHDR change{tabs, 0, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(App().options, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&change));
    EXPECT_FALSE(IsWindow(page));
    EXPECT_NE(nullptr, GetDlgItem(CurrentOptionsPage(), IDC_STAT_TEXT));
    std::string shown;  // Ctrl+Tab forwards, Ctrl+Shift+Tab back, around both ends
    for (bool back : {false, true, true, false, false}) {
        const HWND old = CurrentOptionsPage();
        EXPECT_TRUE(Key(VK_TAB, {VK_CONTROL, back ? VK_SHIFT : VK_CONTROL}));
        EXPECT_FALSE(IsWindow(old));
        shown += std::to_string(CurrentOptionsTab());
    }
    EXPECT_EQ("03230", shown);
    EXPECT_TRUE(IsChild(CurrentOptionsPage(), GetFocus()));  // the focus went along into the new page
    EXPECT_TRUE(Key(VK_ESCAPE));
    EXPECT_EQ(nullptr, App().options);
}

// Moved to a monitor of another scale: the frame takes the suggested rectangle and the page is made anew on the same
// tab, its font also the tabs' font.
TEST_F(OptionsTest, ADpiChangeTakesTheSuggestedRectangleAndRemakesThePage)
{
    const HWND page = Open(1);
    RECT suggested{100, 80, 700, 620};
    SendMessageW(App().options, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    RECT frame{};
    GetWindowRect(App().options, &frame);
    EXPECT_TRUE(EqualRect(&suggested, &frame));
    EXPECT_FALSE(IsWindow(page));
    EXPECT_EQ(1, CurrentOptionsTab());
    const HWND tabs = FindWindowExW(App().options, nullptr, WC_TABCONTROLW, nullptr);
    const auto height = [](HWND window) {
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
        return font.lfHeight;
    };
    EXPECT_NE(0, height(tabs));
    EXPECT_EQ(height(CurrentOptionsPage()), height(tabs));
}

TEST_F(OptionsTest, TheAboutTextNamesTheVersionAndTheBuildsDateAndTime)
{
    const std::wstring text = AboutText();
    EXPECT_TRUE(std::regex_match(text, std::wregex(L"Qorvel Indicator version 1\\.2\\.4 [A-Z][a-z][a-z] [ 123][0-9] "
                                                   L"20[0-9][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9]"))) << text;
}

}  // namespace
