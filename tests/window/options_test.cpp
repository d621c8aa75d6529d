// The Options window over three indicators (drive 0, all-in-one, C:), driven
// as the user's clicks and keys drive it. The frame: tab switching, the page's
// dialog keys, Ctrl+Tab and Esc, the close box, a change of scale, a rebuild
// with the window minimized. The "General" page: list selections and the mode
// into visible flags and windows, list items that name no live record, "Reset
// to defaults". The "Appearance" page: every change applied in place (opacity,
// colours, label, interval), nothing rebuilt by opening it; the keyboard LED's
// mode; the settings file written only on a change, and byte for byte after a
// recorded sequence of changes.
#include "indicator_fixture.h"

#include <commctrl.h>

#include <regex>

#include "options/options_pages.h"
#include "options/options_system.h"
#include "options/options_window.h"
#include "resources/resource.h"
#include "settings/settings_system.h"
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
        if (!Options())
            ShowOptionsWindow(App());
        EXPECT_TRUE(SelectOptionsTab(Options(), tab));
        return CurrentOptionsPage(Options());
    }
    static void Slide(HWND page, int id, int position)
    {
        SendDlgItemMessageW(page, id, TBM_SETPOS, TRUE, position);
        SendMessageW(page, WM_HSCROLL, TB_THUMBPOSITION, reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
    }
    // Each indicator's visible flag, then whether it has a window: "111 101".
    static std::string Indicators()
    {
        std::string flags;
        std::string windows;
        for (const auto& data : App().displays) {
            flags += data->visible ? '1' : '0';
            windows += data->Window() ? '1' : '0';
        }
        return flags + " " + windows;
    }
    static std::vector<HWND> Windows()
    {
        std::vector<HWND> windows;
        for (const auto& data : App().displays)
            windows.push_back(data->Window());
        return windows;
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
    // The settings file in a folder of the test's own, loaded.
    std::wstring UseSettingsFile()
    {
        App().store = std::make_unique<CIniEx>();
        EXPECT_TRUE(App().store->Load(folder / L"settings.ini"));
        for (const auto& data : App().displays)
            data->store = App().store.get();
        return folder / L"settings.ini";
    }

    TempFolder folder;
};

TEST_F(OptionsTest, KeysMoveFocusAndSliderTabsSwitchPagesEscAndTheCloseBoxClose)
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
    const HWND tabs = FindWindowExW(Options(), nullptr, WC_TABCONTROLW, nullptr);
    TabCtrl_SetCurSel(tabs, 3);  // as a click on "User process I/O" does
    NMHDR change{tabs, 0, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(Options(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&change));
    EXPECT_FALSE(IsWindow(page));
    EXPECT_NE(nullptr, GetDlgItem(CurrentOptionsPage(Options()), IDC_STAT_TEXT));
    std::string shown;  // Ctrl+Tab forwards, Ctrl+Shift+Tab back, around both ends
    for (bool back : {false, true, true, false, false}) {
        const HWND old = CurrentOptionsPage(Options());
        EXPECT_TRUE(Key(VK_TAB, {VK_CONTROL, back ? VK_SHIFT : VK_CONTROL}));
        EXPECT_FALSE(IsWindow(old));
        shown += std::to_string(CurrentOptionsTab(Options()));
    }
    EXPECT_EQ("03230", shown);
    EXPECT_TRUE(IsChild(CurrentOptionsPage(Options()), GetFocus()));  // the focus went along into the new page
    EXPECT_TRUE(Key(VK_ESCAPE));
    EXPECT_EQ(nullptr, Options());
    Open(0);
    SendMessageW(Options(), WM_CLOSE, 0, 0);
    EXPECT_EQ(nullptr, Options());
}

// Moved to monitors of other scales (96 -> 144 -> 120 DPI): the frame goes where the system suggests, the page is
// made anew on the same tab with its font also the tabs' font, and the frame's client area is exactly the tab control,
// whose display area holds the whole page.
TEST_F(OptionsTest, ADpiChangeRemakesThePageAndFitsTheFrameAroundIt)
{
    const HWND page = Open(1);
    const HWND tabs = FindWindowExW(Options(), nullptr, WC_TABCONTROLW, nullptr);
    const auto height = [](HWND window) {
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
        return font.lfHeight;
    };
    for (auto [dpi, suggested] : {std::pair{144, RECT{100, 80, 700, 620}}, {120, RECT{40, 30, 300, 200}}}) {
        SendMessageW(Options(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        RECT frame{};
        RECT client{};
        RECT tab{};
        GetWindowRect(Options(), &frame);
        GetClientRect(Options(), &client);
        GetWindowRect(tabs, &tab);
        EXPECT_EQ(suggested.left, frame.left) << dpi;
        EXPECT_EQ(suggested.top, frame.top) << dpi;
        EXPECT_EQ(client.right, tab.right - tab.left) << dpi;
        EXPECT_EQ(client.bottom, tab.bottom - tab.top) << dpi;
        RECT shown{};
        GetClientRect(tabs, &shown);
        TabCtrl_AdjustRect(tabs, FALSE, &shown);
        MapWindowPoints(tabs, nullptr, reinterpret_cast<POINT*>(&shown), 2);
        RECT pageRect{};
        RECT inside{};
        GetWindowRect(CurrentOptionsPage(Options()), &pageRect);
        EXPECT_TRUE(IntersectRect(&inside, &pageRect, &shown) && EqualRect(&inside, &pageRect)) << dpi;
        EXPECT_EQ(1, CurrentOptionsTab(Options()));
        EXPECT_NE(0, height(tabs));
        EXPECT_EQ(height(CurrentOptionsPage(Options())), height(tabs));
    }
    EXPECT_FALSE(IsWindow(page));
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

// The lists' selections and the mode give the flags and the windows; a click
// on a name ticks its kind; an item of a freed record is passed over, and a
// list that cannot answer changes no flag.
TEST_F(OptionsTest, SelectionsAndModeGiveTheVisibleFlagsAndWindows)
{
    struct Case {
        std::uint32_t mode;
        bool drive;
        bool disk;
        const char* expected;  // the flags, then the windows, of drive 0, all-in-one, C:
    };
    const HWND page = Open(0);
    for (const Case& c : {Case{7, true, true, "111 111"}, Case{4, false, false, "010 010"},
                          Case{256, true, false, "100 000"}, Case{1, true, true, "101 100"}}) {
        Settings().indicatorMode = c.mode;
        SendDlgItemMessageW(page, IDC_IND_PHYSICAL_LIST, LB_SETSEL, c.drive, -1);
        SendDlgItemMessageW(page, IDC_IND_LOGICAL_LIST, LB_SETSEL, c.disk, -1);
        EXPECT_TRUE(ApplyIndicatorSelection(page));
        EXPECT_EQ(c.expected, Indicators()) << c.mode;
    }
    Notify(page, IDC_IND_LOGICAL_LIST, LBN_SELCHANGE);  // C: clicked while "Logical disks" is unticked
    EXPECT_EQ(3u, Settings().indicatorMode);
    EXPECT_EQ("101 101", Indicators());

    gui_data stray;  // as a record freed by a rebuild: not in the display list
    stray.visible = false;
    const HWND drives = GetDlgItem(page, IDC_IND_PHYSICAL_LIST);
    const LRESULT item = SendMessageW(drives, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"gone"));
    SendMessageW(drives, LB_SETITEMDATA, item, reinterpret_cast<LPARAM>(&stray));
    SendMessageW(drives, LB_SETSEL, TRUE, -1);
    EXPECT_TRUE(ApplyIndicatorSelection(page));
    EXPECT_FALSE(stray.visible);
    DestroyWindow(GetDlgItem(page, IDC_IND_LOGICAL_LIST));  // a single-selection list cannot answer
    CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD, 0, 0, 9, 9, page,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_IND_LOGICAL_LIST)), nullptr, nullptr);
    const std::string before = Indicators();
    SendMessageW(drives, LB_SETSEL, FALSE, -1);
    EXPECT_FALSE(ApplyIndicatorSelection(page));
    EXPECT_EQ(before, Indicators());
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

// Opening the page changes nothing; the opacity, a colour, the label and the
// interval change the indicators in place: the same windows, repainted.
TEST_F(OptionsTest, AppearanceChangesApplyInPlace)
{
    Picker picker;
    ScopedOptionsSystem seam(picker);
    App().tray.BuildLedIcons(Settings());
    const std::vector<HWND> before = Windows();
    EXPECT_EQ(kIdle, Painted(0));
    Settings().opacity = 128;
    const HWND page = Open(1);
    EXPECT_EQ(before, Windows());
    EXPECT_EQ(128, SendDlgItemMessageW(page, IDC_APP_OPACITY, TBM_GETPOS, 0, 0));
    for (auto [opacity, text] : {std::pair{0, L"Invisible"}, {64, L"25%"}, {255, L"Opaque"}}) {
        Slide(page, IDC_APP_OPACITY, opacity);
        EXPECT_EQ(text, Text(page, IDC_APP_OPACITY_TEXT));
        const bool layered = (GetWindowLongPtrW(before[0], GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
        BYTE alpha = 0;
        EXPECT_EQ(opacity != 255, layered) << opacity;
        EXPECT_TRUE(!layered || (GetLayeredWindowAttributes(before[0], nullptr, &alpha, nullptr) && alpha == opacity));
    }
    Notify(page, IDC_APP_IDLE_CHANGE, BN_CLICKED);
    EXPECT_EQ(RGB(9, 8, 7), Painted(0));
    const int middle = 16 * 7 + 8;  // of the tray LED's 16 x 16 image
    EXPECT_EQ(0xFF090807u, IconPixels(App().tray.Icons().idle.Get(), 16)[middle]);
    Toggle(page, IDC_APP_LABEL);
    Painted(0);
    EXPECT_FALSE(App().displays[0]->painted.label);
    Slide(page, IDC_APP_INTERVAL, 2);
    EXPECT_EQ(500, Settings().samplingPeriod);
    EXPECT_EQ(500u, App().sampler.Period());
    EXPECT_EQ(before, Windows());
}

// A stored period 20 ms above a step is taken as that step; a slider position
// past the steps picks 50 ms.
TEST_F(OptionsTest, StoredIntervalsSnapToStepsAndSliderPositionsPickThem)
{
    for (auto [stored, period, position] : {std::tuple{120, 100, 5}, std::tuple{90, 70, 6}, std::tuple{70, 70, 6},
                                            std::tuple{-1, 30, 8}, std::tuple{-1, 50, 10}}) {
        if (stored > 0)
            Settings().samplingPeriod = stored;
        const HWND page = stored > 0 ? Open(1) : CurrentOptionsPage(Options());
        SendDlgItemMessageW(page, IDC_APP_INTERVAL, TBM_SETRANGEMAX, FALSE, 10);
        if (stored < 0)
            Slide(page, IDC_APP_INTERVAL, position);
        EXPECT_EQ(period, Settings().samplingPeriod) << position;
        EXPECT_EQ(std::to_wstring(period) + L" ms", Text(page, IDC_APP_INTERVAL_TEXT));
        EXPECT_EQ(position == 10 ? 7 : position, SendDlgItemMessageW(page, IDC_APP_INTERVAL, TBM_GETPOS, 0, 0));
    }
}

// The chooser starts from the colour and the custom colours; a cancelled
// choice changes nothing; the swatches show the settings' colours also while
// an indicator shows a highlight's hue.
TEST_F(OptionsTest, ColoursComeThroughTheSeamAndACancelledChoiceChangesNothing)
{
    Picker picker;
    ScopedOptionsSystem seam(picker);
    const HWND page = Open(1);
    Notify(page, IDC_APP_WRITE_CHANGE, BN_CLICKED);
    EXPECT_EQ(sizeof(CHOOSECOLORW), picker.asked.lStructSize);
    EXPECT_EQ(kWrite, picker.asked.rgbResult);
    EXPECT_EQ((std::vector<COLORREF>{kRead, kWrite, kIdle, RGB(255, 255, 255)}),
              std::vector<COLORREF>(picker.asked.lpCustColors, picker.asked.lpCustColors + 4));
    EXPECT_EQ(RGB(9, 8, 7), Settings().writeColor);
    picker.chosen = false;
    Notify(page, IDC_APP_IDLE_SWATCH, STN_CLICKED);
    EXPECT_EQ(kIdle, Settings().idleColor);
    App().displays[0]->highlight = 51;
    StepHighlight(App().displays[0]->Window(), *App().displays[0]);
    const Canvas canvas(4, 4);
    for (auto [id, colour] :
         {std::pair{IDC_APP_READ_SWATCH, kRead}, {IDC_APP_WRITE_SWATCH, RGB(9, 8, 7)}, {IDC_APP_IDLE_SWATCH, kIdle}}) {
        DRAWITEMSTRUCT item{ODT_STATIC, static_cast<UINT>(id), 0,         ODA_DRAWENTIRE,
                            0,          GetDlgItem(page, id),  canvas.dc, {0, 0, 4, 4}};
        SendMessageW(page, WM_DRAWITEM, id, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(colour, canvas.At(2, 2)) << id;
    }
}

// Switching the keyboard LED's mode darkens it in the mode that lit it, then
// in the new one; unticking the feature darkens it too. Without a keyboard
// device this session, direct access is not offered.
TEST_F(OptionsTest, SwitchingTheKeyboardLedsModeOrTheFeatureDarkensIt)
{
    Settings().useKeyboardLed = 1;
    Settings().useKeyboardLedDirectAccess = 0;
    App().keyboard.Open();
    HWND page = Open(1);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_APP_DIRECT_ACCESS)));
    Toggle(page, IDC_APP_DIRECT_ACCESS);
    EXPECT_EQ(1, Settings().useKeyboardLedDirectAccess);
    EXPECT_FALSE(display.scrollLock);                                       // pressed off as it was lit
    EXPECT_EQ(KEYBOARD_NUM_LOCK_ON | KEYBOARD_CAPS_LOCK_ON, display.leds);  // and set off directly
    display.leds |= KEYBOARD_SCROLL_LOCK_ON;
    Toggle(page, IDC_APP_KEYBOARD_LED);
    EXPECT_EQ(KEYBOARD_NUM_LOCK_ON | KEYBOARD_CAPS_LOCK_ON, display.leds);
    App().keyboard.Close(Settings());
    display.openWorks = false;
    App().keyboard.Open();
    Settings().useKeyboardLed = 1;
    Open(0);
    page = Open(1);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_APP_DIRECT_ACCESS)));
    App().keyboard.Close(Settings());
}

