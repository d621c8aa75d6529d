// Benchmark of the sampling tick: the real tick over real indicator windows,
// with disks served by the Wine disk-counter provider from a script that this
// program rewrites between ticks (busy and idle in turn). For 3, 10, 34 and
// 130 records it reports the time per tick split into the snapshot query,
// sampling the records and refreshing the windows; heap allocations per warm
// tick (inside the tick and in painting); and the GDI objects, handles and
// windows the program holds after 100 and after the last tick, with a
// validity probe of the windows a rebuild replaced. Then, with
// the tray icon present and the keyboard LED on, the notification-icon calls
// and keyboard events, queries and sets per tick for idle, steady and alternating
// activity (NIM_MODIFY per icon: the all-drives icon and the two drives' own
// icons), and how often the tray LED images are painted.
//
// Run by scripts/bench in the test prefix: tick_bench.exe [endurance ticks]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/sampling.h"
#include "app/program.h"
#include "display/indicator_window.h"
#include "app/startup.h"
#include "display/display_system.h"
#include "tools/perfprov/provider_key.h"

namespace {

bool g_counting = false;
long long g_allocations = 0;

void* Allocate(std::size_t size)
{
    if (g_counting)
        ++g_allocations;
    if (void* memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}

std::wstring ScriptFile()
{
    wchar_t path[MAX_PATH] = {};
    DWORD size = sizeof path;
    RegGetValueW(HKEY_LOCAL_MACHINE, kProviderServiceKey, kProviderScriptFileValue, RRF_RT_REG_SZ, nullptr, path,
                 &size);
    return path;
}

// physical drives "0 .." and logical disks "A:" .. with growing queue counters
// on busy ticks.
void WriteScript(const std::wstring& path, int physical, int logical, unsigned long long level)
{
    std::string text = "qorvel-disks 1\n";
    const std::string counters = " | 1400=" + std::to_string(level * 3) + " 1402=" + std::to_string(level * 2) +
                                 " 1404=" + std::to_string(level) + "\n";
    for (int i = 0; i < physical; ++i)
        text += "physical | " + std::to_string(i) + counters;
    for (int i = 0; i < logical; ++i)
        text +=
            "logical | " + std::string(1, static_cast<char>('A' + i % 26)) + std::to_string(i / 26) + ":" + counters;
    text += "end\n";
    const std::wstring temporary = path + L".new";
    const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD wrote = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &wrote, nullptr);
    CloseHandle(file);
    MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

struct Totals {
    TickProfile profile;
    long long tickAllocations = 0;
    long long paintAllocations = 0;
};

void RunTicks(Application& app, const std::wstring& script, int physical, int logical, int ticks,
              unsigned long long& level, Totals* totals)
{
    for (int tick = 0; tick < ticks; ++tick) {
        if (tick % 2 == 0)
            ++level;  // busy every other tick
        WriteScript(script, physical, logical, level);
        const long long before = g_allocations;
        g_counting = totals != nullptr;
        SamplingTick(app, totals ? &totals->profile : nullptr);
        const long long afterTick = g_allocations;
        Pump();
        g_counting = false;
        if (totals) {
            totals->tickAllocations += afterTick - before;
            totals->paintAllocations += g_allocations - afterTick;
        }
    }
}

void Report(const char* when, const LiveCounts& counts)
{
    std::printf("    %-22s GDI objects %ld, handles %ld, windows %ld\n", when, counts.gdiObjects, counts.handles,
                counts.windows);
}

bool ProbeRebuild(Application& app)
{
    std::vector<HWND> windows;
    for (const auto& data : app.displays)
        windows.push_back(data->Window());
    RecreateIndicatorWindows(app.instance, app.displays, app.settings);
    bool released = true;
    for (HWND window : windows)
        released = released && !IsWindow(window);
    return released;
}

// Counts what the tray icon and the keyboard LED ask of the system. The
// notification icon calls reach Wine's tray; the keyboard is simulated, so
// the bench never touches the X server's ScrollLock or defines "Kbd".
class CountingDisplaySystem : public DisplaySystem {
public:
    bool NotifyIcon(DWORD message, NOTIFYICONDATAW* data) override
    {
        modifies += message == NIM_MODIFY;
        if (message == NIM_MODIFY)
            ++modifiesOf[data->uID];
        return DisplaySystem::NotifyIcon(message, data);
    }
    void KeyEvent(BYTE, BYTE, DWORD flags) override
    {
        ++keyEvents;
        scrollLock ^= (flags & KEYEVENTF_KEYUP) == 0;
    }
    SHORT KeyState(int) override { return scrollLock ? 1 : 0; }
    DWORD LastInputTime() override { return TickCount(); }  // someone at the keyboard all along
    bool DefineDeviceName(DWORD, const wchar_t*, const wchar_t*) override { return true; }
    HANDLE OpenKeyboard(const wchar_t*) override { return reinterpret_cast<HANDLE>(0x4B44); }
    void CloseKeyboard(HANDLE) override {}
    bool QueryKeyboardIndicators(HANDLE, KEYBOARD_INDICATOR_PARAMETERS* indicators) override
    {
        ++queries;
        *indicators = {0, leds};
        return true;
    }
    bool SetKeyboardIndicators(HANDLE, const KEYBOARD_INDICATOR_PARAMETERS& indicators) override
    {
        ++sets;
        leds = indicators.LedFlags;
        return true;
    }

    long modifies = 0, keyEvents = 0, queries = 0, sets = 0;
    std::map<UINT, long> modifiesOf;  // by icon id
    bool scrollLock = false;
    USHORT leds = 0;
};

void CountDisplaySwitches(const std::wstring& script)
{
    CountingDisplaySystem counting;
    ScopedDisplaySystem scope(counting);
    Application app;
    app.access = std::make_unique<DirectRegistryAccess>();
    app.access->Init();
    app.instance = GetModuleHandleW(nullptr);
    app.settings.indicatorMode = 7;
    app.worker.Reset(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    unsigned long long level = 1000;
    WriteScript(script, 1, 1, level);
    EnumerateDrives(app);
    BuildIndicatorRecords(app);
    app.keyboard.Open();
    const HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
    app.tray.UseIcons(icon, icon, icon);
    SettingsBlock& settings = app.settings;
    settings.useKeyboardLed = 1;
    RebuildIndicatorWindows(app);
    app.tray.BuildLedIcons(settings);
    app.tray.Add(app.worker.Get(), 0, settings);
    app.driveTray.UseIcons(icon, icon, icon);
    app.displays[0]->tray = true;  // drive 0
    app.displays[2]->tray = true;  // the logical disk
    const bool drives = SyncDriveTrayIcons(app);
    std::printf("tray icon present: %s; the drives' own icons: %s\n", app.tray.Present() ? "yes" : "NO",
                drives ? "yes" : "NO");

    const int ticks = 200;
    for (const int direct : {0, 1}) {
        settings.useKeyboardLedDirectAccess = direct;
        struct Pattern {
            const char* name;
            int busyEvery;  // 0: never
        };
        for (const Pattern pattern : {Pattern{"idle", 0}, Pattern{"steady", 1}, Pattern{"alternating", 2}}) {
            for (int tick = 0; tick < 10; ++tick)  // settle into the pattern
                SamplingTick(app);
            const HICON idleImage = app.tray.Icons().idle.Get();
            counting.modifies = counting.keyEvents = counting.queries = counting.sets = 0;
            counting.modifiesOf.clear();
            for (int tick = 0; tick < ticks; ++tick) {
                if (pattern.busyEvery && tick % pattern.busyEvery == 0)
                    WriteScript(script, 1, 1, ++level);
                SamplingTick(app);
                Pump();
            }
            const auto perTick = [&](UINT id) { return static_cast<double>(counting.modifiesOf[id]) / ticks; };
            std::printf(
                "    %-8s %-12s per tick: %.2f NIM_MODIFY (icons 1, 2, 3: %.2f, %.2f, %.2f), %.2f key events, "
                "%.2f keyboard queries, %.2f sets; LED images painted: %s\n",
                direct ? "direct" : "keys", pattern.name, static_cast<double>(counting.modifies) / ticks,
                perTick(kTrayId), perTick(kFirstDriveTrayId), perTick(kFirstDriveTrayId + 1),
                static_cast<double>(counting.keyEvents) / ticks, static_cast<double>(counting.queries) / ticks,
                static_cast<double>(counting.sets) / ticks, app.tray.Icons().idle.Get() == idleImage ? "none" : "SOME");
        }
    }
    const long icons = Live().icons;
    const HICON before = app.tray.Icons().idle.Get();
    settings.readColor = RGB(0, 200, 0);
    RecolourDisplays(app);  // what a colour change does
    std::printf("    one colour change paints the LED images anew: %s (icons held: %ld before, %ld after)\n",
                app.tray.Icons().idle.Get() != before ? "yes" : "NO", icons, Live().icons);
    app.tray.Remove();
    app.driveTray.RemoveAll();
    app.keyboard.Close(settings);
    TearDownIndicators(app);
}

}  // namespace

void* operator new(std::size_t size)
{
    return Allocate(size);
}
void* operator new[](std::size_t size)
{
    return Allocate(size);
}
void operator delete(void* memory) noexcept
{
    std::free(memory);
}
void operator delete[](void* memory) noexcept
{
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept
{
    std::free(memory);
}

int wmain(int argc, wchar_t** argv)
{
    const int endurance = argc > 1 ? _wtoi(argv[1]) : 10000;
    const int measured = 1000;
    const std::wstring script = ScriptFile();
    if (script.empty()) {
        std::printf("the disk-counter provider is not registered in this prefix\n");
        return 1;
    }
    RegisterIndicatorClass(GetModuleHandleW(nullptr));
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    const auto micro = [&](std::int64_t ticks) { return 1e6 * static_cast<double>(ticks) / frequency.QuadPart; };

    struct Scenario {
        int physical, logical;
    };
    for (const Scenario scenario : {Scenario{1, 1}, Scenario{4, 5}, Scenario{16, 17}, Scenario{64, 65}}) {
        Application app;
        app.instance = GetModuleHandleW(nullptr);
        app.settings.indicatorMode = 7;
        app.access = std::make_unique<DirectRegistryAccess>();
        app.access->Init();
        unsigned long long level = 1000;
        WriteScript(script, scenario.physical, scenario.logical, level);
        EnumerateDrives(app);
        BuildIndicatorRecords(app);
        RecreateIndicatorWindows(app.instance, app.displays, app.settings);
        for (const auto& data : app.displays)
            data->highlight = 0;
        RunTicks(app, script, scenario.physical, scenario.logical, 50, level, nullptr);  // warm-up

        Totals totals;
        RunTicks(app, script, scenario.physical, scenario.logical, measured, level, &totals);
        std::printf("%zu records, %d ticks (%zu performance libraries called in-process):\n", app.displays.size(),
                    measured, app.access->InProcessLibraries());
        std::printf("    per tick: query %.1f us, sampling %.1f us, refreshing windows %.1f us\n",
                    micro(totals.profile.query) / measured, micro(totals.profile.sample) / measured,
                    micro(totals.profile.refresh) / measured);
        std::printf("    heap allocations per tick: %.2f in the tick, %.2f in painting\n",
                    static_cast<double>(totals.tickAllocations) / measured,
                    static_cast<double>(totals.paintAllocations) / measured);

        const LiveCounts start = Live();
        RunTicks(app, script, scenario.physical, scenario.logical, 100, level, nullptr);
        Report("after 100 ticks:", Live());
        RunTicks(app, script, scenario.physical, scenario.logical, endurance - 100, level, nullptr);
        char when[64];
        std::snprintf(when, sizeof when, "after %d ticks:", endurance);
        Report(when, Live());
        const bool equal =
            Live().gdiObjects == start.gdiObjects && Live().handles == start.handles && Live().windows == start.windows;
        std::printf("    counts %s; a rebuild releases the windows it replaced: %s\n", equal ? "unchanged" : "CHANGED",
                    ProbeRebuild(app) ? "yes" : "NO");
        TearDownIndicators(app);
    }
    std::printf("The tray icon and the keyboard LED over %d ticks, 3 records:\n", 200);
    CountDisplaySwitches(script);
    return 0;
}
