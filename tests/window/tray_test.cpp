// The tray LED images pixel by pixel, the icon picked for a state, and the
// notification icon's calls to the shell: one add, a retried failed add, the
// icon added again for "TaskbarCreated", and NIM_MODIFY only on changes.
#include <gtest/gtest.h>

#include "app/application.h"
#include "app/session_window.h"
#include "app/shell.h"
#include "app/worker_window.h"
#include "display/tray_icon.h"
#include "settings/settings_model.h"
#include "tests/window/fake_display_system.h"

namespace {

constexpr COLORREF kRead = RGB(50, 255, 50);
constexpr COLORREF kWrite = RGB(255, 50, 50);
constexpr COLORREF kIdle = RGB(50, 130, 255);

// The icon's colour pixels top row first as 0xAARRGGBB.
std::vector<std::uint32_t> IconPixels(HICON icon, int size)
{
    ICONINFO info{};
    EXPECT_TRUE(GetIconInfo(icon, &info));
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB};
    std::vector<std::uint32_t> pixels(size * size);
    const HDC screen = GetDC(nullptr);
    EXPECT_EQ(size, GetDIBits(screen, info.hbmColor, 0, size, pixels.data(), &format, DIB_RGB_COLORS));
    ReleaseDC(nullptr, screen);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return pixels;
}

std::uint32_t Opaque(COLORREF colour)
{
    return 0xFF000000 | GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
}

TEST(IconPainter, BarRowsCornersAndTransparencyAtEachSize)
{
    struct Case {
        UINT dpi;
        COLORREF read, write;
        std::uint32_t state;
        int top, mid, bottom;  // read rows [top, mid), write rows [mid, bottom)
    };
    const Case cases[] = {
        {96, kRead, kWrite, 0x00030001, 2, 10, 13}, {96, kRead, kWrite, 0x00050000, 2, 13, 13},
        {96, kRead, kWrite, 0x00000005, 2, 2, 13},  {144, kRead, kWrite, 0x00030001, 3, 16, 20},
        {96, RGB(255, 255, 255), RGB(255, 255, 255), 0x00010001, 0, 0, 0},  // white: nothing shows
    };
    for (const Case& c : cases) {
        const int size = LedIconSizeForDpi(c.dpi);
        ASSERT_EQ(c.dpi * 16 / 96, static_cast<UINT>(size));
        const LedIcons icons = BuildLedIcons(c.read, c.write, kIdle, size);
        ASSERT_FALSE(icons.Empty());
        const std::vector<std::uint32_t> pixels = IconPixels(PickLedIcon(icons, c.state >> 16, c.state & 0xFFFF), size);
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const bool corner = (x == 0 || x == size - 1) && (y == c.top || y == c.bottom - 1);
                const std::uint32_t expected = y < c.top || y >= c.bottom || corner ? 0
                                               : y < c.mid                         ? Opaque(c.read)
                                                                                   : Opaque(c.write);
                ASSERT_EQ(expected, pixels[y * size + x]) << std::hex << c.state << " at " << std::dec << x << ","
                                                          << y << " size " << size;
            }
        }
    }
    EXPECT_TRUE(BuildLedIcons(kRead, kWrite, kIdle, 0).Empty());  // no DIB section: no icons, no crash
}

TEST(IconPainter, PickLedIconIndexes)
{
    const LedIcons icons = BuildLedIcons(kRead, kWrite, kIdle);
    struct Case {
        std::uint64_t read, write;
        int index;  // -1: the idle icon
    };
    for (const Case& c : {Case{0, 0, -1}, Case{5, 0, 0}, Case{0, 5, 8}, Case{3, 1, 2}, Case{1, 1, 4}, Case{1, 3, 6},
                          Case{1, 0xFFFF, 7}, Case{1ull << 40, 1ull << 40, 4}}) {
        EXPECT_EQ(c.index < 0 ? icons.idle.Get() : icons.shares[c.index].Get(), PickLedIcon(icons, c.read, c.write))
            << c.read << "/" << c.write;
    }
    EXPECT_EQ(nullptr, PickLedIcon(LedIcons{}, 1, 1));
}

