// Every setting's key, section, default and check, moved between the settings
// file and memory.
#include <gtest/gtest.h>

#include <memory>

#include "settings/ini_ex.h"
#include "settings/settings_model.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr char kFirstStartFile[] =
    "\r\n[General]\r\n"
    "Class=7\r\n"
    "version=1.2.4\r\n"
    "StartWithWindows=1\r\n"
    "UseKeyboardLed=No\r\n"
    "UseKeyboardLedDirectAccess=Yes\r\n"
    "ShowTrayIcon=Yes\r\n"
    "UseTrayLed=Yes\r\n"
    "ShowIndicatorLabel=Yes\r\n"
    "\r\n[Appearance]\r\n"
    "Opacity=255\r\n"
    "Frequency=50\r\n"
    "ColorRead=3342130\r\n"
    "ColorWrite=3289855\r\n"
    "ColorOff=16745010\r\n"
    "StatPageRefresh=Yes\r\n"
    "LedSizeIdx=1\r\n";

class SettingsModelTest : public ::testing::Test {
protected:
    SettingsModelTest()
    {
        Settings() = SettingsBlock{};
        SetIndicatorMode(0);
    }
    ~SettingsModelTest() override
    {
        SetSettingsStore(nullptr);
        Settings() = SettingsBlock{};
        SetIndicatorMode(0);
    }
    // Opens the store on the file, holding the bytes when given, and makes it
    // the process's store.
    void Open(const char* bytes = nullptr)
    {
        if (bytes)
            WriteBytes(file, bytes);
        store = std::make_unique<CIniEx>();
        ASSERT_TRUE(store->Load(file));
        SetSettingsStore(store.get());
    }
    void LoadWith(const std::string& bytes)
    {
        Open(bytes.c_str());
        ASSERT_TRUE(ExchangeGlobalSettings(Exchange::Load));
    }

    TempFolder folder;
    std::wstring file = folder / L"settings.ini";
    std::unique_ptr<CIniEx> store;
};

TEST_F(SettingsModelTest, FirstStartLoadsEveryDefaultAndWritesTheFirstFileByteForByte)
{
    Open();
    EXPECT_EQ(ReadBytes(file), "");
    Settings().useKeyboardLedDirectAccess = 0;
    Settings().opacity = 1;
    ASSERT_TRUE(ExchangeGlobalSettings(Exchange::Load));
    const SettingsBlock& block = Settings();
    EXPECT_EQ(IndicatorMode(), 7u);
    EXPECT_EQ(block.useKeyboardLedDirectAccess, 1);  // a missing key loads as on
    EXPECT_EQ(block.opacity, 255);
    EXPECT_EQ(block.idleColor, 0xFF8232u);
    EXPECT_EQ(ReadBytes(file), "");  // loading writes nothing

    ASSERT_TRUE(ExchangeGlobalSettings(Exchange::Store));
    EXPECT_EQ(ReadBytes(file), kFirstStartFile);

    IndicatorSettings drive{2, 2, true, store.get()};
    IndicatorSettings total{20, 2, false, store.get()};
    EXPECT_TRUE(ExchangeIndicatorSettings(drive, Exchange::Store, L"\\\\.\\PHYSICALDRIVE0"));
    EXPECT_TRUE(ExchangeIndicatorSettings(total, Exchange::Store, L"_Total"));
    EXPECT_EQ(ReadBytes(file), kFirstStartFile);  // storing an indicator does not save
    store->Save();
    EXPECT_EQ(ReadBytes(file), std::string(kFirstStartFile) +
                                   "\r\n[\\\\.\\PHYSICALDRIVE0]\r\nx=2\r\ny=2\r\nvisible=Yes\r\n"
                                   "\r\n[_Total]\r\nx=20\r\ny=2\r\nvisible=No\r\n");
}

TEST_F(SettingsModelTest, SaveSettingsAloneWritesTheBlockAndAGeneralSectionInLowerCase)
{
    Open();
    Settings().opacity = 128;
    Settings().readColor = RGB(1, 2, 3);
    Settings().useKeyboardLed = 5;  // not 0: on
    SaveSettings(Settings());
    EXPECT_EQ(ReadBytes(file),
              "\r\n[Appearance]\r\nOpacity=128\r\nFrequency=50\r\nColorRead=197121\r\nColorWrite=3289855\r\n"
              "ColorOff=16745010\r\nStatPageRefresh=Yes\r\nLedSizeIdx=1\r\n"
              "\r\n[general]\r\nStartWithWindows=1\r\nUseKeyboardLed=Yes\r\nUseKeyboardLedDirectAccess=No\r\n"
              "ShowTrayIcon=Yes\r\nUseTrayLed=Yes\r\nShowIndicatorLabel=Yes\r\n");
}

