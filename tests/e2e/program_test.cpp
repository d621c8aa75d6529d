// qorvel.exe driven from outside: its indicator windows, their colours on the
// screen following scripted disk activity, its settings file, the single
// instance, the device-change rebuild and the exit event.
#include <gtest/gtest.h>

#include "tests/support/program_driver.h"

#include <dbt.h>
#include <shellapi.h>

namespace {

constexpr wchar_t kIndicatorClass[] = L"QORVELIndicator";
constexpr COLORREF kIdle = RGB(50, 130, 255);
constexpr COLORREF kRead = RGB(50, 255, 50);
constexpr COLORREF kWrite = RGB(255, 50, 50);

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveSettingsFile();
        drive0 = &disks.Physical("0 C:");
        disks.Logical("C:");
        disks.Write();
    }
    void TearDown() override
    {
        DiskScript::Clear();
        RemoveSettingsFile();
    }

    DiskScript disks;
    DiskScript::Counters* drive0 = nullptr;
};

// Without a label, at a 500 ms period, with a second disk in the list.
void WritePixelTestSettings()
{
    WriteFileBytes(SettingsFilePath(),
                   "[General]\r\nShowIndicatorLabel=No\r\n[Appearance]\r\nFrequency=500\r\n");
}

TEST_F(ProgramTest, SilentStartShowsOneSmallIndicatorPerEntryInARowAndNoOptionsWindow)
{
    RunningProgram program(L"s");
    const std::vector<HWND> windows = program.Windows(kIndicatorClass);
    ASSERT_EQ(3u, windows.size());  // drive 0, all-in-one, C:
    for (int i = 0; i < 3; ++i) {
        const RECT rect = WindowRectOf(windows[i]);
        EXPECT_EQ(2 + 18 * i, rect.left);
        EXPECT_EQ(2, rect.top);
        EXPECT_EQ(16, rect.right - rect.left);
        EXPECT_EQ(12, rect.bottom - rect.top);
    }
    EXPECT_TRUE(program.Windows(L"QORVELIndicatorClass").empty());
}

TEST_F(ProgramTest, IndicatorPixelsFollowReadsWritesBothAndIdleWithinTwoPeriods)
{
    WritePixelTestSettings();
    RunningProgram program(L"s");
    const auto top = [] { return ScreenPixel(10, 3); };     // drive 0's LED, row 1
    const auto bottom = [] { return ScreenPixel(10, 12); }; // row 10
    Sleep(2000);  // the start-up highlight: 100 steps of 20 ms
    ASSERT_TRUE(WaitUntil([&] { return top() == kIdle && bottom() == kIdle; }, 3000)) << std::hex << top();

    struct Case {
        unsigned reads, writes;
        COLORREF top, bottom;
    };
    for (const Case& c : {Case{8, 0, kRead, kRead}, Case{0, 8, kWrite, kWrite}, Case{8, 8, kRead, kWrite}}) {
        DiskActivity busy(disks, [&](DiskScript& script) { script.Grow(*drive0, c.reads, c.writes); });
        EXPECT_TRUE(WaitUntil([&] { return top() == c.top && bottom() == c.bottom; }, 1000))
            << c.reads << "/" << c.writes << ": " << std::hex << top() << " " << bottom();
    }
    EXPECT_TRUE(WaitUntil([&] { return top() == kIdle && bottom() == kIdle; }, 1000));
}

TEST_F(ProgramTest, SavedSettingsRestorePositionSizeOpacityAndMode)
{
    WriteFileBytes(SettingsFilePath(), "[General]\r\nClass=1\r\n[Appearance]\r\nOpacity=128\r\nLedSizeIdx=2\r\n"
                                       "[\\\\.\\PHYSICALDRIVE0]\r\nx=300\r\ny=200\r\n");
    RunningProgram program(L"s");
    const std::vector<HWND> windows = program.Windows(kIndicatorClass);
    ASSERT_EQ(1u, windows.size());  // physical drives only
    const RECT rect = WindowRectOf(windows[0]);
    EXPECT_EQ(300, rect.left);
    EXPECT_EQ(200, rect.top);
    EXPECT_EQ(24, rect.right - rect.left);
    EXPECT_EQ(18, rect.bottom - rect.top);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(windows[0], nullptr, &alpha, &flags));
    EXPECT_EQ(128, alpha);
    EXPECT_EQ(static_cast<DWORD>(LWA_ALPHA), flags);
}

TEST_F(ProgramTest, ASecondStartEndsWithZeroWhileTheFirstRuns)
{
    RunningProgram first(L"s");
    ASSERT_NE(nullptr, first.Worker());
    RunningProgram second(L"s");
    DWORD code = 99;
    ASSERT_TRUE(second.WaitForExit(1000, &code));
    EXPECT_EQ(0u, code);
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(first.Process(), 0));
    EXPECT_EQ(3u, first.Windows(kIndicatorClass).size());
}

