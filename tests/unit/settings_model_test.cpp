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

// The block's settings in the order they are written.
std::vector<std::int64_t> Values(const SettingsBlock& b)
{
    return {b.opacity, b.samplingPeriod, b.readColor, b.writeColor, b.idleColor, b.statPageRefresh, b.ledSizeIdx,
            b.startWithWindows, b.useKeyboardLed, b.useKeyboardLedDirectAccess, b.showTrayIcon, b.useTrayLed,
            b.showIndicatorLabel};
}

class SettingsModelTest : public ::testing::Test {
protected:
    SettingsModelTest()
    {
        Settings() = SettingsBlock{};
        SetIndicatorMode(0);
    }
    ~SettingsModelTest() override { SetSettingsStore(nullptr); }
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

    TempFolder folder;
    std::wstring file = folder / L"settings.ini";
    std::unique_ptr<CIniEx> store;
};

TEST_F(SettingsModelTest, FirstStartLoadsEveryDefaultAndWritesTheFirstFileByteForByte)
{
    Open();
    // Values the defaults must replace: a missing key loads as its default.
    Settings().useKeyboardLedDirectAccess = 0;
    Settings().opacity = 1;
    ASSERT_TRUE(ExchangeGlobalSettings(Exchange::Load));
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
    Open("[general]\r\nClass=abc\r\nStartWithWindows=Yes\r\nUseKeyboardLed=yes\r\nUseKeyboardLedDirectAccess=1\r\n"
         "ShowTrayIcon=NO\r\nUseTrayLed=Yes \r\nShowIndicatorLabel=\r\n[Appearance]\r\nOpacity=x\r\nFrequency=20\r\n"
         "LedSizeIdx=9\r\nColorRead=255\r\nStatPageRefresh=0\r\n");
    ASSERT_TRUE(ExchangeGlobalSettings(Exchange::Load));
    EXPECT_EQ(IndicatorMode(), 0u);  // hand-written [general] is "General"
    EXPECT_EQ(Values(Settings()), (std::vector<std::int64_t>{0, 50, 255, 0x3232FF, 0xFF8232, 0, 1, 0, 1, 0, 0, 0, 0}));

    // Only 20 is corrected in "Frequency", only 0 to 5 are kept in "LedSizeIdx".
    struct Case {
        const char* file;
        std::int32_t frequency, ledSizeIdx;
    };
    for (const Case& c : {Case{"[Appearance]\nFrequency=120\nLedSizeIdx=-1\n", 120, 1},
                          Case{"[Appearance]\nFrequency=30\nLedSizeIdx=5\n", 30, 5},
                          Case{"[Appearance]\nFrequency=21\nLedSizeIdx=0\n", 21, 0},
                          Case{"[Appearance]\nFrequency=-20\nLedSizeIdx=6\n", -20, 1}}) {
        SCOPED_TRACE(c.file);
        Open(c.file);
        ASSERT_TRUE(ExchangeGlobalSettings(Exchange::Load));
        EXPECT_EQ(Settings().samplingPeriod, c.frequency);
        EXPECT_EQ(Settings().ledSizeIdx, c.ledSizeIdx);
    }
}

TEST_F(SettingsModelTest, IndicatorsLoadTheirPlaceAndOnlyYesShowsThem)
{
    Open("[\\\\.\\C:]\r\nx=300\r\ny=-4\r\nvisible=YES\r\n"
         "[a]\r\nvisible=no\r\n[b]\r\nvisible=No\r\n[c]\r\nvisible=0\r\n[d]\r\nvisible=1\r\n[e]\r\nvisible=yes\r\n");
    struct Case {
        const wchar_t* section;
        std::int32_t x, y;
        bool visible;
    };
    // Without "x" or "y" the place the record was built with stays; without
    // "visible" it is shown.
    for (const Case& c : {Case{L"\\\\.\\c:", 300, -4, true}, Case{L"a", 38, 2, false}, Case{L"b", 38, 2, false},
                          Case{L"c", 38, 2, false}, Case{L"d", 38, 2, false}, Case{L"e", 38, 2, true},
                          Case{L"_Total", 38, 2, true}}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.section)));
        IndicatorSettings record{38, 2, !c.visible, store.get()};
        EXPECT_TRUE(ExchangeIndicatorSettings(record, Exchange::Load, c.section));
        EXPECT_EQ(record.x, c.x);
        EXPECT_EQ(record.y, c.y);
        EXPECT_EQ(record.visible, c.visible);
    }
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
    for (const auto& [brush, colour] : {std::pair{block.readBrush.Get(), RGB(10, 20, 30)},
                                        std::pair{block.writeBrush.Get(), RGB(255, 50, 50)},
                                        std::pair{block.idleBrush.Get(), RGB(50, 130, 255)}}) {
        LOGBRUSH logBrush{};
        ASSERT_EQ(GetObjectW(brush, sizeof logBrush, &logBrush), static_cast<int>(sizeof logBrush));
        EXPECT_EQ(logBrush.lbStyle, static_cast<UINT>(BS_SOLID));
        EXPECT_EQ(logBrush.lbColor, colour);
    }
}

}  // namespace
