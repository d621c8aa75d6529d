#pragma once
// The Options window over three indicators (drive 0, all-in-one, C:) and
// helpers that act on page controls as the user's clicks and keys do.
#include "indicator_fixture.h"

#include <commctrl.h>

#include "options/options_pages.h"
#include "options/options_window.h"
#include "resources/resource.h"

class OptionsTest : public IndicatorsTest {
protected:
    void SetUp() override
    {
        IndicatorsTest::SetUp();
        [[maybe_unused]] static bool registered = RegisterOptionsClass(App().instance);
        SetIndicatorMode(7);
        Add(kKindPhysicalDrive, L"Drive 0"), Add(kKindAllInOne, L"All"), Add(kKindLogicalDisk, L"C:");
        RebuildIndicatorWindows();
    }
    void TearDown() override
    {
        DestroyOptionsWindow();
        RemoveTrayIcon();
        SetSettingsStore(nullptr);
        IndicatorsTest::TearDown();
        BYTE released[256] = {};
        SetKeyboardState(released);
    }
    static HWND Open(int tab)
    {
        EXPECT_TRUE((App().options || CreateOptionsWindow()) && SelectOptionsTab(tab));
        return CurrentOptionsPage();
    }
    static void Slide(HWND page, int id, int position)
    {
        SendDlgItemMessageW(page, id, TBM_SETPOS, TRUE, position);
        SendMessageW(page, WM_HSCROLL, TB_THUMBPOSITION, reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
    }
    // Each indicator's visible flag, then whether it has a window: "111 101".
    static std::string Indicators()
    {
        std::string flags, windows;
        for (const auto& data : App().displays)
            flags += data->visible ? '1' : '0', windows += data->Window() ? '1' : '0';
        return flags + " " + windows;
    }
    // A key pressed with modifiers held (and held on), given to the message loop's Options step.
    static bool Key(WPARAM key, std::initializer_list<int> held = {})
    {
        BYTE state[256] = {};
        for (int modifier : held)
            state[modifier] = 0x80;
        SetKeyboardState(state);
        MSG msg{GetFocus(), WM_KEYDOWN, key, 0, 0, {}};
        return TranslateOptionsMessage(msg, LoadAcceleratorsW(App().instance, MAKEINTRESOURCEW(109)));
    }

    CIniEx store;  // no file until a test loads one
};