TEST_F(SettingsModelTest, DamagedValuesLoadAsTheRulesSay)
{
    LoadWith("[general]\r\nClass=abc\r\nStartWithWindows=Yes\r\nUseKeyboardLed=yes\r\n"
             "UseKeyboardLedDirectAccess=1\r\nShowTrayIcon=NO\r\nUseTrayLed=Yes \r\nShowIndicatorLabel=\r\n"
             "[Appearance]\r\nOpacity=x\r\nFrequency=20\r\nLedSizeIdx=9\r\nColorRead=255\r\n"
             "StatPageRefresh=0\r\n");
    const SettingsBlock& block = Settings();
    EXPECT_EQ(IndicatorMode(), 0u);  // hand-written [general] is "General"
    EXPECT_EQ(block.startWithWindows, 0);
    EXPECT_EQ(block.useKeyboardLed, 1);
    EXPECT_EQ(block.useKeyboardLedDirectAccess, 0);
    EXPECT_EQ(block.showTrayIcon, 0);
    EXPECT_EQ(block.useTrayLed, 0);
    EXPECT_EQ(block.showIndicatorLabel, 0);
    EXPECT_EQ(block.opacity, 0);
    EXPECT_EQ(block.samplingPeriod, 50);
    EXPECT_EQ(block.ledSizeIdx, 1);
    EXPECT_EQ(block.readColor, 255u);
    EXPECT_EQ(block.writeColor, 0x3232FFu);
    EXPECT_EQ(block.statPageRefresh, 0);
}

TEST_F(SettingsModelTest, OnlyTwentyIsCorrectedInFrequencyAndOnlyZeroToFiveKeptInLedSizeIdx)
{
    struct Case {
        const char* file;
        std::int32_t frequency, ledSizeIdx;
    };
    for (const Case& c : {Case{"[Appearance]\nFrequency=120\nLedSizeIdx=-1\n", 120, 1},
                          Case{"[Appearance]\nFrequency=30\nLedSizeIdx=5\n", 30, 5},
                          Case{"[Appearance]\nFrequency=21\nLedSizeIdx=0\n", 21, 0},
                          Case{"[Appearance]\nFrequency=-20\nLedSizeIdx=6\n", -20, 1}}) {
        SCOPED_TRACE(c.file);
        LoadWith(c.file);
        EXPECT_EQ(Settings().samplingPeriod, c.frequency);
        EXPECT_EQ(Settings().ledSizeIdx, c.ledSizeIdx);
    }
}

TEST_F(SettingsModelTest, IndicatorsLoadTheirPlaceAndOnlyYesShowsThem)
{
    Open("[\\\\.\\C:]\r\nx=300\r\ny=-4\r\nvisible=YES\r\n"
         "[a]\r\nvisible=no\r\n[b]\r\nvisible=No\r\n[c]\r\nvisible=0\r\n[d]\r\nvisible=1\r\n[e]\r\nvisible=yes\r\n");
    IndicatorSettings c{2, 2, false, store.get()};
    EXPECT_TRUE(ExchangeIndicatorSettings(c, Exchange::Load, L"\\\\.\\c:"));
    EXPECT_EQ(c.x, 300);
    EXPECT_EQ(c.y, -4);
    EXPECT_TRUE(c.visible);
    for (const wchar_t* hidden : {L"a", L"b", L"c", L"d"}) {
        IndicatorSettings record{38, 2, true, store.get()};
        ExchangeIndicatorSettings(record, Exchange::Load, hidden);
        EXPECT_FALSE(record.visible) << testing::PrintToString(std::wstring(hidden));
        EXPECT_EQ(record.x, 38);  // no "x": the build step's place stays
    }
    IndicatorSettings shown{0, 0, false, store.get()};
    ExchangeIndicatorSettings(shown, Exchange::Load, L"e");
    EXPECT_TRUE(shown.visible);

    IndicatorSettings missing{56, 2, false, store.get()};
    ExchangeIndicatorSettings(missing, Exchange::Load, L"_Total");
    EXPECT_EQ(missing.x, 56);
    EXPECT_EQ(missing.y, 2);
    EXPECT_TRUE(missing.visible);
}

TEST_F(SettingsModelTest, WithoutAStoreNothingMoves)
{
    EXPECT_FALSE(ExchangeGlobalSettings(Exchange::Load));
    EXPECT_FALSE(ExchangeGlobalSettings(Exchange::Store));
    EXPECT_EQ(IndicatorMode(), 0u);

    Open("[P]\r\nx=9\r\n");
    IndicatorSettings record{5, 6, false, nullptr};
    EXPECT_TRUE(ExchangeIndicatorSettings(record, Exchange::Load, L"P"));
    EXPECT_EQ(record.x, 5);
    EXPECT_FALSE(record.visible);
    EXPECT_TRUE(ExchangeIndicatorSettings(record, Exchange::Store, L"P"));
    EXPECT_FALSE(store->IsModified());
}

TEST_F(SettingsModelTest, BrushesAreRebuiltFromTheColoursAndTheOldOnesDeleted)
{
    SettingsBlock block;
    RebuildBrushes(block);
    const HBRUSH oldRead = block.readBrush.Get();
    block.readColor = RGB(10, 20, 30);
    RebuildBrushes(block);
    EXPECT_EQ(GetObjectType(oldRead), 0u);
    struct Expected {
        const UniqueBrush& brush;
        COLORREF colour;
    };
    for (const Expected& e : {Expected{block.readBrush, RGB(10, 20, 30)}, Expected{block.writeBrush, 0x3232FF},
                              Expected{block.idleBrush, 0xFF8232}}) {
        LOGBRUSH logBrush{};
        ASSERT_EQ(GetObjectW(e.brush.Get(), sizeof logBrush, &logBrush), static_cast<int>(sizeof logBrush));
        EXPECT_EQ(logBrush.lbStyle, static_cast<UINT>(BS_SOLID));
        EXPECT_EQ(logBrush.lbColor, e.colour);
    }
}

}  // namespace
