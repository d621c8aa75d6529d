// Indicator windows and the sampling cycle over real windows: the LED's
// pixels, arrangement, the highlight, repainting only on change, the tick's
// effect on records and windows, teardown, a drive's removal, the sampler.
// The shell's dealings with the system: who may do what with the exit event,
// what wakes and ends the message loop.
#include "indicator_fixture.h"

#include <aclapi.h>
#include <dbt.h>
#include <sddl.h>

#include <functional>
#include <thread>

#include "app/message_loop.h"
#include "app/named_events.h"
#include "app/sampler.h"
#include "app/sampling.h"
#include "app/startup.h"
#include "sources/disk_source.h"
#include "tests/support/fake_source_system.h"
#include "tests/support/perf_snapshot.h"
#include "tools/perfprov/linux_disks.h"

namespace {

// Runs the message loop while another thread waits `ms` and calls `then`; a
// loop that never ends ends with 99 in 5 s, so its test fails in seconds.
int RunLoopWhile(DWORD ms, const std::function<void()>& then)
{
    std::thread other([&] {
        Sleep(ms);
        then();
    });
    const UINT_PTR watchdog = SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(99); });
    const int code = RunMessageLoop(App(), nullptr);
    KillTimer(nullptr, watchdog);
    other.join();
    return code;
}

// '1' for each indicator whose window is shown.
std::string Shown()
{
    std::string text;
    for (const auto& data : App().displays)
        text += IsWindowVisible(data->Window()) ? "1" : "0";
    return text;
}

// Rows [0, split) in the top colour, the rest in the write colour.
TEST_F(IndicatorsTest, LedFillsEachStateRowByRowAndSplitsInProportion)
{
    struct Case {
        std::uint32_t state;
        int split;
        COLORREF top;
    };
    const Case cases[] = {{0, 18, kIdle},          {0x00010000, 18, kRead}, {0x00000001, 0, kWrite},
                          {0x00030001, 13, kRead}, {0x00010003, 4, kRead},  {0xFFFF0001, 17, kRead}};
    for (const Case& c : cases) {
        const Canvas canvas(24, 18);
        PaintLed(canvas.dc, {0, 0, 24, 18}, c.state, {kRead, kWrite, kIdle}, nullptr);
        for (int y = 0; y < 18; ++y) {
            for (int x = 0; x < 24; ++x)
                ASSERT_EQ(y < c.split ? c.top : kWrite, canvas.At(x, y)) << c.state << " " << x << "," << y;
        }
    }
}

// The visible flag and the mode choose the windows; arranging lines up the
// shown ones 2 pixels apart (hidden ones keep their place) and highlights them.
// One saved on no monitor comes back to its default place; teardown destroys
// the windows and forgets the tray record.
TEST_F(IndicatorsTest, ModeAndVisibleFlagChooseWindowsArrangingLinesUpTheShownOnesAndOffScreenOnesComeBack)
{
    for (const std::uint32_t kind : {kKindPhysicalDrive, kKindLogicalDisk, kKindLogicalDisk, kKindAllInOne})
        Add(kind);
    App().displays[0]->visible = false;
    Settings().indicatorMode = kKindPhysicalDrive | kKindLogicalDisk;
    Recreate();
    for (const auto& data : App().displays)
        data->highlight = 0;
    EXPECT_EQ("0110", Shown());  // hidden by its flag; its kind not in the mode
    ArrangeIndicators(App().displays, Settings());
    EXPECT_EQ(0, App().displays[0]->highlight);
    EXPECT_EQ(100, App().displays[1]->highlight);
    Recreate();
    EXPECT_EQ("300,300", At(0));
    EXPECT_EQ("2,2", At(1));
    EXPECT_EQ("20,2", At(2));
    App().displays[2]->x = 5000;
    App().displays[2]->y = -3000;
    Recreate();
    EXPECT_EQ(1, BringIndicatorsOnScreen(App().displays, Settings()));
    EXPECT_EQ("38,2", At(2));  // the window moved along
    App().trayRecord = App().displays[2]->record.get();
    const HWND window = Window(2);
    TearDownIndicators(App());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, App().trayRecord);
    SamplingTick(App());  // a tick after teardown touches nothing freed
}

