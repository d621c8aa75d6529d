// The drives' own tray icons through the display seam: an id each beside the
// all-drives icon, the shell told of an image only when it changes, each icon
// showing its own drive, all added again for "TaskbarCreated", an icon gone
// with its drive and back with it; and the label painted on the LED.
#include "app/sampling.h"
#include "app/session_window.h"
#include "indicator_fixture.h"

namespace {

class DriveTrayTest : public IndicatorsTest {
protected:
    void TearDown() override
    {
        App().driveTray.RemoveAll();
        IndicatorsTest::TearDown();
    }
    // How often the shell was asked for a message about the icon of the id.
    long Calls(DWORD message, UINT id) const
    {
        long count = 0;
        for (std::size_t i = 0; i < display.calls.size(); ++i)
            count += display.calls[i] == message && display.ids[i] == id;
        return count;
    }
};

// Drive 0 and C: chosen: ids 2 and 3 beside the all-drives icon's 1. Over 20
// ticks drive 0 writes every other tick and C: reads on every one.
TEST_F(DriveTrayTest, EachIconHasItsIdAndShowsItsOwnDriveChangingOnlyWithItsImage)
{
    Application& app = App();
    ASSERT_TRUE(RegisterWorkerClass(app.instance) && RegisterSessionClass(app.instance));
    app.worker.Reset(CreateWorkerWindow(app));
    app.sessionWindow.Reset(CreateSessionWindow(app));
    ScriptedRecord& drive = Add(kKindPhysicalDrive, L"0");
    Add(kKindAllInOne, L"All");
    Add(kKindLogicalDisk, L"C:").next = 0x00050000;
    app.displays[0]->tray = true;
    app.displays[2]->tray = true;
    AddTrayIconWithRetries(app);
    EXPECT_EQ((std::vector<UINT>{1, 1, 2, 2, 3, 3}), display.ids);
    for (int tick = 0; tick < 20; ++tick) {
        drive.next = tick % 2 ? 0 : 5;
        SamplingTick(app);
    }
    EXPECT_EQ(20, Calls(NIM_MODIFY, 2));
    EXPECT_EQ(1, Calls(NIM_MODIFY, 3));
    EXPECT_EQ(0, Calls(NIM_MODIFY, 1));
    EXPECT_EQ(app.driveTray.Find(2)->Icons().idle.Get(), app.driveTray.Find(2)->Shown());
    EXPECT_EQ(app.driveTray.Find(3)->Icons().shares[0].Get(), app.driveTray.Find(3)->Shown());

    SendMessageW(app.sessionWindow.Get(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    for (const UINT id : {1u, 2u, 3u})
        EXPECT_EQ(2, Calls(NIM_ADD, id)) << id;
    TearDownIndicators(app);  // C: gone
    Add(kKindPhysicalDrive, L"0");
    app.displays[0]->tray = true;
    EXPECT_TRUE(SyncDriveTrayIcons(app));
    EXPECT_EQ(2, Calls(NIM_DELETE, 3));  // one clearing the way for the add again, one as it goes
    Add(kKindLogicalDisk, L"C:");
    app.displays[1]->tray = true;
    EXPECT_TRUE(SyncDriveTrayIcons(app));
    EXPECT_EQ(3, Calls(NIM_ADD, 3));
    EXPECT_EQ(std::set<UINT>({1, 2, 3}), display.iconsShown);
    app.sessionWindow.Reset();
}

// "7" on the idle LED: its top bar (rows 2 and 3, x 5 to 10) in the light
// colour on the dark idle blue, which shows left of the glyph's second row.
TEST(DriveTrayLabel, TheDrivesNumberOrLetterIsPaintedOnTheLed)
{
    const LedIcons icons = BuildLedIcons(kRead, kWrite, kIdle, 16, L"7");
    const auto pixels = IconPixels(icons.idle.Get(), 16);
    for (const int x : {5, 10})
        EXPECT_EQ(0xFFF0F0F0u, pixels[3 * 16 + x]) << x;
    EXPECT_EQ(0xFF3282FFu, pixels[4 * 16 + 5]);
    EXPECT_EQ(L"C", DriveTrayLabel({L"\\\\.\\C:", L"C:\\", L"C:", L"", L"", L"", kKindLogicalDisk}));
}

}  // namespace
