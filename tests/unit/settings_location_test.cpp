// Where the settings file is found, the folders made for it, and the
// start-at-logon entry in the registry.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "common/win_handles.h"
#include "settings/ini_ex.h"
#include "settings/settings_location.h"
#include "settings/settings_model.h"
#include "tests/support/fake_settings_system.h"
#include "tests/support/temp_folder.h"

namespace {

class SettingsLocationTest : public ::testing::Test {
protected:
    TempFolder folder;
    FakeSettingsSystem fake;
};

TEST_F(SettingsLocationTest, ANormalStartUsesTheLocalApplicationDataFolder)
{
    wchar_t local[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, local), S_OK);
    const std::wstring settingsFolder = std::wstring(local) + L"\\Qorvel Indicator";
    RemoveTree(settingsFolder);
    {
        CIniEx store;
        EXPECT_TRUE(OpenSettingsFile(store));  // the real system
        EXPECT_EQ(store.FilePath(), settingsFolder + L"\\settings.ini");
        EXPECT_EQ(ReadBytes(settingsFolder + L"\\settings.ini"), "");
    }
    RemoveTree(settingsFolder);
}

TEST_F(SettingsLocationTest, EachPlaceFallsBackToTheNext)
{
    ASSERT_TRUE(CreateDirectoryW((folder / L"bin").c_str(), nullptr));
    fake.moduleFileName = folder / L"bin\\disk lights.exe";
    fake.folders = {{CSIDL_LOCAL_APPDATA, folder / L"Local"}, {CSIDL_PERSONAL | CSIDL_FLAG_CREATE, folder / L"Docs"}};
    ScopedSettingsSystem scoped(fake);
    // Each round the first place that answers is taken away.
    for (const std::wstring& file : {folder / L"Local\\Qorvel Indicator\\settings.ini",
                                     folder / L"Docs\\Qorvel Indicator\\settings.ini", folder / L"bin\\settings.ini"}) {
        CIniEx store;
        EXPECT_TRUE(OpenSettingsFile(store));
        EXPECT_EQ(store.FilePath(), file);
        EXPECT_EQ(ReadBytes(file), "");
        if (!fake.folders.empty())
            fake.folders.erase(fake.folders.begin());
    }
}

TEST_F(SettingsLocationTest, TheFolderIsCreatedEvenWhenTheFileCannotBeWritten)
{
    const std::wstring local = folder / L"Local";
    fake.folders = {{CSIDL_LOCAL_APPDATA, local}, {CSIDL_PERSONAL | CSIDL_FLAG_CREATE, folder / L"Docs"}};
    fake.moduleFileName = folder / L"qorvel.exe";
    fake.unopenable.insert(local + L"\\Qorvel Indicator\\settings.ini");
    ScopedSettingsSystem scoped(fake);

    CIniEx store;
    EXPECT_FALSE(OpenSettingsFile(store));
    EXPECT_TRUE(IsFolder(local + L"\\Qorvel Indicator"));
    EXPECT_FALSE(Exists(local + L"\\Qorvel Indicator\\settings.ini"));
    EXPECT_EQ(store.FilePath(), L"");
    // A folder was answered: no later place is tried.
    EXPECT_FALSE(Exists(folder / L"Docs"));
    EXPECT_FALSE(Exists(folder / L"settings.ini"));
}

TEST_F(SettingsLocationTest, CreatePathMakesEachMissingFolderButNeverTheDrive)
{
    fake.createFolders = false;
    ScopedSettingsSystem scoped(fake);
    EXPECT_TRUE(CFileSystemHelpers::CreatePath(L"D:\\Tools\\New Folder/Sub\\"));
    EXPECT_TRUE(CFileSystemHelpers::CreatePath(L"C:\\"));
    EXPECT_TRUE(CFileSystemHelpers::CreatePath(L""));
    EXPECT_EQ(fake.folderCalls, (std::vector<std::wstring>{L"D:\\Tools", L"D:\\Tools\\New Folder",
                                                           L"D:\\Tools\\New Folder/Sub",
                                                           L"D:\\Tools\\New Folder/Sub\\", L"C:\\"}));
}

