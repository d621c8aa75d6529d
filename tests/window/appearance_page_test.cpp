// The "Appearance" page: the opacity and interval sliders, the colours through
// the seam, no reload from a store without a file, and the settings file
// written only when a setting changed.
#include <algorithm>
#include <vector>

#include "options/options_system.h"
#include "tests/support/fake_settings_system.h"
#include "tests/support/temp_folder.h"
#include "tests/window/options_fixture.h"

namespace {

using AppearancePageTest = OptionsTest;

TEST_F(AppearancePageTest, OpacityShowsItsTextAndChangesTheIndicatorsInPlace)
{
    const HWND page = Open(1);
    const HWND window = App().displays[0]->Window();
    for (auto [opacity, text] : {std::pair{0, L"Invisible"}, std::pair{64, L"25%"}, std::pair{128, L"50%"},
                                 std::pair{255, L"Opaque"}}) {
        Slide(page, IDC_APP_OPACITY, opacity);
        EXPECT_EQ(text, Text(page, IDC_APP_OPACITY_TEXT));
        EXPECT_EQ(window, App().displays[0]->Window());  // the same window, not a new one
        const bool layered = (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
        EXPECT_EQ(opacity != 255, layered) << opacity;
        BYTE alpha = 0;
        EXPECT_TRUE(!layered || (GetLayeredWindowAttributes(window, nullptr, &alpha, nullptr) && alpha == opacity));
    }
}

TEST_F(AppearancePageTest, StoredIntervalsSnapToStepsAndSliderPositionsPickThem)
{
    struct Case {
        int given;  // the stored period, or the slider position
        int period, position;
    };
    for (const Case& c : {Case{120, 100, 5}, Case{90, 70, 6}, Case{1000, 1000, 0}, Case{8, 30, 8},
                          Case{10, 50, 7}}) {
        const bool slide = c.given < 20;
        if (!slide)
            Settings().samplingPeriod = c.given;
        const HWND page = slide ? CurrentOptionsPage() : Open(1);
        SendDlgItemMessageW(page, IDC_APP_INTERVAL, TBM_SETRANGEMAX, FALSE, 10);
        if (slide)
            Slide(page, IDC_APP_INTERVAL, c.given);
        EXPECT_EQ(c.period, Settings().samplingPeriod) << c.given;
        EXPECT_EQ(c.position, SendDlgItemMessageW(page, IDC_APP_INTERVAL, TBM_GETPOS, 0, 0)) << c.given;
        EXPECT_EQ(std::to_wstring(c.period) + L" ms", Text(page, IDC_APP_INTERVAL_TEXT));
    }
}

TEST_F(AppearancePageTest, ColoursComeThroughTheSeamAndACancelledChoiceChangesNothing)
{
    struct Picker : OptionsSystem {
        bool chosen = true;
        CHOOSECOLORW asked{};
        COLORREF custom[4] = {};
        bool ChooseColour(CHOOSECOLORW& choice) override
        {
            asked = choice;
            std::copy(choice.lpCustColors, choice.lpCustColors + 4, custom);
            choice.rgbResult = RGB(9, 8, 7);
            return chosen;
        }
    } picker;
    ScopedOptionsSystem seam(picker);
    const HWND page = Open(1);
    Notify(page, IDC_APP_WRITE_CHANGE, BN_CLICKED);
    EXPECT_EQ(sizeof(CHOOSECOLORW), picker.asked.lStructSize);
    EXPECT_EQ(RGB(255, 50, 50), picker.asked.rgbResult);
    EXPECT_EQ((std::vector<COLORREF>{RGB(50, 255, 50), RGB(255, 50, 50), RGB(50, 130, 255), RGB(255, 255, 255)}),
              std::vector<COLORREF>(picker.custom, picker.custom + 4));
    LOGBRUSH brush{};
    GetObjectW(Settings().writeBrush.Get(), sizeof brush, &brush);
    EXPECT_EQ(RGB(9, 8, 7), Settings().writeColor);
    EXPECT_EQ(RGB(9, 8, 7), brush.lbColor);

    picker.chosen = false;
    const HBRUSH idle = Settings().idleBrush.Get();
    Notify(page, IDC_APP_IDLE_SWATCH, STN_CLICKED);
    EXPECT_EQ(RGB(50, 130, 255), picker.asked.rgbResult);
    EXPECT_EQ(RGB(50, 130, 255), Settings().idleColor);
    EXPECT_EQ(idle, Settings().idleBrush.Get());
}

TEST_F(AppearancePageTest, AStoreWithoutAFileDoesNotReplaceTheRunningSettings)
{
    SetSettingsStore(&store);
    Settings().opacity = 128;
    Settings().useKeyboardLed = 1;
    const HWND page = Open(1);
    EXPECT_EQ(128, Settings().opacity);
    EXPECT_EQ(128, SendDlgItemMessageW(page, IDC_APP_OPACITY, TBM_GETPOS, 0, 0));
    EXPECT_TRUE(IsDlgButtonChecked(page, IDC_APP_KEYBOARD_LED));
}

TEST_F(AppearancePageTest, TheSettingsFileIsWrittenOnlyWhenASettingChanged)
{
    TempFolder folder;
    FakeSettingsSystem system;
    ScopedSettingsSystem seam(system);
    const std::wstring path = folder / L"settings.ini";
    ASSERT_TRUE(store.Load(path));
    SetSettingsStore(&store);
    ExchangeGlobalSettings(Exchange::Store);
    ASSERT_TRUE(store.Load(path));  // in step with the file, not modified
    system.replaces = 0;
    const HWND page = Open(1);
    Notify(page, IDC_APP_LABEL, BN_CLICKED);  // a click that changed nothing
    EXPECT_EQ(0, system.replaces);
    Toggle(page, IDC_APP_LABEL);
    EXPECT_EQ(1, system.replaces);
    DestroyOptionsWindow();
    EXPECT_EQ(1, system.replaces);
    EXPECT_NE(std::string::npos, ReadBytes(path).value_or("").find("ShowIndicatorLabel=No"));
    SetSettingsStore(nullptr);
    store.Clear();
}

}  // namespace