TEST_F(ProgramTest, DeviceArrivalsTwoSecondsApartGiveOneRebuildThreeSecondsAfterTheLast)
{
    RunningProgram program(L"s");
    const std::vector<HWND> before = program.Windows(kIndicatorClass);
    ASSERT_EQ(3u, before.size());
    disks.Physical("1 D:");
    disks.Write();
    const auto arrive = [&] {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(program.Worker(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0, SMTO_BLOCK, 2000, &result);
    };
    arrive();
    Sleep(2000);
    arrive();
    Sleep(2000);  // 4 s after the first: a rebuild 3 s after it would have come
    EXPECT_EQ(before, program.Windows(kIndicatorClass));
    ASSERT_TRUE(WaitUntil([&] { return program.Windows(kIndicatorClass).size() == 4; }, 3000));
    for (HWND window : before)
        EXPECT_FALSE(IsWindow(window));
}

TEST_F(ProgramTest, ExitEventEndsWithZeroAndTheFileHoldsExactlyTheSettingsOfTheRun)
{
    {
        RunningProgram program(L"s");
        ASSERT_EQ(3u, program.Windows(kIndicatorClass).size());
        ASSERT_TRUE(SignalExitEvent());
        DWORD code = 99;
        ASSERT_TRUE(program.WaitForExit(5000, &code));
        EXPECT_EQ(0u, code);
    }
    EXPECT_EQ("\r\n[General]\r\nClass=7\r\nversion=1.2.4\r\nStartWithWindows=1\r\nUseKeyboardLed=No\r\n"
              "UseKeyboardLedDirectAccess=Yes\r\nShowTrayIcon=Yes\r\nUseTrayLed=Yes\r\nShowIndicatorLabel=Yes\r\n"
              "\r\n[Appearance]\r\nOpacity=255\r\nFrequency=50\r\nColorRead=3342130\r\nColorWrite=3289855\r\n"
              "ColorOff=16745010\r\nStatPageRefresh=Yes\r\nLedSizeIdx=1\r\n"
              "\r\n[\\\\.\\PHYSICALDRIVE0]\r\nx=2\r\ny=2\r\nvisible=Yes\r\n"
              "\r\n[_Total]\r\nx=20\r\ny=2\r\nvisible=Yes\r\n"
              "\r\n[\\\\.\\C:]\r\nx=38\r\ny=2\r\nvisible=Yes\r\n",
              ReadFileBytes(SettingsFilePath()));
}

TEST_F(ProgramTest, TheEndOfTheSessionWritesEveryIndicatorBeforeItAnswers)
{
    RunningProgram program(L"s");
    const std::vector<HWND> session = program.Windows(L"QorvelSession");
    ASSERT_EQ(1u, session.size());
    EXPECT_FALSE(IsWindowVisible(session[0]));
    EXPECT_EQ(std::string::npos, ReadFileBytes(SettingsFilePath()).find("[_Total]"));
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(session[0], WM_QUERYENDSESSION, 0, 0, SMTO_BLOCK, 2000, &answer);
    EXPECT_EQ(TRUE, answer);
    SendMessageTimeoutW(session[0], WM_ENDSESSION, TRUE, 0, SMTO_BLOCK, 2000, &answer);
    // Written before the answer, so a log-off may end the process right after.
    EXPECT_NE(std::string::npos, ReadFileBytes(SettingsFilePath()).find("\r\n[_Total]\r\nx=20\r\ny=2\r\nvisible=Yes\r\n"));
}

TEST_F(ProgramTest, AReadOnlySettingsFileIsUsedAndLeftIntact)
{
    const std::string saved = "[Appearance]\r\nOpacity=128\r\n";
    WriteFileBytes(SettingsFilePath(), saved);
    SetFileAttributesW(SettingsFilePath().c_str(), FILE_ATTRIBUTE_READONLY);
    {
        RunningProgram program(L"s");
        const std::vector<HWND> windows = program.Windows(kIndicatorClass);
        ASSERT_EQ(3u, windows.size());
        BYTE alpha = 0;
        ASSERT_TRUE(GetLayeredWindowAttributes(windows[0], nullptr, &alpha, nullptr));
        EXPECT_EQ(128, alpha);
        ASSERT_TRUE(SignalExitEvent());
        DWORD code = 99;
        ASSERT_TRUE(program.WaitForExit(5000, &code));
        EXPECT_EQ(0u, code);
    }
    EXPECT_EQ(saved, ReadFileBytes(SettingsFilePath()));
}

}  // namespace
