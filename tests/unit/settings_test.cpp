// The settings store over real files, every setting moved between the file and
// memory, and the start-at-logon entry.
#include <gtest/gtest.h>

#include <set>

#include "common/win_handles.h"
#include "settings/ini_ex.h"
#include "settings/settings_location.h"
#include "settings/settings_model.h"
#include "settings/settings_system.h"
#include "tests/support/temp_folder.h"

namespace {

// The settings code's seam: the program path as a test sets it, chosen calls
// failing, every other call real.
class FakeSettingsSystem : public SettingsSystem {
public:
    std::optional<std::wstring> moduleFileName;  // none: the real program path
    // These files cannot be opened; "flush" and "replace" fail those calls.
    std::set<std::wstring> failing;

    std::wstring ModuleFileName() override { return moduleFileName.value_or(SettingsSystem::ModuleFileName()); }
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
    std::string Saved()
    {
        store->Save();
        return ReadBytes(file).value_or("<missing>");
    }

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
        EXPECT_EQ(Saved(), "\r\n[S]\r\ns=2\r\n") << error;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1) << error;  // nothing else
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
