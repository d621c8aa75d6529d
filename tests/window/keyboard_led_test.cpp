// The ScrollLock LED over runs of sampling ticks in both modes: switched only
// when its wanted state changes, NumLock and CapsLock kept, and the "Kbd" name
// and device released exactly as they were made.
#include <gtest/gtest.h>

#include "display/keyboard_led.h"
#include "settings/settings_model.h"
#include "tests/window/fake_display_system.h"

namespace {

// The tick's calls in its order: pre-step, records, post-step, switch.
void Tick(KeyboardLed& led, const SettingsBlock& settings, std::uint32_t activity)
{
    std::uint32_t any = 0xDEAD;
    led.PreStep(any, settings);
    ASSERT_EQ(0u, any);
    any |= activity;
    if (settings.useKeyboardLed)
        led.PostStep(any, settings);
    led.Apply(settings);
}

TEST(KeyboardLed, TicksSwitchOnlyOnChangesInBothModesAndKeepTheOtherLeds)
{
    struct Case {
        bool direct, feature;
        std::uint32_t pattern;  // bit i: activity in tick i of 10
        int switches;           // key events (synthesized) or requests (direct) over the run
    };
    const Case cases[] = {
        {false, true, 0x000, 2},  {false, true, 0x3FF, 0},  {false, true, 0x155, 18}, {false, true, 0x001, 2},
        {true, true, 0x000, 2},   {true, true, 0x3FF, 2},   {true, true, 0x155, 20},   {true, true, 0x3FE, 4},
        {false, false, 0x155, 0}, {true, false, 0x155, 0},
    };
    for (const Case& c : cases) {
        FakeDisplaySystem fake;
        fake.scrollLock = true;  // and the direct LED on: on before the program starts
        ScopedDisplaySystem seam(fake);
        SettingsBlock settings;
        settings.useKeyboardLed = c.feature;
        settings.useKeyboardLedDirectAccess = c.direct;
        KeyboardLed led;
        led.Open();
        for (int i = 0; i < 10; ++i) {
            const bool busy = (c.pattern >> i) & 1;
            Tick(led, settings, busy ? 0x00020001 : 0);
            const bool lit = c.direct ? (fake.leds & KEYBOARD_SCROLL_LOCK_ON) : fake.scrollLock;
            EXPECT_EQ(c.feature ? busy : true, lit) << c.direct << " " << std::hex << c.pattern << " tick " << i;
            EXPECT_EQ(KEYBOARD_NUM_LOCK_ON | KEYBOARD_CAPS_LOCK_ON, fake.leds & ~KEYBOARD_SCROLL_LOCK_ON);
        }
        EXPECT_EQ(c.switches, c.direct ? fake.requests : fake.keyEvents) << c.direct << " " << std::hex << c.pattern;
        EXPECT_EQ(0, c.direct ? fake.keyEvents : fake.requests);
    }
}

TEST(KeyboardLed, AFailedQuerySendsNoSet)
{
    FakeDisplaySystem fake;
    fake.queryWorks = false;
    ScopedDisplaySystem seam(fake);
    SettingsBlock settings;
    settings.useKeyboardLed = settings.useKeyboardLedDirectAccess = 1;
    KeyboardLed led;
    led.Open();
    Tick(led, settings, 1);
    EXPECT_EQ(1, fake.requests);
    EXPECT_EQ(KEYBOARD_NUM_LOCK_ON | KEYBOARD_CAPS_LOCK_ON | KEYBOARD_SCROLL_LOCK_ON, fake.leds);
}

TEST(KeyboardLed, CloseSwitchesOffOnceAndReleasesOnlyWhatOpenMade)
{
    constexpr DWORD kDefine = DDD_RAW_TARGET_PATH;
    constexpr DWORD kRemove = DDD_EXACT_MATCH_ON_REMOVE | DDD_REMOVE_DEFINITION | DDD_RAW_TARGET_PATH;
    struct Case {
        bool defineWorks, openWorks;
        std::vector<DWORD> defines;
        std::vector<HANDLE> closed;
    };
    const Case cases[] = {
        {true, true, {kDefine, kRemove}, {FakeDisplaySystem::kDevice}},
        {true, false, {kDefine, kRemove}, {}},  // INVALID_HANDLE_VALUE is never closed
        {false, true, {kDefine}, {}},           // another's "Kbd" stays
    };
    for (const Case& c : cases) {
        FakeDisplaySystem fake;
        fake.defineWorks = c.defineWorks;
        fake.openWorks = c.openWorks;
        fake.scrollLock = true;
        ScopedDisplaySystem seam(fake);
        SettingsBlock settings;
        settings.useKeyboardLed = 1;
        KeyboardLed led;
        led.Open();
        led.Close(settings);
        led.Close(settings);
        EXPECT_EQ(c.defines, fake.defines);
        EXPECT_EQ(c.closed, fake.closed);
        EXPECT_FALSE(fake.scrollLock);
        EXPECT_EQ(2, fake.keyEvents);
    }
}

}  // namespace