TEST_F(SettingsLocationTest, CreatePathKeepsWhatWasMadeAndCreatesNothingAtMaxPathCharactersOrMore)
{
    ScopedSettingsSystem scoped(fake);
    EXPECT_TRUE(CFileSystemHelpers::CreatePath(folder / L"a\\b\\c\\"));
    EXPECT_TRUE(IsFolder(folder / L"a\\b\\c"));
    EXPECT_TRUE(CFileSystemHelpers::CreatePath(folder / L"a\\b\\c\\"));  // all there already

    fake.folderErrors[folder / L"x\\y"] = ERROR_ACCESS_DENIED;
    EXPECT_FALSE(CFileSystemHelpers::CreatePath(folder / L"x\\y\\z\\"));
    EXPECT_TRUE(IsFolder(folder / L"x"));
    EXPECT_FALSE(Exists(folder / L"x\\y"));
    EXPECT_EQ(fake.folderCalls.back(), folder / L"x\\y");  // the work stopped there

    fake.folderCalls.clear();
    const std::wstring base = folder / L"p\\";
    const std::wstring atLimit = base + std::wstring(MAX_PATH - base.size(), L'n');
    EXPECT_FALSE(CFileSystemHelpers::CreatePath(atLimit));
    EXPECT_FALSE(CFileSystemHelpers::CreatePath(atLimit + L"\\more\\"));
    EXPECT_TRUE(fake.folderCalls.empty());
    EXPECT_FALSE(Exists(folder / L"p"));
    EXPECT_TRUE(CFileSystemHelpers::CreatePath(atLimit.substr(0, MAX_PATH - 1)));
    EXPECT_TRUE(IsFolder(atLimit.substr(0, MAX_PATH - 1)));
}

TEST_F(SettingsLocationTest, TheProgramFolderEndsWithASeparator)
{
    ScopedSettingsSystem scoped(fake);
    fake.moduleFileName = L"C:\\Program Files\\Qorvel\\disk lights.exe";
    EXPECT_EQ(GetModuleFolder(), L"C:\\Program Files\\Qorvel\\");
    fake.moduleFileName = L"qorvel.exe";
    EXPECT_EQ(GetModuleFolder(), std::nullopt);
    for (const auto& [path, withSeparator] : {std::pair{L"C:\\x", L"C:\\x\\"}, std::pair{L"C:\\x\\", L"C:\\x\\"},
                                              std::pair{L"C:/x/", L"C:/x/"}, std::pair{L"", L"\\"}})
        EXPECT_EQ(AddTrailingSeparator(path), withSeparator);
}

TEST_F(SettingsLocationTest, TheRunValueHoldsTheQuotedProgramPathOrNothing)
{
    // A fresh prefix may lack the Run key, which Windows always has.
    RegKey run;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, run.Receive(), nullptr),
              ERROR_SUCCESS);
    RegDeleteValueW(run.Get(), L"qorvel.exe");
    const wchar_t* program = L"C:\\Program Files\\Qorvel Tools\\disk lights.exe";
    const std::wstring quoted = L"\"C:\\Program Files\\Qorvel Tools\\qorvel.exe\" s";
    struct Case {
        const wchar_t* program;
        std::int32_t startWithWindows;  // anything but 0 is on
        std::wstring value;
    };
    // Each empty value follows a written one: the value stays, emptied.
    const Case cases[] = {{program, 2, quoted}, {program, 0, L""}, {program, 1, quoted}, {L"qorvel.exe", 1, L""}};
    ScopedSettingsSystem scoped(fake);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.program)) + " " + std::to_string(c.startWithWindows));
        fake.moduleFileName = c.program;
        Settings().startWithWindows = c.startWithWindows;
        ApplyStartWithWindows();
        wchar_t data[1024] = {};
        DWORD type = 0, bytes = sizeof data - sizeof(wchar_t);
        EXPECT_EQ(RegQueryValueExW(run.Get(), L"qorvel.exe", nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes),
                  ERROR_SUCCESS);
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(bytes, (c.value.size() + 1) * sizeof(wchar_t));
        EXPECT_EQ(std::wstring(data), c.value);
    }
    RegDeleteValueW(run.Get(), L"qorvel.exe");
    Settings().startWithWindows = 1;
}

}  // namespace
