// The ScrollLock LED over runs of sampling ticks in both modes: switched only
// when its wanted state changes, NumLock and CapsLock kept, and the "Kbd" name
// and device released exactly as they were made.
#include <gtest/gtest.h>

#include "display/keyboard_led.h"
#include "settings/settings_model.h"
#include "tests/window/fake_display_system.h"

namespace {

TEST(KeyboardLed, TicksSwitchOnlyOnChangesAndCloseReleasesOnlyWhatOpenMade)
{
    constexpr DWORD kRemove = DDD_EXACT_MATCH_ON_REMOVE | DDD_REMOVE_DEFINITION | DDD_RAW_TARGET_PATH;
    const std::vector<DWORD> defined{DDD_RAW_TARGET_PATH}, definedAndRemoved{DDD_RAW_TARGET_PATH, kRemove};
    // Columns: direct mode, feature on, activity pattern (bit i: tick i of 10), key events (synthesized) or
    // requests (direct) over the run, "Kbd" defined, device opened, query answered.
    struct Case { bool direct, feature; std::uint32_t pattern; int switches; bool define, open, query; };
    const Case cases[] = {
        {0, 1, 0x000, 2, 1, 1, 1}, {0, 1, 0x3FF, 0, 1, 1, 1}, {0, 1, 0x155, 18, 1, 1, 1}, {0, 1, 0x001, 2, 1, 1, 1},
        {1, 1, 0x000, 2, 1, 1, 1}, {1, 1, 0x3FF, 2, 1, 1, 1}, {1, 1, 0x155, 20, 1, 1, 1}, {1, 1, 0x3FE, 4, 1, 1, 1},
        {0, 0, 0x155, 0, 1, 1, 1}, {1, 0, 0x155, 0, 1, 1, 1}, {1, 1, 0x3FF, 0, 0, 1, 1}, {1, 1, 0x3FF, 0, 1, 0, 1},
        {1, 1, 0x3FF, 10, 1, 1, 0},  // a failed query sends no set
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.direct << c.feature << " " << c.pattern << c.define << c.open);
        FakeDisplaySystem fake;
        fake.defineWorks = c.define, fake.openWorks = c.open, fake.queryWorks = c.query;
        ScopedDisplaySystem seam(fake);
        SettingsBlock settings;
        settings.useKeyboardLed = c.feature, settings.useKeyboardLedDirectAccess = c.direct;
        const auto lit = [&] { return c.direct ? (fake.leds & KEYBOARD_SCROLL_LOCK_ON) != 0 : fake.scrollLock; };
        KeyboardLed led;
        led.Open();
        for (int i = 0; i < 10; ++i) {  // the tick's calls in its order
            std::uint32_t any = 1;
            led.PreStep(any, settings);
            if (settings.useKeyboardLed)
                led.PostStep(any | ((c.pattern >> i) & 1), settings);
            led.Apply(settings);
            EXPECT_EQ(!c.feature || ((c.pattern >> i) & 1), lit()) << "tick " << i;
            EXPECT_EQ(KEYBOARD_NUM_LOCK_ON | KEYBOARD_CAPS_LOCK_ON, fake.leds & ~KEYBOARD_SCROLL_LOCK_ON);
        }
        EXPECT_EQ(c.switches, c.direct ? fake.requests : fake.switches);
        EXPECT_EQ(0, c.direct ? fake.switches : fake.requests);
        led.Close(settings);
        led.Close(settings);
        EXPECT_FALSE(c.feature && (!c.direct || (c.query && c.open && c.define)) && lit());
        EXPECT_EQ(c.define ? definedAndRemoved : defined, fake.defines);
        EXPECT_EQ(c.open && c.define ? std::vector<HANDLE>{FakeDisplaySystem::kDevice} : std::vector<HANDLE>{},
                  fake.closed);  // INVALID_HANDLE_VALUE is never closed
    }
}

}  // namespace