// Counts the saves that reached the file.
struct CountingSaves : SettingsSystem {
    int replaces = 0;
    DWORD ReplaceSettingsFile(const std::wstring& target, const std::wstring& temporary,
                              const std::wstring& backup) override
    {
        ++replaces;
        return SettingsSystem::ReplaceSettingsFile(target, temporary, backup);
    }
};

TEST_F(OptionsTest, TheSettingsFileIsWrittenOnlyWhenASettingChanged)
{
    CountingSaves system;
    ScopedSettingsSystem seam(system);
    const std::wstring file = UseSettingsFile();
    StoreSettings(*App().store, Settings());
    App().store->Save();
    ASSERT_TRUE(App().store->Load(file));  // in step with the file, not modified
    system.replaces = 0;
    const HWND page = Open(1);
    Notify(page, IDC_APP_LABEL, BN_CLICKED);  // a click that changed nothing
    EXPECT_EQ(0, system.replaces);
    Toggle(page, IDC_APP_LABEL);
    EXPECT_EQ(1, system.replaces);
    CloseOptionsWindow(App());
    EXPECT_EQ(1, system.replaces);
}

// The settings file after the same changes through the pages holds the same
// bytes, key for key and section for section.
TEST_F(OptionsTest, TheSettingsFileAfterASequenceOfChangesIsTheRecordedOne)
{
    const std::wstring file = UseSettingsFile();
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
