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

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

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

TEST_F(SettingsLocationTest, TheFolderIsCreatedEvenWhenTheFileCannotBeWritten)
{
    const std::wstring local = folder / L"Local";
    fake.folders[CSIDL_LOCAL_APPDATA] = local;
    fake.folders[CSIDL_PERSONAL | CSIDL_FLAG_CREATE] = folder / L"Documents";
    fake.moduleFileName = folder / L"qorvel.exe";
    fake.unopenable.insert(local + L"\\Qorvel Indicator\\settings.ini");
    ScopedSettingsSystem scoped(fake);

    CIniEx store;
    EXPECT_FALSE(OpenSettingsFile(store));
    EXPECT_TRUE(IsFolder(local + L"\\Qorvel Indicator"));
    EXPECT_FALSE(Exists(local + L"\\Qorvel Indicator\\settings.ini"));
    EXPECT_EQ(store.FilePath(), L"");
    // A folder was answered: no later place is tried.
    EXPECT_EQ(fake.folderQueries, std::vector<int>{CSIDL_LOCAL_APPDATA});
    EXPECT_EQ(fake.opened, std::vector<std::wstring>{local + L"\\Qorvel Indicator\\settings.ini"});
    EXPECT_FALSE(Exists(folder / L"settings.ini"));
}

TEST_F(SettingsLocationTest, WithoutLocalApplicationDataTheDocumentsFolderIsUsed)
{
    const std::wstring documents = folder / L"Documents";
    fake.folders[CSIDL_PERSONAL | CSIDL_FLAG_CREATE] = documents;
    ScopedSettingsSystem scoped(fake);

    CIniEx store;
    EXPECT_TRUE(OpenSettingsFile(store));
    EXPECT_EQ(fake.folderQueries, (std::vector<int>{CSIDL_LOCAL_APPDATA, 0x8005}));
    EXPECT_EQ(store.FilePath(), documents + L"\\Qorvel Indicator\\settings.ini");
    EXPECT_EQ(ReadBytes(documents + L"\\Qorvel Indicator\\settings.ini"), "");
}

TEST_F(SettingsLocationTest, WithoutEitherFolderTheFileLivesBesideTheProgram)
{
    fake.moduleFileName = folder / L"bin\\disk lights.exe";
    ASSERT_TRUE(CreateDirectoryW((folder / L"bin").c_str(), nullptr));
    ScopedSettingsSystem scoped(fake);

    CIniEx store;
    EXPECT_TRUE(OpenSettingsFile(store));
    EXPECT_EQ(fake.folderQueries.size(), 2u);
    EXPECT_EQ(store.FilePath(), folder / L"bin\\settings.ini");
    EXPECT_TRUE(Exists(folder / L"bin\\settings.ini"));
    EXPECT_TRUE(fake.folderCalls.empty());
}

TEST_F(SettingsLocationTest, CreatePathMakesEachMissingFolderButNeverTheDrive)
{
    fake.createFolders = false;
    ScopedSettingsSystem scoped(fake);
    EXPECT_TRUE(CFileSystemHelpers::CreatePath(L"D:\\Tools\\New Folder/Sub\\"));
    EXPECT_EQ(fake.folderCalls, (std::vector<std::wstring>{L"D:\\Tools", L"D:\\Tools\\New Folder",
                                                           L"D:\\Tools\\New Folder/Sub",
                                                           L"D:\\Tools\\New Folder/Sub\\"}));
    fake.folderCalls.clear();
    EXPECT_TRUE(CFileSystemHelpers::CreatePath(L"C:\\"));
    EXPECT_TRUE(CFileSystemHelpers::CreatePath(L""));
    EXPECT_EQ(fake.folderCalls, std::vector<std::wstring>{L"C:\\"});
}

TEST_F(SettingsLocationTest, CreatePathOfExistingFoldersAnswersTrueAndAFailureKeepsWhatWasMade)
{
    ScopedSettingsSystem scoped(fake);
    const std::wstring deep = folder / L"a\\b\\c\\";
    EXPECT_TRUE(CFileSystemHelpers::CreatePath(deep));
    EXPECT_TRUE(IsFolder(folder / L"a\\b\\c"));
    EXPECT_TRUE(CFileSystemHelpers::CreatePath(deep));  // all there already

    fake.folderErrors[folder / L"x\\y"] = ERROR_ACCESS_DENIED;
    fake.folderCalls.clear();
    EXPECT_FALSE(CFileSystemHelpers::CreatePath(folder / L"x\\y\\z\\"));
    EXPECT_TRUE(IsFolder(folder / L"x"));
    EXPECT_FALSE(Exists(folder / L"x\\y"));
    EXPECT_EQ(fake.folderCalls.back(), folder / L"x\\y");  // the work stopped there
}

