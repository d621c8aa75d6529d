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
    struct Case {
        bool direct, feature;
        std::uint32_t pattern;  // bit i: activity in tick i of 10
        int switches;           // key events (synthesized) or requests (direct) over the run
        bool defineWorks = true, openWorks = true, queryWorks = true;
    };
    const Case cases[] = {
        {false, true, 0x000, 2}, {false, true, 0x3FF, 0}, {false, true, 0x155, 18}, {false, true, 0x001, 2},
        {true, true, 0x000, 2},  {true, true, 0x3FF, 2},  {true, true, 0x155, 20},  {true, true, 0x3FE, 4},
        {false, false, 0x155, 0}, {true, false, 0x155, 0},
        {true, true, 0x3FF, 10, true, true, false},  // a failed query sends no set
        {true, true, 0x3FF, 0, true, false}, {true, true, 0x3FF, 0, false},  // no device: no requests
    };
    for (const Case& c : cases) {
        FakeDisplaySystem fake;
        fake.defineWorks = c.defineWorks, fake.openWorks = c.openWorks, fake.queryWorks = c.queryWorks;
        ScopedDisplaySystem seam(fake);
        SettingsBlock settings;
        settings.useKeyboardLed = c.feature;
        settings.useKeyboardLedDirectAccess = c.direct;
        const auto lit = [&] { return c.direct ? (fake.leds & KEYBOARD_SCROLL_LOCK_ON) != 0 : fake.scrollLock; };
        const std::string name = std::to_string(c.direct) + std::to_string(c.feature) + " " + std::to_string(c.pattern);
        KeyboardLed led;
        led.Open();
        for (int i = 0; i < 10; ++i) {  // the tick's calls in its order
            const bool busy = (c.pattern >> i) & 1;
            std::uint32_t any = 0xDEAD;
            led.PreStep(any, settings);
            ASSERT_EQ(0u, any);
            if (settings.useKeyboardLed)
                led.PostStep(any | (busy ? 0x00020001 : 0), settings);
            led.Apply(settings);
            EXPECT_EQ(c.feature ? busy : true, lit()) << name << " tick " << i;
            EXPECT_EQ(KEYBOARD_NUM_LOCK_ON | KEYBOARD_CAPS_LOCK_ON, fake.leds & ~KEYBOARD_SCROLL_LOCK_ON) << name;
        }
        EXPECT_EQ(c.switches, c.direct ? fake.requests : fake.switches) << name;
        EXPECT_EQ(0, c.direct ? fake.switches : fake.requests) << name;
        led.Close(settings);
        led.Close(settings);
        EXPECT_FALSE(c.feature && (!c.direct || (c.queryWorks && c.openWorks && c.defineWorks)) && lit()) << name;
        EXPECT_EQ(c.defineWorks ? std::vector<DWORD>{DDD_RAW_TARGET_PATH, kRemove} : std::vector<DWORD>{DDD_RAW_TARGET_PATH},
                  fake.defines) << name;
        EXPECT_EQ(c.defineWorks && c.openWorks ? std::vector<HANDLE>{FakeDisplaySystem::kDevice} : std::vector<HANDLE>{},
                  fake.closed) << name;  // INVALID_HANDLE_VALUE is never closed
    }
}

}  // namespace
