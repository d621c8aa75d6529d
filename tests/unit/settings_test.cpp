// The settings store over real files, every setting moved between the file and
// memory, where the file lives and the start-at-logon entry.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <map>
#include <set>

#include "common/win_handles.h"
#include "settings/ini_ex.h"
#include "settings/settings_location.h"
#include "settings/settings_model.h"
#include "settings/settings_system.h"
#include "tests/support/temp_folder.h"

namespace {

// The settings code's seam: special folders and the program path as a test
// sets them, chosen calls failing, every other call real.
class FakeSettingsSystem : public SettingsSystem {
public:
    std::map<int, std::wstring> folders;         // csidl -> folder; others cannot be answered
    std::optional<std::wstring> moduleFileName;  // none: the real program path
    std::vector<std::wstring> folderCalls;
    // These files cannot be opened, these folders not made; "attributes", "flush"
    // and "replace" fail those calls.
    std::set<std::wstring> failing;

    bool SpecialFolderPath(int csidl, std::wstring* path) override
    {
        return folders.count(csidl) && (*path = folders[csidl], true);
    }
    std::wstring ModuleFileName() override { return moduleFileName.value_or(SettingsSystem::ModuleFileName()); }
    DWORD CreateFolder(const std::wstring& path) override
    {
        folderCalls.push_back(path);
        return failing.count(path) ? ERROR_ACCESS_DENIED : SettingsSystem::CreateFolder(path);
    }
    DWORD FileAttributes(const std::wstring& path) override
    {
        return failing.count(L"attributes") ? INVALID_FILE_ATTRIBUTES : SettingsSystem::FileAttributes(path);
    }
    HANDLE OpenFileHandle(const std::wstring& path, DWORD access, DWORD disposition) override
    {
        return failing.count(path) ? INVALID_HANDLE_VALUE : SettingsSystem::OpenFileHandle(path, access, disposition);
    }
    bool FlushFile(HANDLE file) override { return !failing.count(L"flush") && SettingsSystem::FlushFile(file); }
    // With replaceError set, the replace fails as documented for it: 1176 leaves
    // the file gone, 1177 leaves it under the backup's name; the temporary file
    // stays. A scanner holding the temporary makes the first `held` fail.
    DWORD ReplaceSettingsFile(const std::wstring& target, const std::wstring& temporary,
                              const std::wstring& backup) override
    {
        if (failing.count(L"replace"))
            return ERROR_INVALID_PARAMETER;
        if (held-- > 0)
            return ERROR_SHARING_VIOLATION;
        if (replaceError == ERROR_UNABLE_TO_MOVE_REPLACEMENT)
            DeleteFileW(target.c_str());
        if (replaceError == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
            MoveFileW(target.c_str(), backup.c_str());
        return replaceError ? replaceError : SettingsSystem::ReplaceSettingsFile(target, temporary, backup);
    }
    bool MoveIntoPlace(const std::wstring& temporary, const std::wstring& target) override
    {
        return failMoves-- <= 0 && SettingsSystem::MoveIntoPlace(temporary, target);  // a scanner holds it meanwhile
    }
    DWORD replaceError = ERROR_SUCCESS;
    int failMoves = 0;
    int held = 0;
};

class SettingsTest : public ::testing::Test {
protected:
    // Loads the process's store from the settings file, holding the bytes when given.
    CIniEx& Open(const std::optional<std::string>& bytes)
    {
        store.reset();  // a store still modified would write its text over the bytes
        if (bytes)
            WriteBytes(file, *bytes);
        store = std::make_unique<CIniEx>();
        EXPECT_TRUE(store->Load(file));
        return *store;
    }
    // Saves the store; the file's bytes.
    std::string Saved() { return store->Save(), ReadBytes(file).value_or("<missing>"); }