// A highlight step colours reading and idle of its own indicator in the
// step's hue, writing as it is; after every tick the other shows its own
// colours. The last step leaves the LED at the size of now (the window was
// hidden at step 10 and shown again at another size).
TEST_F(IndicatorsTest, AHighlightColoursItsOwnIndicatorOnlyAndEndsAtTheSizeOfNow)
{
    Add(kKindPhysicalDrive);
    Add(kKindLogicalDisk);
    Recreate();
    gui_data& first = *App().displays[0];
    first.highlight = 51;
    StepHighlight(Window(0), first);  // step 50: red
    const LedColours colours = ColoursOf(first, Settings());
    EXPECT_EQ((std::tuple{RGB(255, 0, 0), kWrite, RGB(255, 0, 0)}),
              std::tuple(colours.read, colours.write, colours.idle));
    App().displays[1]->highlight = 30;
    for (int tick = 0; tick < 3; ++tick) {
        first.highlight = 0;
        SamplingTick(App());
        EXPECT_EQ(kIdle, Painted(0)) << tick;
        EXPECT_EQ(App().displays[1]->highlightColour, Painted(1)) << tick;
    }
    first.highlight = 11;
    StepHighlight(Window(0), first);
    Settings().ledSizeIdx = 3;
    Recreate();
    while (first.highlight != 0)
        StepHighlight(Window(0), first);
    RECT rect{};
    GetWindowRect(Window(0), &rect);
    EXPECT_EQ(32, rect.right - rect.left);
    EXPECT_EQ(24, rect.bottom - rect.top);
    EXPECT_EQ(kIdle, Painted(0));
}

// Every record is sampled, shown or not; a shown one repaints only when what
// it shows changes; the tick tells the program's thread of a change in any
// record, not only the last.
TEST_F(IndicatorsTest, TickSamplesEveryRecordAndRepaintsOnlyOnChange)
{
    ScriptedRecord& shown = Add(kKindPhysicalDrive);
    ScriptedRecord& hidden = Add(kKindLogicalDisk);
    App().displays[1]->visible = false;
    Recreate();
    shown.next = 0x00030001;
    hidden.next = 0x00000004;
    SamplingTick(App());
    EXPECT_EQ(0x00030005u, App().anyActivity);  // the hidden record's state too
    UpdateWindow(Window(0));
    EXPECT_EQ((LedLook{kRead, kWrite, 9, 16, 12, true}), App().displays[0]->painted);
    EXPECT_FALSE(SampleRecords(App()));  // the same states: nothing to show
    shown.next = 0x00010001;
    EXPECT_TRUE(SampleRecords(App()));  // the first record changed, the last did not
    ShowSample(App());
    UpdateWindow(Window(0));
    EXPECT_EQ(6, App().displays[0]->painted.split);
}

// The sampler samples only while the program's thread waits (has opened the
// gate); it wakes that thread once for a change and for nothing else, and
// while the gate is held asks once for the tick to run there. A new period
// reaches its timer.
TEST_F(IndicatorsTest, TheSamplerWakesTheProgramOnlyForAChangeAndFollowsANewPeriod)
{
    ScriptedRecord& record = Add(kKindPhysicalDrive);
    const auto run = [](bool open, UINT period, UINT changedTo) {
        if (open)
            App().gate.Open();
        App().sampler.Start(
            App().gate, [] { return SampleRecords(App()); }, App().worker.Get(), period);
        App().sampler.SetPeriod(changedTo);
        Sleep(150);
        App().sampler.Stop();
        if (open)
            App().gate.Close();
    };
    const auto waiting = [](UINT message) {
        int count = 0;
        for (MSG msg; PeekMessageW(&msg, App().worker.Get(), message, message, PM_REMOVE);)
            ++count;
        return count;
    };
    run(false, 10, 10);
    EXPECT_EQ(1, waiting(WM_SAMPLE_HERE));
    EXPECT_EQ(0, record.samples);
    run(true, 60000, 10);
    EXPECT_GE(record.samples, 3);
    EXPECT_EQ(0, waiting(WM_SHOW_SAMPLE));  // the same state every time
    record.next = 0x00010000;
    run(true, 10, 10);
    EXPECT_EQ(1, waiting(WM_SHOW_SAMPLE));
    EXPECT_EQ(0, waiting(WM_SAMPLE_HERE));
}

// A window of another program in front that covers the whole of a monitor
// hides the indicators on that monitor only; not the desktop, not one of the
// program's own, not a smaller one. Once it goes, or the setting is off, they
// come back.
TEST_F(IndicatorsTest, IndicatorsHideOverAFullScreenProgramOnItsMonitorOnly)
{
    Add(kKindPhysicalDrive);
    Add(kKindLogicalDisk);
    App().displays[1]->x = 1500;
    Recreate();
    display.monitors = {{0, 0, 1280, 1024}, {1280, 0, 2560, 1024}};
    const HWND front = reinterpret_cast<HWND>(0x77);
    const std::pair<WindowFacts, const char*> cases[] = {
        {display.Window({0, 0, 1280, 1024}, 42), "01"},
        {display.Window({1280, 0, 2560, 1024}, 42), "10"},
        {display.Window({0, 0, 1280, 1000}, 42), "11"},
        {display.Window({0, 0, 1280, 1024}, 42, true), "11"},
        {display.Window({0, 0, 1280, 1024}, GetCurrentProcessId()), "11"},
        {display.Window({0, 0, 1280, 1024}, 42), "01"},
    };
    for (const auto& [facts, expected] : cases) {
        display.windows[front] = facts;
        display.foreground = front;
        SamplingTick(App());
        EXPECT_EQ(expected, Shown()) << facts.rect.right << " " << facts.process;
    }
    Settings().hideOverFullScreen = 0;
    SamplingTick(App());
    EXPECT_EQ("11", Shown());
}

