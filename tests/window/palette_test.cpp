// The "Palette" choice of the Appearance page over an indicator that reads
// three times as much as it writes.
#include "indicator_fixture.h"

#include <commctrl.h>

#include "options/options_system.h"
#include "resources/resource.h"

namespace {

class PaletteTest : public IndicatorsTest {
protected:
    void SetUp() override
    {
        IndicatorsTest::SetUp();
        [[maybe_unused]] static bool registered = RegisterOptionsClass(App().instance);
        Add(kKindPhysicalDrive, L"Drive 0").state = 0x00030001;
        RebuildIndicatorWindows(App());
        ShowOptionsWindow(App());
        SelectOptionsTab(Options(), 1);
    }
    static HWND Page() { return CurrentOptionsPage(Options()); }
    static void Choose(int palette)
    {
        SendDlgItemMessageW(Page(), IDC_APP_PALETTE, CB_SETCURSEL, palette, 0);
        Notify(Page(), IDC_APP_PALETTE, CBN_SELENDOK);
    }
    // The settings' colours, the palette the page shows, and the indicator's last picture: its colours
    // above and below the split row.
    static std::tuple<COLORREF, COLORREF, COLORREF, LRESULT, COLORREF, COLORREF, int> Shown()
    {
        UpdateWindow(Window(0));
        const LedLook& look = App().displays[0]->painted;
        return {Settings().readColor,
                Settings().writeColor,
                Settings().idleColor,
                SendDlgItemMessageW(Page(), IDC_APP_PALETTE, CB_GETCURSEL, 0, 0),
                look.top,
                look.bottom,
                look.split};
    }
};

// A palette sets the three colours at once and the same indicator window shows them, split as before; Change still
// sets one by hand; "Reset to defaults" gives back the colours of the palette chosen.
TEST_F(PaletteTest, APaletteSetsTheThreeColoursInPlaceAndAResetGivesItsColoursBack)
{
    const HWND window = Window(0);
    EXPECT_EQ(Shown(), std::tuple(kRead, kWrite, kIdle, 0, kRead, kWrite, 9));
    const COLORREF green = RGB(0, 158, 115), orange = RGB(230, 159, 0);
    Choose(1);
    EXPECT_EQ(Shown(), std::tuple(green, orange, RGB(0, 0, 0), 1, green, orange, 9));
    EXPECT_EQ(window, Window(0));
    struct Picker : OptionsSystem {
        bool ChooseColour(CHOOSECOLORW& choice) override { return choice.rgbResult = RGB(9, 8, 7), true; }
    } picker;
    ScopedOptionsSystem seam(picker);
    Notify(Page(), IDC_APP_WRITE_CHANGE, BN_CLICKED);
    EXPECT_EQ(Shown(), std::tuple(green, RGB(9, 8, 7), RGB(0, 0, 0), 1, green, RGB(9, 8, 7), 9));
    Notify(Page(), IDC_RESET_DEFAULTS, BN_CLICKED);
    EXPECT_EQ(Shown(), std::tuple(green, orange, RGB(0, 0, 0), 1, green, orange, 9));
    Choose(0);
    EXPECT_EQ(Shown(), std::tuple(kRead, kWrite, kIdle, 0, kRead, kWrite, 9));
}

}  // namespace
