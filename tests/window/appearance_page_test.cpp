// The "Appearance" page: the opacity (and no reload from a store without a
// file) and interval sliders, the colours through the seam, the settings
// file written only when a setting changed; the keyboard LED's mode switch.
#include "options/options_system.h"
#include "settings/settings_system.h"
#include "tests/support/temp_folder.h"
#include "tests/window/options_fixture.h"

namespace {

TEST_F(OptionsTest, OpacityComesFromTheBlockWithoutAFileAndChangesTheIndicatorsInPlace)
{
    SetSettingsStore(&store);  // a store without a file answers only defaults: no reload from it
    Settings().opacity = 128;
    const HWND page = Open(1);
    EXPECT_EQ(128, SendDlgItemMessageW(page, IDC_APP_OPACITY, TBM_GETPOS, 0, 0));
    const HWND window = App().displays[0]->Window();
    for (auto [opacity, text] : {std::pair{0, L"Invisible"}, std::pair{64, L"25%"}, std::pair{128, L"50%"},
                                 std::pair{255, L"Opaque"}}) {
        Slide(page, IDC_APP_OPACITY, opacity);
        EXPECT_EQ(text, Text(page, IDC_APP_OPACITY_TEXT));
        EXPECT_EQ(window, App().displays[0]->Window());  // the same window, not a new one
        const bool layered = (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
        BYTE alpha = 0;
        EXPECT_EQ(opacity != 255, layered) << opacity;
        EXPECT_TRUE(!layered || (GetLayeredWindowAttributes(window, nullptr, &alpha, nullptr) && alpha == opacity));
    }
}

TEST_F(OptionsTest, StoredIntervalsSnapToStepsAndSliderPositionsPickThem)
{
    for (auto [stored, period, position] : {std::tuple{120, 100, 5}, std::tuple{90, 70, 6}, std::tuple{-1, 30, 8},
                                            std::tuple{-1, 1000, 0}, std::tuple{-1, 50, 10}}) {
        if (stored > 0)
            Settings().samplingPeriod = stored;
        const HWND page = stored > 0 ? Open(1) : CurrentOptionsPage();
        SendDlgItemMessageW(page, IDC_APP_INTERVAL, TBM_SETRANGEMAX, FALSE, 10);
        if (stored < 0)
            Slide(page, IDC_APP_INTERVAL, position);  // 10 lies outside the steps
        EXPECT_EQ(period, Settings().samplingPeriod) << position;
        EXPECT_EQ(std::to_wstring(period) + L" ms", Text(page, IDC_APP_INTERVAL_TEXT));
        EXPECT_EQ(position == 10 ? 7 : position, SendDlgItemMessageW(page, IDC_APP_INTERVAL, TBM_GETPOS, 0, 0));
    }
}

TEST_F(OptionsTest, ColoursComeThroughTheSeamAndACancelledChoiceChangesNothing)
{
    struct Picker : OptionsSystem {
        bool chosen = true;
        CHOOSECOLORW asked{};
        bool ChooseColour(CHOOSECOLORW& choice) override { return asked = choice, choice.rgbResult = RGB(9, 8, 7), chosen; }
    } picker;
    ScopedOptionsSystem seam(picker);
    const HWND page = Open(1);
    Notify(page, IDC_APP_WRITE_CHANGE, BN_CLICKED);
    EXPECT_EQ(sizeof(CHOOSECOLORW), picker.asked.lStructSize);
    EXPECT_EQ(RGB(255, 50, 50), picker.asked.rgbResult);
    EXPECT_EQ((std::vector<COLORREF>{RGB(50, 255, 50), RGB(255, 50, 50), RGB(50, 130, 255), RGB(255, 255, 255)}),
              std::vector<COLORREF>(picker.asked.lpCustColors, picker.asked.lpCustColors + 4));
    LOGBRUSH brush{};
    GetObjectW(Settings().writeBrush.Get(), sizeof brush, &brush);
    EXPECT_EQ(RGB(9, 8, 7), brush.lbColor);

    picker.chosen = false;
    const HBRUSH idle = Settings().idleBrush.Get();
    Notify(page, IDC_APP_IDLE_SWATCH, STN_CLICKED);
    EXPECT_EQ(RGB(50, 130, 255), Settings().idleColor);
    EXPECT_EQ(idle, Settings().idleBrush.Get());
}

// Switching the keyboard LED's mode darkens it in the mode that lit it, then in the new one.
TEST_F(OptionsTest, SwitchingToDirectAccessDarkensTheLedInTheOldModeAndTheNew)
{
    Settings().useKeyboardLed = 1, Settings().useKeyboardLedDirectAccess = 0;
    App().keyboard.Open();
    Toggle(Open(1), IDC_APP_DIRECT_ACCESS);
    EXPECT_EQ(1, Settings().useKeyboardLedDirectAccess);
    EXPECT_FALSE(display.scrollLock);                                      // pressed off as it was lit
    EXPECT_EQ(KEYBOARD_NUM_LOCK_ON | KEYBOARD_CAPS_LOCK_ON, display.leds);  // and set off directly
    App().keyboard.Close(Settings());
}

// Counts the saves that reached the file.
struct CountingSaves : SettingsSystem {
    int replaces = 0;
    bool ReplaceWithTemporary(const std::wstring& target, const std::wstring& temporary) override
    {
        return ++replaces, SettingsSystem::ReplaceWithTemporary(target, temporary);
    }
};

TEST_F(OptionsTest, TheSettingsFileIsWrittenOnlyWhenASettingChanged)
{
    TempFolder folder;
    CountingSaves system;
    ScopedSettingsSystem seam(system);
    ASSERT_TRUE(store.Load(folder / L"settings.ini"));
    SetSettingsStore(&store);
    ExchangeGlobalSettings(Exchange::Store);
    ASSERT_TRUE(store.Load(folder / L"settings.ini"));  // in step with the file, not modified
    system.replaces = 0;
    const HWND page = Open(1);
    Notify(page, IDC_APP_LABEL, BN_CLICKED);  // a click that changed nothing
    EXPECT_EQ(0, system.replaces);
    Toggle(page, IDC_APP_LABEL);
    EXPECT_EQ(1, system.replaces);
    DestroyOptionsWindow();
    EXPECT_EQ(1, system.replaces);
}

}  // namespace