    TempFolder folder;
    std::wstring file = folder / L"settings.ini";
    FakeSettingsSystem fake;
    ScopedSettingsSystem scope{fake};
    std::unique_ptr<CIniEx> store;
};

constexpr char kFirstStartFile[] =
    "\r\n[General]\r\nClass=7\r\nversion=1.2.4\r\nStartWithWindows=1\r\nUseKeyboardLed=No\r\n"
    "UseKeyboardLedDirectAccess=Yes\r\nShowTrayIcon=Yes\r\nUseTrayLed=Yes\r\nShowIndicatorLabel="
    "Yes\r\nHideOverFullScreen=Yes\r\nShowMinuteInTips=Yes\r\n"
    "\r\n[Appearance]\r\nOpacity=255\r\nFrequency=50\r\nColorRead=3342130\r\nColorWrite=3289855\r\n"
    "ColorOff=16745010\r\nStatPageRefresh=Yes\r\nLedSizeIdx=1\r\nPalette=0\r\n";

// The store creates the file at once and writes it when told to or when it is
// destroyed; a missing key loads as its default.
TEST_F(SettingsTest, FirstStartWritesEveryDefaultByteForByte)
{
    Open(std::nullopt);
    SettingsBlock block;
    block.opacity = 1;  // each missing key loads its default
    LoadSettings(*store, block);
    EXPECT_EQ(1, block.useKeyboardLedDirectAccess);  // which differs from its initial value
    EXPECT_EQ(ReadBytes(file), "");
    StoreSettings(*store, block);
    store->Save();
    EXPECT_EQ(ReadBytes(file), kFirstStartFile);
    IndicatorSettings drive{2, 2, true, store.get()}, total{20, 2, false, store.get()};
    EXPECT_TRUE(ExchangeIndicatorSettings(drive, Exchange::Store, L"\\\\.\\PHYSICALDRIVE0"));
    EXPECT_TRUE(ExchangeIndicatorSettings(total, Exchange::Store, L"_Total"));
    EXPECT_EQ(ReadBytes(file), kFirstStartFile);
    store.reset();
    EXPECT_EQ(ReadBytes(file), std::string(kFirstStartFile) +
                                   "\r\n[\\\\.\\PHYSICALDRIVE0]\r\nx=2\r\ny=2\r\nvisible=Yes\r\n"
                                   "\r\n[_Total]\r\nx=20\r\ny=2\r\nvisible=No\r\n");
}

// Sections are found from the first, keys from the last, letter case ignored;
// only a change beyond letter case makes the store modified, and then every
// save writes.
TEST_F(SettingsTest, LookupsChangesAndTheModifiedFlag)
{
    CIniEx& s = Open("k=1\r\n[A]\r\nx=2\r\nx=5\r\n[A]\r\nx=3\r\n[\xC4rger]\r\n\xD6l=Yes ; on\r\n");
    EXPECT_EQ(s.GetString(L"", L"k", L"-") + s.GetString(L"a", L"X", L"-") + s.GetString(L"A ", L"x", L"-"), L"15-");
    EXPECT_EQ(s.GetString(L"\u00e4RGER", L"\u00f6L", L"-"), L"Yes ");  // the CharLowerW way; the comment cut
    EXPECT_EQ(s.FindKey(7, L"x"), -1);
    s.SetString(L"\u00e4rger", L"\u00d6L", L"yes ; on");
    EXPECT_FALSE(s.IsModified());
    EXPECT_EQ(Saved(), "k=1\r\n[A]\r\nx=2\r\nx=5\r\n[A]\r\nx=3\r\n[\xC4rger]\r\n\xD6l=Yes ; on\r\n");
    s.SetString(L"a", L"X", L"9");
    s.SetString(L"A", L"y", L"1");
    const std::string changed =
        "k=1\r\n\r\n[A]\r\nx=2\r\nx=9\r\ny=1\r\n\r\n[A]\r\nx=3\r\n\r\n[\xC4rger]\r\n\xD6l=yes ; on\r\n";
    EXPECT_EQ(Saved(), changed);
    WriteBytes(file, "changed behind the store");
    EXPECT_EQ(Saved(), changed);
}

// A file whose attributes cannot be asked about (access denied) may exist: it
// is read, never emptied. A file that cannot be opened leaves a store that
// answers defaults, ignores changes and writes nothing.
TEST_F(SettingsTest, LoadNeverTruncatesAndAFailedLoadWritesNothing)
{
    fake.failing.insert(L"attributes");
    EXPECT_EQ(Open("[General]\r\nClass=3\r\n").GetInt(7, L"General", L"Class"), 3);
    store.reset();
    EXPECT_EQ(ReadBytes(file), "[General]\r\nClass=3\r\n");
    {
        CIniEx failed;
        EXPECT_FALSE(failed.Load(folder / L"missing\\settings.ini"));
        failed.SetString(L"General", L"Class", L"7");
        EXPECT_EQ(failed.GetInt(3, L"General", L"Class"), 3);
    }
    EXPECT_FALSE(std::filesystem::exists(folder / L"missing"));
}

// The save goes through a flushed temporary file that takes the file's place in
// one step: when any step fails, the file stays as it was.
TEST_F(SettingsTest, AFailedSaveLeavesThePreviousFileIntactAndALaterSaveWrites)
{
    const std::string before = "; hand written\r\n[S]\r\ns=1\r\n";
    Open(before).SetString(L"S", L"s", L"2");
    for (const std::wstring& step : {std::wstring(L"flush"), std::wstring(L"replace"), file + L".tmp"}) {
        fake.failing = {step};  // the temporary file cannot be opened, flushed, or take the file's place
        EXPECT_EQ(Saved(), before);
        EXPECT_FALSE(std::filesystem::exists(file + L".tmp"));
    }
    fake.failing.clear();
    EXPECT_EQ(Saved(), "; hand written=\r\n\r\n[S]\r\ns=2\r\n");
    EXPECT_FALSE(std::filesystem::exists(file + L".tmp"));
}

// The folder's files after a save: "settings.ini=<bytes>" and any other name.
std::string FolderAfterSave(const std::filesystem::path& folder)
{
    std::string files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files += entry.path().filename().string() + "=" + ReadBytes(entry.path()).value_or("?") + " ";
    return files;
}

// A replace that failed after letting go of the file (1176, 1177 with the old
// file set aside): the new file is moved into its place, also after a first
// failed move, and nothing else stays. A scanner holding the new file for a
// moment only delays the save. When the new file is the only copy and cannot
// be moved, it is kept for the next save, never deleted.
TEST_F(SettingsTest, AReplaceThatLetGoOfTheFileOrWasHeldStillLeavesTheNewOne)
{
    const std::tuple<DWORD, int, int> cases[] = {
        {ERROR_UNABLE_TO_MOVE_REPLACEMENT, 1, 0}, {ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, 1, 0}, {ERROR_SUCCESS, 0, 3}};
    for (const auto& [error, failedMoves, held] : cases) {
        Open("[S]\r\ns=1\r\n").SetString(L"S", L"s", L"2");
        fake.replaceError = error;
        fake.failMoves = failedMoves;
        fake.held = held;
        store->Save();
        EXPECT_EQ(FolderAfterSave(folder.Path()), "settings.ini=\r\n[S]\r\ns=2\r\n ") << error;
    }
    for (const bool fileThere : {true, false}) {
        Open("[S]\r\ns=1\r\n").SetString(L"S", L"s", L"3");
        if (!fileThere)
            DeleteFileW(file.c_str());  // the file is missing when the save comes
        fake.replaceError = ERROR_UNABLE_TO_MOVE_REPLACEMENT;
        fake.failMoves = 100;
        EXPECT_EQ(Saved(), "<missing>");
        EXPECT_EQ(ReadBytes(file + L".tmp"), "\r\n[S]\r\ns=3\r\n");
        fake.replaceError = ERROR_SUCCESS;
        fake.failMoves = 0;
        EXPECT_EQ(Saved(), "\r\n[S]\r\ns=3\r\n");  // the next save puts it in place
    }
}

// A save cut short after its new file was written, with the file itself
// missing: the next start takes the new file if it is whole.
TEST_F(SettingsTest, AWholeNewFileLeftByACutSaveIsTakenAtTheNextStart)
{
    for (const auto& [left, loaded] : {std::pair{"[S]\r\ns=4\r\n", 4}, {"[S]\r\ns=4\r\n[T", 0}}) {
        store.reset();
        DeleteFileW(file.c_str());
        WriteBytes(file + L".tmp", left);
        EXPECT_EQ(Open(std::nullopt).GetInt(0, L"S", L"s"), loaded) << left;
        EXPECT_EQ(ReadBytes(file), loaded ? left : "");
        EXPECT_EQ(std::filesystem::exists(file + L".tmp"), loaded == 0);
    }
}

TEST_F(SettingsTest, DamagedValuesLoadAsTheRulesSay)
{
    Open(
        "[general]\r\nClass=abc\r\nStartWithWindows=Yes\r\nUseKeyboardLed=yes\r\nUseKeyboardLedDirectAccess=1\r\n"
        "ShowTrayIcon=NO\r\nUseTrayLed=Yes \r\nShowIndicatorLabel=\r\n[Appearance]\r\nOpacity=12abc\r\nFrequency=20\r\n"
        "LedSizeIdx=9\r\nColorRead=  -42 ; red\r\nStatPageRefresh=0\r\n");
    SettingsBlock b;
    LoadSettings(*store, b);
    EXPECT_EQ(b.indicatorMode, 0u);  // hand-written [general] is "General"
    EXPECT_EQ(
        (std::vector<std::int64_t>{b.opacity, b.samplingPeriod, b.readColor, b.writeColor, b.idleColor,
                                   b.statPageRefresh, b.ledSizeIdx, b.startWithWindows, b.useKeyboardLed,
                                   b.useKeyboardLedDirectAccess, b.showTrayIcon, b.useTrayLed, b.showIndicatorLabel}),
        (std::vector<std::int64_t>{12, 50, 0xFFFFFFD6, 0x3232FF, 0xFF8232, 0, 1, 0, 1, 0, 0, 0, 0}));
    // Only 20 is corrected in "Frequency"; only 0 to 5 are kept in "LedSizeIdx".
    for (const auto& [frequency, ledSize, loaded] :
         {std::tuple{120, -1, std::pair{120, 1}}, {30, 5, {30, 5}}, {21, 0, {21, 0}}, {-20, 6, {-20, 1}}}) {
        Open("[Appearance]\nFrequency=" + std::to_string(frequency) + "\nLedSizeIdx=" + std::to_string(ledSize));
        LoadSettings(*store, b);
        EXPECT_EQ(std::pair(b.samplingPeriod, b.ledSizeIdx), loaded) << frequency;
    }
}

// Without "x" or "y" the place the record was built with stays; without
// "visible" it is shown; without a store nothing moves.
TEST_F(SettingsTest, IndicatorsLoadTheirPlaceAndOnlyYesShowsThem)
{
    CIniEx& s = Open(
        "[\\\\.\\C:]\r\nx=300\r\ny=-4\r\nvisible=YES\r\n[a]\r\nvisible=no\r\n[c]\r\nvisible=0\r\n"
        "[d]\r\nvisible=1\r\n[e]\r\nvisible=yes\r\n");
    std::wstring loaded;
    for (const wchar_t* section : {L"\\\\.\\c:", L"a", L"c", L"d", L"e", L"_Total"}) {
        IndicatorSettings record{38, 2, false, &s};
        EXPECT_TRUE(ExchangeIndicatorSettings(record, Exchange::Load, section));
        loaded += std::to_wstring(record.x) + L"," + std::to_wstring(record.y) + (record.visible ? L"+ " : L"- ");
    }
    EXPECT_EQ(loaded, L"300,-4+ 38,2- 38,2- 38,2- 38,2+ 38,2+ ");
    IndicatorSettings unbound{5, 6, false, nullptr};
    EXPECT_TRUE(ExchangeIndicatorSettings(unbound, Exchange::Load, L"\\\\.\\C:"));
    EXPECT_EQ(unbound.x, 5);
}

// Only a folder the system cannot answer moves on to the next place; the folder
// is made even when its file cannot be written.
TEST_F(SettingsTest, EachPlaceFallsBackToTheNextOnlyWhenItsFolderIsUnknown)
{
    std::filesystem::create_directory(folder / L"bin");
    fake.moduleFileName = folder / L"bin\\disk lights.exe";
    fake.folders = {{CSIDL_LOCAL_APPDATA, folder / L"Local"}, {CSIDL_PERSONAL | CSIDL_FLAG_CREATE, folder / L"Docs"}};
    fake.failing.insert(folder / L"Local\\Qorvel Indicator\\settings.ini");
    std::wstring opened;
    for (int place = 0; place < 3; ++place) {
        CIniEx candidate;
        opened += (OpenSettingsFile(candidate) ? L"+" : L"-") + candidate.FilePath() + L" ";
        if (!fake.folders.empty())
            fake.folders.erase(fake.folders.begin());
    }
    EXPECT_EQ(opened,
              L"- +" + folder / L"Docs\\Qorvel Indicator\\settings.ini" + L" +" + folder / L"bin\\settings.ini" + L" ");
    EXPECT_TRUE(std::filesystem::is_directory(folder / L"Local\\Qorvel Indicator"));
    EXPECT_EQ(ReadBytes(folder / L"Docs\\Qorvel Indicator\\settings.ini"), "");
}

TEST_F(SettingsTest, CreatePathMakesEachMissingFolderButNeitherTheDriveNorAPathOfMaxPath)
{
    EXPECT_TRUE(CFileSystemHelpers::CreatePath(folder / L"a b/c\\"));
    EXPECT_EQ(fake.folderCalls.front(), folder.Path().substr(0, folder.Path().find(L'\\', 3)));  // "C:\users"
    EXPECT_EQ(std::vector(fake.folderCalls.end() - 3, fake.folderCalls.end()),
              (std::vector<std::wstring>{folder / L"a b", folder / L"a b/c", folder / L"a b/c\\"}));
    EXPECT_TRUE(std::filesystem::is_directory(folder / L"a b\\c"));
    fake.failing.insert(folder / L"x");
    EXPECT_FALSE(CFileSystemHelpers::CreatePath(folder / L"x\\y\\"));
    EXPECT_EQ(fake.folderCalls.back(), folder / L"x");  // the work stopped there

    fake.folderCalls.clear();
    const std::wstring atLimit = folder / L"p\\" + std::wstring(MAX_PATH - folder.Path().size() - 3, L'n');
    EXPECT_FALSE(CFileSystemHelpers::CreatePath(atLimit));
    EXPECT_TRUE(fake.folderCalls.empty());
    EXPECT_TRUE(CFileSystemHelpers::CreatePath(atLimit.substr(0, MAX_PATH - 1)));
    EXPECT_TRUE(std::filesystem::is_directory(atLimit.substr(0, MAX_PATH - 1)));
    RemoveDirectoryW(atLimit.substr(0, MAX_PATH - 1).c_str());  // too long for the folder's own clean-up
}

TEST_F(SettingsTest, TheRunValueHoldsTheQuotedProgramPathOrNothing)
{
    RegKey run;  // a fresh prefix may lack the Run key, which Windows always has
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, run.Receive(), nullptr),
              ERROR_SUCCESS);
    const wchar_t* program = L"C:\\Program Files\\Qorvel Tools\\disk lights.exe";
    const std::wstring quoted = L"\"C:\\Program Files\\Qorvel Tools\\qorvel.exe\" s";
    const wchar_t* other = L"C:\\Portable\\qorvel.exe";
    // Each empty value follows a written one: the value stays, emptied. Off
    // leaves another copy's entry as it is.
    for (const auto& [path, on, value] : {std::tuple{program, 2, quoted},
                                          {program, 0, L""},
                                          {program, 1, quoted},
                                          {other, 0, quoted},
                                          {L"qorvel.exe", 1, L""}}) {
        fake.moduleFileName = path;
        ApplyStartWithWindows(on != 0);
        wchar_t data[1024] = {};
        DWORD bytes = sizeof data - sizeof(wchar_t);
        EXPECT_EQ(RegGetValueW(run.Get(), nullptr, L"qorvel.exe", RRF_RT_REG_SZ, nullptr, data, &bytes), ERROR_SUCCESS);
        EXPECT_EQ(std::wstring(data) + L"|" + std::to_wstring(bytes),
                  value + L"|" + std::to_wstring(2 * value.size() + 2));
    }
    RegDeleteValueW(run.Get(), L"qorvel.exe");
}

}  // namespace
