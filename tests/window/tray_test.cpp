// The tray LED images pixel by pixel for the icon picked for a state, the
// notification icon's calls to the shell: NIM_MODIFY only on changes, one
// add, failed adds retried, and the icon added again for "TaskbarCreated";
// and the keyboard LED.
#include "app/session_window.h"
#include "indicator_fixture.h"

namespace {

// PickLedIcon's icon for a state (high 16 bits read, low 16 bits write) at a
// DPI: read rows [top, mid), write rows [mid, bottom), corners and the rest
// transparent.
TEST(IconPainter, PickedIconPixelsAtEachSize)
{
    struct Case {
        UINT dpi;
        std::uint32_t state;
        int top, mid, bottom;
    };
    const Case cases[] = {{96, 0x00030001, 2, 10, 13}, {96, 0x00050000, 2, 13, 13}, {96, 0x00000005, 2, 2, 13},
                          {96, 0x00010001, 2, 8, 13},  {96, 0x0001FFFF, 2, 3, 13},  {96, 0, 2, 13, 13},  // idle
                          {144, 0x00030001, 3, 16, 20}};
    const auto opaque = [](COLORREF c) { return 0xFF000000 | GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c); };
    for (const Case& c : cases) {
        const int size = LedIconSizeForDpi(c.dpi);
        ASSERT_EQ(c.dpi / 6, static_cast<UINT>(size));  // 16 at 96 DPI, 24 at 144
        const LedIcons icons = BuildLedIcons(kRead, kWrite, c.state ? kIdle : kRead, size);
        const auto pixels = IconPixels(PickLedIcon(icons, c.state >> 16, c.state & 0xFFFF), size);
        for (int i = 0; i < size * size; ++i) {
            const int x = i % size;
            const int y = i / size;
            const bool corner = (x == 0 || x == size - 1) && (y == c.top || y == c.bottom - 1);
            const std::uint32_t expected = y < c.top || y >= c.bottom || corner ? 0
                                           : y < c.mid                          ? opaque(kRead)
                                                                                : opaque(kWrite);
            ASSERT_EQ(expected, pixels[i]) << std::hex << c.state << " " << std::dec << x << "," << y;
        }
    }
    const LedIcons white = BuildLedIcons(RGB(255, 255, 255), RGB(255, 255, 255), kIdle, 16);
    EXPECT_EQ(std::vector<std::uint32_t>(256), IconPixels(PickLedIcon(white, 1, 1), 16));  // all transparent
    EXPECT_TRUE(BuildLedIcons(kRead, kWrite, kIdle, 0).Empty());  // no DIB section: no icons, no crash
}

// Runs of 20 ticks alternating between two tray states, one update a tick.
TEST_F(IndicatorsTest, TrayIconModifiesOnlyWhenTheImageChanges)
{
    const HICON application = LoadIconW(nullptr, IDI_APPLICATION);
    const HICON off = LoadIconW(nullptr, IDI_HAND);
    const HICON on = LoadIconW(nullptr, IDI_WARNING);
    // shown: 0 the application icon, 1 LED off, 2 LED on, 3 painted idle, 4 painted read
    struct Case {
        std::uint32_t states[2];
        bool painted, trayLed;
        int modifies, shown;
    };
    const Case cases[] = {{{0x00050000, 0x00050000}, true, true, 1, 4},
                          {{0x00050000, 0}, true, true, 20, 3},
                          {{0x00010000, 0}, false, true, 20, 1},
                          {{0x00050000, 0}, true, false, 0, 0}};
    for (const Case& c : cases) {
        SettingsBlock settings;
        settings.useTrayLed = c.trayLed;
        {
            TrayIcon icon;
            icon.UseIcons(application, off, on);
            if (c.painted)
                icon.BuildLedIcons(settings);
            ASSERT_TRUE(icon.Add(nullptr, 0, settings));
            display.calls.clear();
            for (int tick = 0; tick < 20; ++tick)
                icon.Update(c.states[tick % 2], settings);
            EXPECT_EQ(c.modifies, std::count(display.calls.begin(), display.calls.end(), NIM_MODIFY)) << c.states[0];
            const HICON images[] = {application, off, on, icon.Icons().idle.Get(),
                                    c.painted ? icon.Icons().shares[0].Get() : nullptr};
            EXPECT_EQ(images[c.shown], display.images.back()) << c.states[0];
        }
        EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), display.calls.back());  // its owner gone, the icon goes
    }
}