// The worker hears that a drive's removal is asked (its handle's notification)
// and the record lets go of the handle, granting it; a failed removal takes it
// back; once the drive is gone its handle and registration go at once and the
// rebuild follows.
TEST_F(IndicatorsTest, TheWorkerLetsADriveGoWhenItsRemovalIsAsked)
{
    FakeSourceSystem fake;
    const ScopedSourceSystem seam(fake);
    FakeSourceSystem::Device& device = fake.devices[L"\\\\.\\PHYSICALDRIVE0"];
    App().indicators.push_back({L"\\\\.\\PHYSICALDRIVE0", L"Drive 0", L"0", L"", L"", L"", kKindPhysicalDrive});
    auto owned = std::make_unique<CHardDiskIndicatorInfo>();
    CHardDiskIndicatorInfo& record = *owned;
    App().displays.emplace_back(std::make_unique<gui_data>())->record = std::move(owned);
    record.entry = &App().indicators.back();
    record.Open();
    [[maybe_unused]] static bool registered = RegisterWorkerClass(App().instance);
    const UniqueWindow worker(CreateWorkerWindow(App()));
    const auto tell = [&](WPARAM event) {
        DEV_BROADCAST_HANDLE change{sizeof change, DBT_DEVTYP_HANDLE, 0, record.Device(), device.watch};
        return SendMessageW(worker.Get(), WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&change));
    };
    EXPECT_EQ(TRUE, tell(DBT_DEVICEQUERYREMOVE));
    EXPECT_EQ(0, fake.openHandles);
    EXPECT_EQ(TRUE, tell(DBT_DEVICEQUERYREMOVEFAILED));
    EXPECT_EQ(&device, record.Device());
    tell(DBT_DEVICEREMOVECOMPLETE);
    EXPECT_EQ(0, fake.openHandles);
    EXPECT_EQ(0, fake.watches);
    EXPECT_TRUE(KillTimer(worker.Get(), IDT_DEVICE_CHANGE));
    record.Close();  // what a fault left open goes while the fake answers: a crash would end the run with 0
}

// A disk the live provider names by its number alone ("1", no Wine drive on
// it) reads its own counters, and its indicator lights in the read colour.
TEST_F(IndicatorsTest, ADiskThatCarriesNoWineDriveLightsItsIndicatorWhenItReads)
{
    struct Disks final : BlockTopology {
        bool IsWholeDevice(const std::string& name) override { return name.size() == 3; }
        bool HasPartition(const std::string& disk, const std::string& part) override
        {
            return part.rfind(disk, 0) == 0;
        }
        std::vector<std::string> Slaves(const std::string&) override { return {}; }
    } topology;
    FakeSourceSystem fake;
    const ScopedSourceSystem seam(fake);
    // sdb has read for `ms` milliseconds; C: lies on sda1.
    const auto serve = [&](int ms) {
        const std::string stats =
            "8 0 sda 1 0 8 5 1 0 8 5 0 10 10\n8 1 sda1 1 0 8 5 1 0 8 5 0 10 10\n8 16 sdb 9 0 72 " + std::to_string(ms) +
            " 0 0 0 0 0 " + std::to_string(ms) + " " + std::to_string(ms);
        const std::string mounts = "27 1 8:1 / / rw - ext4 /dev/sda1 rw\n";
        fake.data = perftest::Snapshot(BuildLiveDiskSet(stats, mounts, {{'C', "/"}}, topology), 10'000'000 + ms);
    };
    serve(5);
    EnumeratePhysicalDrives(*App().access, App().indicators);
    ASSERT_EQ(3u, App().indicators.size());
    BuildIndicatorRecords(App());
    for (const auto& data : App().displays)
        data->highlight = 0;
    Recreate();
    SamplingTick(App());
    serve(25);
    SamplingTick(App());
    UpdateWindow(Window(1));
    EXPECT_EQ(0x0D400000u, App().displays[1]->record->state);  // 20 ms of reading (0x30D40 in 100 ns), low 16 bits
    EXPECT_EQ(kRead, App().displays[1]->painted.top);
}

