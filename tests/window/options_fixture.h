#pragma once
// The Options window over three indicators (drive 0, all-in-one, C:) with
// records that never sample and a worker window for the sampling timer, and
// helpers that act on page controls as the user's clicks and keys do.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/application.h"
#include "app/shell.h"
#include "app/worker_window.h"
#include "options/options_pages.h"
#include "options/options_window.h"
#include "resources/resource.h"

class IdleRecord : public __performance_data {
public:
    std::uint32_t Sample() override { return 0; }
    bool GetText(wchar_t*, std::size_t) override { return false; }
    std::wstring GetName() override { return {}; }
    bool Open() override { return true; }
    bool Close() override { return true; }
};

class OptionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application& app = App();
        app.instance = GetModuleHandleW(nullptr);
        [[maybe_unused]] static bool registered = RegisterOptionsClass(app.instance) && RegisterIndicatorClass(app.instance);
        app.worker = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        RebuildBrushes(Settings());
        SetIndicatorMode(7);
        for (const auto& [name, kind] : {std::pair{L"Drive 0", 1u}, std::pair{L"All", 4u}, std::pair{L"C:", 2u}}) {
            app.indicators.push_back({name, name, name, nullptr, L"", L"", L"", kind});
            auto& data = app.displays.emplace_back(std::make_unique<__gui_data>());
            data->record = std::make_unique<IdleRecord>();
            data->record->entry = &app.indicators.back();
        }
        RebuildIndicatorWindows();
    }
    void TearDown() override
    {
        DestroyOptionsWindow();
        RemoveTrayIcon();
        App().displays.clear();
        App().indicators.clear();
        DestroyWindow(App().worker);
        SetSettingsStore(nullptr);
        Settings() = SettingsBlock{};
        BYTE released[256] = {};
        SetKeyboardState(released);
    }
    static HWND Open(int tab)
    {
        EXPECT_TRUE((App().options || CreateOptionsWindow()) && SelectOptionsTab(tab));
        return CurrentOptionsPage();
    }
    static void Notify(HWND page, int id, int code) { SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, code), 0); }
    // What a click on a check box does: its state flips, then the page hears of it.
    static void Toggle(HWND page, int id)
    {
        CheckDlgButton(page, id, IsDlgButtonChecked(page, id) ? BST_UNCHECKED : BST_CHECKED);
        Notify(page, id, BN_CLICKED);
    }
    static void Slide(HWND page, int id, int position)
    {
        SendDlgItemMessageW(page, id, TBM_SETPOS, TRUE, position);
        SendMessageW(page, WM_HSCROLL, TB_THUMBPOSITION, reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
    }
    static std::wstring Text(HWND page, int id)
    {
        wchar_t text[64] = {};
        GetDlgItemTextW(page, id, text, 64);
        return text;
    }
    // Each indicator's visible flag, then whether it has a window: "111 101".
    static std::string Indicators()
    {
        std::string flags, windows;
        for (const auto& data : App().displays) {
            flags += data->visible ? '1' : '0';
            windows += data->Window() ? '1' : '0';
        }
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