class TrayTest : public ::testing::Test {
protected:
    TrayTest() : seam(fake)
    {
        icons[0] = LoadIconW(nullptr, IDI_APPLICATION);
        icons[1] = LoadIconW(nullptr, IDI_HAND);
        icons[2] = LoadIconW(nullptr, IDI_WARNING);
        tray.UseIcons(icons[0], icons[1], icons[2]);
    }
    FakeDisplaySystem fake;
    ScopedDisplaySystem seam;
    HICON icons[3] = {};
    SettingsBlock settings;
    TrayIcon tray;
};

TEST_F(TrayTest, AddsOnceWithTheV3SizeAndAFailedVersionCallLeavesNoIconBehind)
{
    fake.failVersion = true;
    EXPECT_FALSE(tray.Add(nullptr, 0, settings));
    EXPECT_EQ((std::vector<DWORD>{NIM_ADD, NIM_SETVERSION, NIM_DELETE}), fake.calls);
    fake.failVersion = false;
    EXPECT_TRUE(tray.Add(nullptr, 0, settings));
    EXPECT_TRUE(tray.Add(nullptr, 0, settings));
    EXPECT_EQ(2, fake.Count(NIM_ADD));
    EXPECT_EQ(std::vector<DWORD>(5, 968), fake.sizes);
}

// Each case is a run of 20 ticks alternating between two tray states; a tick
// ends with one update, as the sampling tick does.
TEST_F(TrayTest, ModifiesOnlyWhenTheImageChanges)
{
    struct Case {
        const char* name;
        std::uint32_t states[2];
        bool painted, trayLed;
        int modifies;
        int shown;  // 0 application icon, 1 LED off, 2 LED on, 3 painted idle, 4 painted read
    };
    const Case cases[] = {
        {"idle", {0, 0}, true, true, 0, 3},
        {"steady", {0x00050000, 0x00050000}, true, true, 1, 4},
        {"alternating", {0x00050000, 0}, true, true, 20, 3},
        {"no painted icons", {0x00010000, 0}, false, true, 20, 1},
        {"application icon", {0x00050000, 0}, true, false, 0, 0},
    };
    for (const Case& c : cases) {
        settings.useTrayLed = c.trayLed;
        TrayIcon icon;
        icon.UseIcons(icons[0], icons[1], icons[2]);
        if (c.painted)
            icon.BuildLedIcons(settings);
        ASSERT_TRUE(icon.Add(nullptr, 0, settings));
        fake.calls.clear();
        for (int tick = 0; tick < 20; ++tick)
            icon.Update(c.states[tick % 2], settings);
        EXPECT_EQ(c.modifies, fake.Count(NIM_MODIFY)) << c.name;
        const HICON images[] = {icons[0], icons[1], icons[2], icon.Icons().idle.Get(),
                                c.painted ? icon.Icons().shares[0].Get() : nullptr};
        EXPECT_EQ(images[c.shown], fake.images.back()) << c.name;
    }
}

// Start-up's failed add is tried again by the worker's timer, and the shell's
// "TaskbarCreated" reaching the session window puts the icon back.
TEST_F(TrayTest, AFailedAddIsRetriedAndTaskbarCreatedAddsTheIconAgain)
{
    Application& app = App();
    app.instance = GetModuleHandleW(nullptr);
    ASSERT_TRUE(RegisterWorkerClass(app.instance) && RegisterSessionClass(app.instance));
    app.worker = CreateWorkerWindow(app.instance);
    app.sessionWindow = CreateSessionWindow(app.instance);
    app.tray.UseIcons(icons[0], icons[1], icons[2]);
    fake.failAdds = 1;
    AddTrayIconWithRetries();
    EXPECT_FALSE(app.tray.Present());
    const DWORD start = GetTickCount();
    for (MSG message; !app.tray.Present() && GetTickCount() - start < 5000; Sleep(10)) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    EXPECT_TRUE(app.tray.Present());
    EXPECT_EQ((std::vector<DWORD>{NIM_ADD, NIM_ADD, NIM_SETVERSION}), fake.calls);

    fake.calls.clear();
    SendMessageW(app.sessionWindow, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_EQ((std::vector<DWORD>{NIM_DELETE, NIM_ADD, NIM_SETVERSION}), fake.calls);
    EXPECT_TRUE(app.tray.Present());
    app.tray.Remove();
    DestroyWindow(app.sessionWindow);
    DestroyWindow(app.worker);
}

}  // namespace