TEST_F(SettingsLocationTest, CreatePathOfMaxPathCharactersOrMoreCreatesNothing)
{
    ScopedSettingsSystem scoped(fake);
    const std::wstring base = folder / L"p\\";
    const std::wstring atLimit = base + std::wstring(MAX_PATH - base.size(), L'n');
    ASSERT_EQ(atLimit.size(), static_cast<std::size_t>(MAX_PATH));
    EXPECT_FALSE(CFileSystemHelpers::CreatePath(atLimit));
    EXPECT_FALSE(CFileSystemHelpers::CreatePath(atLimit + L"\\more\\"));
    EXPECT_TRUE(fake.folderCalls.empty());
    EXPECT_FALSE(Exists(folder / L"p"));

    const std::wstring below = atLimit.substr(0, MAX_PATH - 1);
    EXPECT_TRUE(CFileSystemHelpers::CreatePath(below));
    EXPECT_TRUE(IsFolder(below));
}

TEST_F(SettingsLocationTest, TheProgramFolderEndsWithASeparator)
{
    ScopedSettingsSystem scoped(fake);
    fake.moduleFileName = L"C:\\Program Files\\Qorvel\\disk lights.exe";
    EXPECT_EQ(GetModuleFolder(), L"C:\\Program Files\\Qorvel\\");
    fake.moduleFileName = L"qorvel.exe";
    EXPECT_EQ(GetModuleFolder(), std::nullopt);
    EXPECT_EQ(AddTrailingSeparator(L"C:\\x"), L"C:\\x\\");
    EXPECT_EQ(AddTrailingSeparator(L"C:\\x\\"), L"C:\\x\\");
    EXPECT_EQ(AddTrailingSeparator(L"C:/x/"), L"C:/x/");
    EXPECT_EQ(AddTrailingSeparator(L""), L"\\");
}

class StartWithWindowsTest : public ::testing::Test {
protected:
    StartWithWindowsTest()
    {
        // A fresh prefix may lack the Run key, which Windows always has.
        RegKey key;
        RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(),
                        nullptr);
        RegDeleteValueW(key.Get(), L"qorvel.exe");
    }
    ~StartWithWindowsTest() override
    {
        RegKey key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_ALL_ACCESS, key.Receive()) == ERROR_SUCCESS)
            RegDeleteValueW(key.Get(), L"qorvel.exe");
        Settings().startWithWindows = 1;
    }
    // The Run value "qorvel.exe" as stored, with its type and byte size.
    struct RunValue {
        DWORD type = 0;
        DWORD bytes = 0;
        std::wstring text;
    };
    std::optional<RunValue> ReadRunValue()
    {
        RegKey key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
            return std::nullopt;
        wchar_t data[2048] = {};
        RunValue value;
        value.bytes = sizeof data - sizeof(wchar_t);
        if (RegQueryValueExW(key.Get(), L"qorvel.exe", nullptr, &value.type, reinterpret_cast<BYTE*>(data),
                             &value.bytes) != ERROR_SUCCESS)
            return std::nullopt;
        value.text = data;
        return value;
    }

    FakeSettingsSystem fake;
};

TEST_F(StartWithWindowsTest, OnWritesTheQuotedProgramPathFollowedByS)
{
    fake.moduleFileName = L"C:\\Program Files\\Qorvel Tools\\disk lights.exe";
    ScopedSettingsSystem scoped(fake);
    Settings().startWithWindows = 2;  // anything but 0 is on
    ApplyStartWithWindows();
    const auto value = ReadRunValue();
    ASSERT_TRUE(value);
    const std::wstring expected = L"\"C:\\Program Files\\Qorvel Tools\\qorvel.exe\" s";
    EXPECT_EQ(value->text, expected);
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value->bytes, (expected.size() + 1) * sizeof(wchar_t));
}

TEST_F(StartWithWindowsTest, OffLeavesTheValueInPlaceAndEmpty)
{
    fake.moduleFileName = L"D:\\Tools\\qorvel.exe";
    ScopedSettingsSystem scoped(fake);
    ApplyStartWithWindows();
    ASSERT_TRUE(ReadRunValue());
    EXPECT_EQ(ReadRunValue()->text, L"\"D:\\Tools\\qorvel.exe\" s");

    Settings().startWithWindows = 0;
    ApplyStartWithWindows();
    const auto value = ReadRunValue();
    ASSERT_TRUE(value);
    EXPECT_EQ(value->text, L"");
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value->bytes, 2u);
}

TEST_F(StartWithWindowsTest, AProgramPathWithoutAFolderWritesAnEmptyValue)
{
    fake.moduleFileName = L"qorvel.exe";
    ScopedSettingsSystem scoped(fake);
    ApplyStartWithWindows();
    const auto value = ReadRunValue();
    ASSERT_TRUE(value);
    EXPECT_EQ(value->text, L"");
}

}  // namespace
