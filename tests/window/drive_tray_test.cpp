// The drives' own tray icons through the display seam: an id each beside the
// all-drives icon, the shell told of an image only when it changes, each icon
// showing its own drive, all added again when the shell restarts, an icon
// gone with its drive and back with it; and the label painted on the LED.
#include "app/sampling.h"
#include "indicator_fixture.h"

namespace {

// Drive 0 and C: chosen: ids 2 and 3 beside the all-drives icon's 1. Over 20
// ticks drive 0 writes every other tick and C: reads on every one. Then a
// rebuild after a device change finds neither drive, and C: comes back.
TEST_F(IndicatorsTest, EachDrivesTrayIconHasItsIdAndShowsItsDriveChangingOnlyWithItsImage)
{
    Application& app = App();
    ScriptedRecord& drive = Add(kKindPhysicalDrive, L"0");
    Add(kKindAllInOne, L"All");
    Add(kKindLogicalDisk, L"C:").next = 0x00050000;
    app.displays[0]->tray = true;
    app.displays[2]->tray = true;
    AddTrayIconWithRetries(app);
    ASSERT_EQ(std::set<UINT>({1, 2, 3}), display.iconsShown);
    for (int tick = 0; tick < 20; ++tick) {
        drive.next = tick % 2 ? 0 : 5;
        SamplingTick(app);
    }
    EXPECT_EQ(20u, display.callsById.count({NIM_MODIFY, 2}));
    EXPECT_EQ(1u, display.callsById.count({NIM_MODIFY, 3}));
    EXPECT_EQ(app.driveTray.Find(2)->Icons().idle.Get(), app.driveTray.Find(2)->Shown());
    EXPECT_EQ(app.driveTray.Find(3)->Icons().shares[0].Get(), app.driveTray.Find(3)->Shown());
    AddTrayIconAgain(app);
    for (const UINT id : {1u, 2u, 3u})
        EXPECT_EQ(2u, display.callsById.count({NIM_ADD, id})) << id;
    RebuildAfterDeviceChange(app);
    EXPECT_EQ(std::set<UINT>({1}), display.iconsShown);
    Add(kKindLogicalDisk, L"C:");
    app.displays.back()->tray = true;
    EXPECT_TRUE(SyncDriveTrayIcons(app));
    EXPECT_EQ(std::set<UINT>({1, 2}), display.iconsShown);
    app.driveTray.RemoveAll();
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
}

}  // namespace