// Start-up's add fails, then its version call fails (the icon is deleted
// again); the worker's timer retries until both work. Another add does
// nothing, and "TaskbarCreated" reaching the session window adds it again.
// An add the shell reports failed but makes all the same is found by a modify.
TEST_F(IndicatorsTest, TrayIconFailedAddsAreRetriedAndTaskbarCreatedAddsTheIconAgain)
{
    display.failAdds = display.failVersions = 1;
    ASSERT_TRUE(RegisterWorkerClass(App().instance) && RegisterSessionClass(App().instance));
    App().worker.Reset(CreateWorkerWindow(App()));  // the real worker in its place
    App().sessionWindow.Reset(CreateSessionWindow(App()));
    EXPECT_EQ(
        (std::vector<std::pair<HWND, UINT>>{{App().sessionWindow.Get(), RegisterWindowMessageW(L"TaskbarCreated")}}),
        display.allowed);  // also from a shell of a lower integrity level
    AddTrayIconWithRetries(App());
    for (const DWORD start = GetTickCount(); !App().tray.Present() && GetTickCount() - start < 10000; Sleep(10))
        for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);)
            DispatchMessageW(&message);
    EXPECT_TRUE(AddTrayIcon(App()));
    SendMessageW(App().sessionWindow.Get(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_EQ((std::vector<DWORD>{NIM_ADD, NIM_MODIFY, NIM_ADD, NIM_SETVERSION, NIM_DELETE, NIM_ADD, NIM_SETVERSION,
                                  NIM_DELETE, NIM_ADD, NIM_SETVERSION}),
              display.calls);  // every one with the structure size of version 3 on x64, 968
    EXPECT_TRUE(App().tray.Present());

    RemoveTrayIcon(App());
    display.calls.clear();
    display.lateAdds = 1;
    AddTrayIconWithRetries(App());
    EXPECT_TRUE(App().tray.Present());
    EXPECT_EQ((std::vector<DWORD>{NIM_ADD, NIM_MODIFY, NIM_SETVERSION}), display.calls);
    App().sessionWindow.Reset();
}

// The ScrollLock LED over runs of sampling ticks in both modes: switched only
// when its wanted state differs from the LED (direct mode reads the LEDs once a
// tick: a lock key makes the system rewrite them), NumLock and CapsLock kept;
// a keyboard device that cannot be had or fails a request leaves the LED to
// key presses; the "Kbd" name and device released exactly as they were made.
TEST(KeyboardLed, TicksSwitchOnlyOnChangesAndCloseReleasesOnlyWhatOpenMade)
{
    constexpr DWORD kRemove = DDD_EXACT_MATCH_ON_REMOVE | DDD_REMOVE_DEFINITION | DDD_RAW_TARGET_PATH;
    const std::vector<DWORD> defined{DDD_RAW_TARGET_PATH}, definedAndRemoved{DDD_RAW_TARGET_PATH, kRemove};
    // Columns: direct mode, feature on, activity pattern (bit i: tick i of 10), key events and keyboard requests
    // (a query a tick and the sets) over the run, "Kbd" defined, device opened, query and set answered, the
    // tick before which a lock key rewrites the LEDs with ScrollLock's dark (-1: none).
    struct Case {
        bool direct, feature;
        std::uint32_t pattern;
        int keys, requests;
        bool define, open, query, set;
        int rewrite;
    };
    const Case cases[] = {
        {0, 1, 0x000, 2, 0, 1, 1, 1, 1, -1},  {0, 1, 0x3FF, 0, 0, 1, 1, 1, 1, -1},
        {0, 1, 0x155, 18, 0, 1, 1, 1, 1, -1}, {0, 1, 0x001, 2, 0, 1, 1, 1, 1, -1},
        {1, 1, 0x000, 0, 11, 1, 1, 1, 1, -1}, {1, 1, 0x3FF, 0, 10, 1, 1, 1, 1, -1},
        {1, 1, 0x155, 0, 19, 1, 1, 1, 1, -1}, {1, 1, 0x3FE, 0, 12, 1, 1, 1, 1, -1},
        {1, 1, 0x3FF, 0, 11, 1, 1, 1, 1, 5},  {0, 0, 0x155, 0, 0, 1, 1, 1, 1, -1},
        {1, 0, 0x155, 0, 0, 1, 1, 1, 1, -1},  {1, 1, 0x155, 18, 0, 0, 1, 1, 1, -1},
        {1, 1, 0x155, 18, 0, 1, 0, 1, 1, -1},                                        // no device: by keys
        {1, 1, 0x155, 18, 1, 1, 1, 0, 1, -1}, {1, 1, 0x155, 18, 3, 1, 1, 1, 0, -1},  // a failed request: by keys
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        FakeDisplaySystem fake;
        fake.defineWorks = c.define;
        fake.openWorks = c.open;
        fake.queryWorks = c.query;
        fake.setWorks = c.set;
        ScopedDisplaySystem seam(fake);
        SettingsBlock settings;
        settings.useKeyboardLed = c.feature;
        settings.useKeyboardLedDirectAccess = c.direct;
        KeyboardLed led;
        const auto lit = [&] {
            return c.direct && led.DirectAvailable() ? (fake.leds & KEYBOARD_SCROLL_LOCK_ON) != 0 : fake.scrollLock;
        };
        led.Open();
        for (int i = 0; i < 10; ++i) {  // the tick's calls in its order
            if (i == c.rewrite)
                fake.leds &= ~KEYBOARD_SCROLL_LOCK_ON;
            std::uint32_t any = 1;
            led.PreStep(any, settings);
            if (settings.useKeyboardLed)
                led.PostStep(any | ((c.pattern >> i) & 1), settings);
            led.Apply(settings);
            EXPECT_EQ(!c.feature || ((c.pattern >> i) & 1), lit()) << "tick " << i;
            EXPECT_EQ(KEYBOARD_NUM_LOCK_ON | KEYBOARD_CAPS_LOCK_ON, fake.leds & ~KEYBOARD_SCROLL_LOCK_ON);
            fake.now += 50;
            fake.lastInput = fake.now;  // the user at work
        }
        EXPECT_EQ(c.keys, fake.switches);
        EXPECT_EQ(c.requests, fake.requests);
        EXPECT_EQ(c.define && c.open && c.query && c.set, led.DirectAvailable());
        led.Close(settings);
        led.Close(settings);
        EXPECT_FALSE(c.feature && lit());
        EXPECT_EQ(c.define ? definedAndRemoved : defined, fake.defines);
        EXPECT_EQ(c.open && c.define ? std::vector<HANDLE>{FakeDisplaySystem::kDevice} : std::vector<HANDLE>{},
                  fake.closed);  // INVALID_HANDLE_VALUE is never closed
    }
}

// The program's own press is stamped with the input system's clock, which
// may read a tick before the program's: input stamped between the clock's
// readings before and after the press, give or take 20 ms, is that press and
// does not count as the user's; input 30 ms later does.
TEST(KeyboardLed, InputStampedAroundTheProgramsPressIsNotTheUsers)
{
    for (const auto& [stamp, away] : {std::pair{-16, true}, {3, true}, {30, false}}) {
        FakeDisplaySystem fake;
        ScopedDisplaySystem seam(fake);
        fake.clockStep = 5;  // the clock moves 5 ms between two readings
        fake.stamp = stamp;  // the press is stamped this much after the reading before it
        fake.scrollLock = false;
        SettingsBlock settings;
        settings.useKeyboardLed = 1;
        KeyboardLed led;
        led.Open();
        std::uint32_t any = 0;
        led.PreStep(any, settings);
        led.PostStep(1, settings);
        fake.now = 150000;    // 50 s after the user's last input
        led.Apply(settings);  // pressed on
        ASSERT_TRUE(fake.scrollLock);
        fake.now = 160000;  // a minute after the user's last input: away unless the press was the user's
        led.Apply(settings);
        EXPECT_EQ(!away, fake.scrollLock) << stamp;
        led.Close(settings);
    }
}

}  // namespace