// ScrollLock's toggle is the program's thread's (a thread's key state follows
// the key messages it read): the sampling thread leaves the press to it.
TEST_F(IndicatorsTest, TheSamplingThreadLeavesScrollLockToTheProgramsThread)
{
    Add(kKindPhysicalDrive).next = 0x10000;
    Settings().useKeyboardLed = 1;
    display.scrollLock = false;
    std::thread([] { SampleRecords(App()); }).join();
    EXPECT_EQ(0, display.switches);
    ShowSample(App());
    EXPECT_TRUE(display.scrollLock);
    EXPECT_EQ(std::vector<DWORD>{GetCurrentThreadId()}, display.keyStateThreads);
}

// A sampler whose thread cannot start: a window timer samples, and the
// message loop ends on the exit event.
TEST_F(IndicatorsTest, WithoutTheSamplersThreadAWindowTimerSamplesAndTheLoopHearsTheExitEvent)
{
    FakeSourceSystem fake;  // answers an empty snapshot at once
    const ScopedSourceSystem seam(fake);
    ScriptedRecord& record = Add(kKindPhysicalDrive);
    [[maybe_unused]] static bool registered = RegisterWorkerClass(App().instance);
    App().worker.Reset(CreateWorkerWindow(App()));
    const UniqueHandle exit(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    SetSamplerThreadStarter(
        [](LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID, DWORD, LPDWORD) { return HANDLE{}; });
    StartTimers(App(), exit.Get());
    SetSamplerThreadStarter(nullptr);
    EXPECT_FALSE(App().sampler.Running());
    EXPECT_EQ(0, RunLoopWhile(500, [&] { SetEvent(exit.Get()); }));
    EXPECT_GE(record.samples, 3);
    App().exitEventInLoop = nullptr;
    App().ending = false;
}

TEST(NamedEvents, EveryoneMayOnlyWaitOnAndSignalTheExitEvent)
{
    const UniqueHandle event = CreateExitEvent();
    ASSERT_TRUE(event);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const UniqueHandle reader(OpenEventW(READ_CONTROL, FALSE, kExitEventName));  // the owner may read it
    ASSERT_EQ(ERROR_SUCCESS, GetSecurityInfo(reader.Get(), SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                             nullptr, nullptr, nullptr, &descriptor));
    wchar_t* text = nullptr;  // a null DACL ("D:NO_ACCESS_CONTROL") would give everyone full control
    ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1,
                                                                     DACL_SECURITY_INFORMATION, &text, nullptr));
    EXPECT_STREQ(L"D:(A;;0x100002;;;WD)", text);  // everyone: SYNCHRONIZE | EVENT_MODIFY_STATE only
    LocalFree(text);
    LocalFree(descriptor);
}

// A show event this start may not open (its instance runs elevated, or as
// another account) still means another instance runs: this one steps back.
TEST(NamedEvents, AShowEventThatCannotBeOpenedMeansAnotherInstanceRuns)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;  // no one may do anything with it
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:", SDDL_REVISION_1, &descriptor, nullptr));
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    const UniqueHandle running(CreateEventW(&attributes, FALSE, FALSE, kShowEventName));
    LocalFree(descriptor);
    ASSERT_TRUE(running);
    UniqueHandle showEvent;
    EXPECT_FALSE(ClaimSingleInstance(showEvent));
    EXPECT_FALSE(showEvent);
}

// The exit event, watched off the program's thread, reaches the worker and
// the loop ends with 0 (with a dialog open: the end-to-end tests); the watch
// takes one signal only: a second is another copy's.
TEST(MessageLoop, WakesForSentMessagesAndTheExitEventEndsItWithZero)
{
    const UniqueHandle exit(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    App().instance = GetModuleHandleW(nullptr);
    [[maybe_unused]] static bool registered = RegisterWorkerClass(App().instance);
    const UniqueWindow worker(CreateWorkerWindow(App()));
    const UniqueWindow window(
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    Sampler watch;  // the exit event's watch, which never ticks here
    watch.Start(
        App().gate, [] { return false; }, worker.Get(), 60000, exit.Get());
    const auto sendThenEnd = [&] {
        SendMessageTimeoutW(window.Get(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"sent"), SMTO_BLOCK, 2000, nullptr);
        SetEvent(exit.Get());
    };
    EXPECT_EQ(0, RunLoopWhile(200, sendThenEnd));  // the loop waits by now
    SetEvent(exit.Get());
    Sleep(200);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(exit.Get(), 0));
    wchar_t text[8] = {};
    GetWindowTextW(window.Get(), text, 8);
    EXPECT_STREQ(L"sent", text);
    App().ending = false;
}

}  // namespace
