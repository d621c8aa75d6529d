// Loading the settings with the appearance page's window sets its check boxes
// and enables the direct-access box only while the keyboard LED is used.
#include <gtest/gtest.h>

#include <memory>

#include "settings/ini_ex.h"
#include "settings/settings_model.h"
#include "tests/support/temp_folder.h"

namespace {

class SettingsPageTest : public ::testing::Test {
protected:
    SettingsPageTest()
    {
        page = CreateWindowExW(0, L"STATIC", L"page", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 300, 320, 240,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        EXPECT_NE(page, nullptr);
        int y = 0;
        for (int id : {1005, 1028, 1006, 1007, 1033}) {
            const HWND box = CreateWindowExW(0, L"BUTTON", L"box", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 4, y,
                                             200, 20, page, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                             GetModuleHandleW(nullptr), nullptr);
            EXPECT_NE(box, nullptr);
            y += 24;
        }
    }
    ~SettingsPageTest() override
    {
        SetSettingsStore(nullptr);
        DestroyWindow(page);
        Settings() = SettingsBlock{};
    }
    void Load(const std::string& bytes)
    {
        WriteBytes(folder / L"settings.ini", bytes);
        store = std::make_unique<CIniEx>();
        ASSERT_TRUE(store->Load(folder / L"settings.ini"));
        SetSettingsStore(store.get());
        LoadSettings(Settings(), page);
    }
    // Ticked, and enabled, for the boxes 1005, 1028, 1006, 1007, 1033.
    std::string Boxes()
    {
        std::string state;
        for (int id : {1005, 1028, 1006, 1007, 1033}) {
            state += IsDlgButtonChecked(page, id) == BST_CHECKED ? 'x' : '-';
            state += IsWindowEnabled(GetDlgItem(page, id)) ? 'e' : 'd';
            state += ' ';
        }
        return state;
    }
    void SetAll(bool ticked)
    {
        for (int id : {1005, 1028, 1006, 1007, 1033}) {
            CheckDlgButton(page, id, ticked ? BST_CHECKED : BST_UNCHECKED);
            EnableWindow(GetDlgItem(page, id), TRUE);
        }
    }

    TempFolder folder;
    std::unique_ptr<CIniEx> store;
    HWND page = nullptr;
};

TEST_F(SettingsPageTest, TheDefaultsTickAllButTheKeyboardLedAndDisableDirectAccess)
{
    SetAll(false);
    Load("");
    EXPECT_EQ(Boxes(), "-e xd xe xe xe ");
}

TEST_F(SettingsPageTest, EachBoxFollowsItsKey)
{
    SetAll(false);
    Load("[general]\r\nUseKeyboardLed=yes\r\nUseKeyboardLedDirectAccess=No\r\nUseTrayLed=Yes\r\n"
         "ShowTrayIcon=No\r\nShowIndicatorLabel=No\r\n");
    EXPECT_EQ(Boxes(), "xe -e xe -e -e ");

    SetAll(true);
    Load("[general]\r\nUseKeyboardLed=No\r\nUseKeyboardLedDirectAccess=No\r\nUseTrayLed=No\r\n"
         "ShowTrayIcon=Yes\r\nShowIndicatorLabel=Yes\r\n");
    EXPECT_EQ(Boxes(), "-e -d -e xe xe ");
}

}  // namespace
