// Loading the settings with the appearance page's window ticks its check boxes
// and enables the direct-access box only while the keyboard LED is used.
#include <gtest/gtest.h>

#include "settings/ini_ex.h"
#include "settings/settings_model.h"
#include "tests/support/temp_folder.h"

namespace {

TEST(SettingsPage, EachBoxFollowsItsKey)
{
    const int ids[] = {1005, 1028, 1006, 1007, 1033};
    const HWND page = CreateWindowExW(0, L"STATIC", L"page", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 300, 320, 240,
                                      nullptr, nullptr, nullptr, nullptr);
    for (int i = 0; i < 5; ++i)
        CreateWindowExW(0, L"BUTTON", L"box", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 4, 24 * i, 200, 20, page,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(ids[i])), nullptr, nullptr);
    TempFolder folder;
    // Each file is loaded with every box ticked the other way, and the
    // direct-access box enabled the other way, first.
    for (const auto& [bytes, boxes] : {std::pair<std::string, std::string>{"", "-e xd xe xe xe "},
                                       {"[general]\nUseKeyboardLed=yes\nUseKeyboardLedDirectAccess=No\n"
                                        "ShowTrayIcon=No\nShowIndicatorLabel=No\n",
                                        "xe -e xe -e -e "},
                                       {"[general]\nUseKeyboardLedDirectAccess=Yes\nUseTrayLed=No\n", "-e xd -e xe xe "}}) {
        for (int i = 0; i < 5; ++i) {
            CheckDlgButton(page, ids[i], boxes[3 * i] == 'x' ? BST_UNCHECKED : BST_CHECKED);
            EnableWindow(GetDlgItem(page, ids[i]), i != 1 || boxes[4] == 'd');
        }
        WriteBytes(folder / L"settings.ini", bytes);
        CIniEx store;
        ASSERT_TRUE(store.Load(folder / L"settings.ini"));
        SetSettingsStore(&store);
        LoadSettings(Settings(), page);
        SetSettingsStore(nullptr);
        std::string state;
        for (int id : ids) {
            state += IsDlgButtonChecked(page, id) == BST_CHECKED ? 'x' : '-';
            state += IsWindowEnabled(GetDlgItem(page, id)) ? "e " : "d ";
        }
        EXPECT_EQ(state, boxes);
    }
    DestroyWindow(page);
    Settings() = SettingsBlock{};
}

}  // namespace
