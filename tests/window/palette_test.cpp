// The "Palette" choice of the Appearance page over an indicator that reads
// three times as much as it writes.
#include "indicator_fixture.h"

#include <commctrl.h>

#include "resources/resource.h"

namespace {

// A palette sets the three colours at once and the same indicator window shows them, split as before; "Reset to
// defaults" gives back the chosen palette's colours, also after one was set by hand.
TEST_F(IndicatorsTest, APaletteSetsTheThreeColoursInPlaceAndAResetGivesItsColoursBack)
{
    [[maybe_unused]] static bool registered = RegisterOptionsClass(App().instance);
    Add(kKindPhysicalDrive, L"Drive 0").state = 0x00030001;
    RebuildIndicatorWindows(App());
    const HWND window = Window(0);
    ShowOptionsWindow(App());
    SelectOptionsTab(Options(), 1);
    const HWND page = CurrentOptionsPage(Options());
    // The indicator's picture above and below its split row, the idle colour and the palette shown.
    const auto shown = [page] {
        UpdateWindow(Window(0));
        const LedLook& look = App().displays[0]->painted;
        return std::tuple(look.top, look.bottom, look.split, Settings().idleColor,
                          SendDlgItemMessageW(page, IDC_APP_PALETTE, CB_GETCURSEL, 0, 0));
    };
    const auto safe = std::tuple(RGB(0, 158, 115), RGB(230, 159, 0), 9, RGB(0, 0, 0), LRESULT{1});
    SendDlgItemMessageW(page, IDC_APP_PALETTE, CB_SETCURSEL, 1, 0);
    Notify(page, IDC_APP_PALETTE, CBN_SELENDOK);
    EXPECT_EQ(shown(), safe);
    EXPECT_EQ(window, Window(0));
    Settings().writeColor = RGB(9, 8, 7);  // as "Change" sets it
    Notify(page, IDC_RESET_DEFAULTS, BN_CLICKED);
    EXPECT_EQ(shown(), safe);
    SendDlgItemMessageW(page, IDC_APP_PALETTE, CB_SETCURSEL, 0, 0);
    Notify(page, IDC_APP_PALETTE, CBN_SELENDOK);
    EXPECT_EQ(shown(), std::tuple(kRead, kWrite, 9, kIdle, LRESULT{0}));
}

}  // namespace
