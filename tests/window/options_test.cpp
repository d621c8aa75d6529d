// The Options window over three indicators (drive 0, all-in-one, C:), driven
// as the user's clicks and keys drive it. The frame: Ctrl+Tab, Esc and the
// close box, a rebuild with the window minimized. The "General" page: a click
// on a name, list items that name no live record, "Reset to defaults". The
// "Appearance" page: every change applied in place (opacity, colours, label,
// interval), nothing rebuilt by opening it; the keyboard LED's mode; the
// settings file byte for byte after a recorded sequence of changes.
#include "indicator_fixture.h"

#include <commctrl.h>

#include "options/options_pages.h"
#include "options/options_system.h"
#include "options/options_window.h"
#include "resources/resource.h"
#include "tests/support/temp_folder.h"

namespace {

// The colour chooser answers RGB(9, 8, 7), or is cancelled.
struct Picker : OptionsSystem {
    bool chosen = true;
    CHOOSECOLORW asked{};
    bool ChooseColour(CHOOSECOLORW& choice) override
    {
        asked = choice;
        choice.rgbResult = RGB(9, 8, 7);
        return chosen;
    }
};

class OptionsTest : public IndicatorsTest {
protected:
    void SetUp() override
    {
        IndicatorsTest::SetUp();
        [[maybe_unused]] static bool registered = RegisterOptionsClass(App().instance);
        Add(kKindPhysicalDrive, L"Drive 0");
        Add(kKindAllInOne, L"All");
        Add(kKindLogicalDisk, L"C:");
        RebuildIndicatorWindows(App());
    }
    static HWND Open(int tab)
    {
        ShowOptionsWindow(App());
        EXPECT_TRUE(SelectOptionsTab(Options(), tab));
        return CurrentOptionsPage(Options());
    }
    static void Slide(HWND page, int id, int position)
    {
        SendDlgItemMessageW(page, id, TBM_SETPOS, TRUE, position);
        SendMessageW(page, WM_HSCROLL, TB_THUMBPOSITION, reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
    }
    // A key pressed with modifiers held (and held on), given to the message loop's Options step.
    static bool Key(WPARAM key, std::initializer_list<int> held = {})
    {
        BYTE state[256] = {};
        for (int modifier : held)
            state[modifier] = 0x80;
        SetKeyboardState(state);
        MSG msg{GetFocus(), WM_KEYDOWN, key, 0, 0, {}};
        return TranslateOptionsMessage(Options(), msg, LoadAcceleratorsW(App().instance, MAKEINTRESOURCEW(109)));
    }

    TempFolder folder;  // outlives TearDown's last saves
};

TEST_F(OptionsTest, CtrlTabSwitchesPagesAroundBothEndsEscAndTheCloseBoxClose)
{
    SetFocus(Open(1));
    std::string shown;  // Ctrl+Shift+Tab back, Ctrl+Tab forwards
    for (bool back : {true, true, false, false}) {
        const HWND old = CurrentOptionsPage(Options());
        EXPECT_TRUE(Key(VK_TAB, {VK_CONTROL, back ? VK_SHIFT : VK_CONTROL}));
        EXPECT_FALSE(IsWindow(old));
        shown += std::to_string(CurrentOptionsTab(Options()));
    }
    EXPECT_EQ("0301", shown);
    EXPECT_TRUE(IsChild(CurrentOptionsPage(Options()), GetFocus()));  // the focus went along into the new page
    EXPECT_TRUE(Key(VK_ESCAPE));
    EXPECT_EQ(nullptr, Options());
    Open(0);
    SendMessageW(Options(), WM_CLOSE, 0, 0);
    EXPECT_EQ(nullptr, Options());
}

// A rebuild makes the Options window again as it was: minimized stays
// minimized, and the tray's "Options" restores it where it stood.
TEST_F(OptionsTest, AMinimizedOptionsWindowComesBackMinimizedAndRestoresWhereItStood)
{
    Open(1);
    SetWindowPos(Options(), nullptr, 400, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(Options(), SW_MINIMIZE);
    const OptionsWindowPlace place = CurrentOptionsPlace(Options());
    CloseOptionsWindow(App());
    App().options.Reset(ReopenOptionsWindow(*App().optionsHost, place));
    ASSERT_TRUE(Options());
    EXPECT_TRUE(IsIconic(Options()));
    EXPECT_EQ(1, CurrentOptionsTab(Options()));
    ShowOptionsWindow(App());
    RECT rect{};
    GetWindowRect(Options(), &rect);
    EXPECT_FALSE(IsIconic(Options()));
    EXPECT_EQ(400, rect.left);
    EXPECT_EQ(200, rect.top);
}

// A click on a disk's name while "Logical disks" is unticked ticks it and
// shows the selected disk, its drive unselected; an item of a freed record is
// passed over.
TEST_F(OptionsTest, AClickOnANameTicksItsKindAndAFreedRecordsItemIsPassedOver)
{
    const HWND page = Open(0);
    Settings().indicatorMode = kKindPhysicalDrive;
    SendDlgItemMessageW(page, IDC_IND_PHYSICAL_LIST, LB_SETSEL, FALSE, -1);
    SendDlgItemMessageW(page, IDC_IND_LOGICAL_LIST, LB_SETSEL, TRUE, -1);
    CheckDlgButton(page, IDC_IND_LOGICAL_BOX, BST_UNCHECKED);
    Notify(page, IDC_IND_LOGICAL_LIST, LBN_SELCHANGE);
    EXPECT_EQ(3u, Settings().indicatorMode);
    std::string shown;  // visible flag and window of drive 0, all-in-one, C:
    for (const auto& data : App().displays)
        shown += std::to_string(data->visible) + std::to_string(data->Window() != nullptr);
    EXPECT_EQ("000011", shown);

    gui_data stray;  // as a record freed by a rebuild: not in the display list
    stray.visible = false;
    const HWND drives = GetDlgItem(page, IDC_IND_PHYSICAL_LIST);
    const LRESULT item = SendMessageW(drives, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"gone"));
    SendMessageW(drives, LB_SETITEMDATA, item, reinterpret_cast<LPARAM>(&stray));
    SendMessageW(drives, LB_SETSEL, TRUE, -1);
    EXPECT_TRUE(ApplyIndicatorSelection(page));
    EXPECT_FALSE(stray.visible);
}

// "Reset to defaults" keeps the LED size, "Start with Windows" and the mode,
// and applies at once: the tray icon shown, the sampler at the default
// interval, the indicators lined up.
TEST_F(OptionsTest, ResetToDefaultsKeepsSizeStartAndModeAndAppliesAtOnce)
{
    SettingsBlock& settings = Settings();
    settings.ledSizeIdx = 4;
    settings.startWithWindows = 0;
    settings.samplingPeriod = 1000;
    settings.showTrayIcon = 0;
    settings.opacity = 7;
    settings.indicatorMode = 5;
    App().sampler.SetPeriod(1000);
    Notify(Open(0), IDC_RESET_DEFAULTS, BN_CLICKED);
    EXPECT_EQ(std::tuple(4, 0, 5u, 50, 255),
              std::tuple(settings.ledSizeIdx, settings.startWithWindows, settings.indicatorMode,
                         settings.samplingPeriod, settings.opacity));
    EXPECT_TRUE(App().tray.Present());
    EXPECT_EQ(50u, App().sampler.Period());
    EXPECT_EQ("2,2", At(0));
    EXPECT_EQ("68,2", At(1));  // 64 wide
}

// Opening the page changes nothing but a stored period 20 ms above a step,
// taken as that step; the opacity, a colour, the label and the interval change
// the indicators in place: the same windows, repainted. The chooser starts
// from the colour; a cancelled choice changes nothing. The tray LED turned off
// gives the tray the application icon.
TEST_F(OptionsTest, AppearanceChangesApplyInPlace)
{
    Picker picker;
    ScopedOptionsSystem seam(picker);
    App().tray.BuildLedIcons(Settings());
    App().trayState = 0x00050000;  // reading: the tray shows the LED
    ASSERT_TRUE(AddTrayIcon(App()));
    const HWND before = Window(0);
    EXPECT_EQ(kIdle, Painted(0));
    Settings().opacity = 128;
    Settings().samplingPeriod = 120;
    const HWND page = Open(1);
    EXPECT_EQ(before, Window(0));
    EXPECT_EQ(128, SendDlgItemMessageW(page, IDC_APP_OPACITY, TBM_GETPOS, 0, 0));
    EXPECT_EQ(5, SendDlgItemMessageW(page, IDC_APP_INTERVAL, TBM_GETPOS, 0, 0));
    EXPECT_EQ(L"100 ms", Text(page, IDC_APP_INTERVAL_TEXT));
    for (const int opacity : {0, 64, 255}) {
        Slide(page, IDC_APP_OPACITY, opacity);
        const bool layered = (GetWindowLongPtrW(before, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
        BYTE alpha = 0;
        EXPECT_EQ(opacity != 255, layered) << opacity;
        EXPECT_TRUE(!layered || (GetLayeredWindowAttributes(before, nullptr, &alpha, nullptr) && alpha == opacity));
    }
    Notify(page, IDC_APP_IDLE_CHANGE, BN_CLICKED);
    EXPECT_EQ(kIdle, picker.asked.rgbResult);
    EXPECT_EQ(RGB(9, 8, 7), Painted(0));
    const int middle = 16 * 7 + 8;  // of the tray LED's 16 x 16 image
    EXPECT_EQ(0xFF090807u, IconPixels(App().tray.Icons().idle.Get(), 16)[middle]);
    picker.chosen = false;
    Notify(page, IDC_APP_WRITE_CHANGE, BN_CLICKED);
    EXPECT_EQ(kWrite, Settings().writeColor);
    Toggle(page, IDC_APP_LABEL);
    Painted(0);
    EXPECT_FALSE(App().displays[0]->painted.label);
    Slide(page, IDC_APP_INTERVAL, 2);
    EXPECT_EQ(500, Settings().samplingPeriod);
    EXPECT_EQ(500u, App().sampler.Period());
    EXPECT_EQ(before, Window(0));
    Toggle(page, IDC_APP_TRAY_LED);  // off: the application icon at once
    EXPECT_EQ(App().tray.ImageFor(0, Settings()), display.images.back());
}

// Switching the keyboard LED's mode darkens it in the mode that lit it, then
// in the new one; unticking the feature darkens it too.
TEST_F(OptionsTest, SwitchingTheKeyboardLedsModeOrTheFeatureDarkensIt)
{
    Settings().useKeyboardLed = 1;
    App().keyboard.Open();
    const HWND page = Open(1);
    Toggle(page, IDC_APP_DIRECT_ACCESS);
    EXPECT_FALSE(display.scrollLock);                                       // pressed off as it was lit
    EXPECT_EQ(KEYBOARD_NUM_LOCK_ON | KEYBOARD_CAPS_LOCK_ON, display.leds);  // and set off directly
    display.leds |= KEYBOARD_SCROLL_LOCK_ON;
    Toggle(page, IDC_APP_KEYBOARD_LED);
    EXPECT_EQ(KEYBOARD_NUM_LOCK_ON | KEYBOARD_CAPS_LOCK_ON, display.leds);
    App().keyboard.Close(Settings());
}

// The settings file after the same changes through the pages holds the same
// bytes, key for key and section for section.
TEST_F(OptionsTest, TheSettingsFileAfterASequenceOfChangesIsTheRecordedOne)
{
    const std::wstring file = folder / L"settings.ini";
    App().store = std::make_unique<CIniEx>();
    EXPECT_TRUE(App().store->Load(file));
    for (const auto& data : App().displays)
        data->store = App().store.get();
    LoadSettings(*App().store, Settings());
    Picker picker;
    ScopedOptionsSystem seam(picker);
    HWND page = Open(1);
    Slide(page, IDC_APP_OPACITY, 128);
    Notify(page, IDC_APP_WRITE_CHANGE, BN_CLICKED);
    Slide(page, IDC_APP_INTERVAL, 2);
    for (const int box : {IDC_APP_LABEL, IDC_APP_TRAY_LED, IDC_APP_KEYBOARD_LED})
        Toggle(page, box);
    page = Open(0);
    Toggle(page, IDC_IND_LOGICAL_BOX);
    SendDlgItemMessageW(page, IDC_IND_TRAY_LIST, LB_SETSEL, TRUE, 1);  // C:, the second name, in the tray
    Notify(page, IDC_IND_TRAY_LIST, LBN_SELCHANGE);
    EXPECT_TRUE(App().driveTray.Find(2) && App().driveTray.Find(2)->Present());
    App().displays[0]->x = 123;
    SaveAllSettings(App());
    CloseOptionsWindow(App());
    SaveEverything(App());
    EXPECT_EQ(ReadBytes(file),
              "\r\n[General]\r\nClass=5\r\nversion=1.2.4\r\nStartWithWindows=1\r\nUseKeyboardLed=Yes\r\n"
              "UseKeyboardLedDirectAccess=Yes\r\nShowTrayIcon=Yes\r\nUseTrayLed=No\r\nShowIndicatorLabel="
              "No\r\nHideOverFullScreen=Yes\r\nShowMinuteInTips=Yes\r\n"
              "\r\n[Appearance]\r\nOpacity=128\r\nFrequency=500\r\nColorRead=3342130\r\nColorWrite=460809\r\n"
              "ColorOff=16745010\r\nStatPageRefresh=Yes\r\nLedSizeIdx=1\r\nPalette=0\r\n"
              "\r\n[Drive 0]\r\nx=123\r\ny=300\r\nvisible=Yes\r\n\r\n[All]\r\nx=340\r\ny=300\r\nvisible=Yes\r\n"
              "\r\n[C:]\r\nx=380\r\ny=300\r\nvisible=Yes\r\ntray=Yes\r\n");
    App().driveTray.RemoveAll();
}

}  // namespace
