// The Options window under repeated use: 1,000 moves of each slider, 1,000
// colour changes (through the colour seam) and 1,000 page switches over three
// indicator windows. For each it prints the time per action and what is left
// behind: windows of this thread, GDI objects, icons and handles held by the
// program's owners (Live()), indicator windows the action replaced (a change
// applied in place replaces none) and replaced pages, and how many of those
// still exist (a leak). The system's own counts (GetGuiResources,
// GetProcessHandleCount) are printed too; they answer 0 under Wine.
//
//   options_bench          the program as it is
//   options_bench --leak   100 colour changes and page switches with a
//                          deliberate leak of one brush and one page per
//                          action, to show that the checks catch it
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <cstdint>
#include <functional>
#include <set>
#include <vector>

#include "app/application.h"
#include "app/program.h"
#include "app/program_host.h"
#include "display/indicator_window.h"
#include "common/live_counts.h"
#include "options/options_pages.h"
#include "options/options_system.h"
#include "options/options_window.h"
#include "resources/resource.h"

namespace {

int g_actions = 1000;  // 100 with the deliberate leak, which slows every later action

class IdleRecord : public performance_data {
public:
    std::uint32_t Sample() override { return 0; }
    bool GetText(wchar_t*, std::size_t) override { return false; }
    std::wstring GetName() override { return L"idle"; }
    bool Open() override { return true; }
    bool Close() override { return true; }
};

// Answers a new colour every time, as a user choosing one would.
class CyclingPicker : public OptionsSystem {
public:
    bool ChooseColour(CHOOSECOLORW& choice) override
    {
        choice.rgbResult = RGB(next_ & 0xFF, (next_ >> 8) & 0xFF, 128);
        next_ += 37;
        return true;
    }

private:
    unsigned next_ = 1;
};

BOOL CALLBACK CountChild(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    EnumChildWindows(window, CountChild, count);
    return TRUE;
}

int ThreadWindows()
{
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountTopLevel, reinterpret_cast<LPARAM>(&count));
    return count;
}

void Pump()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The windows the action may replace: the indicator windows and the page.
struct Handles {
    std::set<HWND> indicators;
    std::set<HWND> pages;
};

Handles Current()
{
    Handles handles;
    handles.pages.insert(CurrentOptionsPage(App().options.Get()));
    for (const auto& data : App().displays)
        handles.indicators.insert(data->Window());
    return handles;
}

// How many of the windows before are gone after (replaced), and how many of
// those still exist.
void CountReplaced(const std::set<HWND>& before, const std::set<HWND>& after, int& replaced, int& left)
{
    for (HWND window : before) {
        if (!window || after.count(window))
            continue;
        ++replaced;
        left += IsWindow(window) ? 1 : 0;
    }
}

void Measure(const char* name, const std::function<void(int)>& action)
{
    Pump();
    const int windowsBefore = ThreadWindows();
    const LiveCounts ownedBefore = Live();
    const DWORD guiGdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD guiUserBefore = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    DWORD handlesBefore = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesBefore);
    int replacedIndicators = 0;
    int indicatorsLeft = 0;
    int replacedPages = 0;
    int pagesLeft = 0;
    std::int64_t ticks = 0;
    for (int n = 0; n < g_actions; ++n) {
        const Handles before = Current();
        LARGE_INTEGER start{}, end{};
        QueryPerformanceCounter(&start);
        action(n);
        Pump();
        QueryPerformanceCounter(&end);
        ticks += end.QuadPart - start.QuadPart;
        // What the action replaced must be gone now, before a later object
        // could be given the same handle value.
        const Handles after = Current();
        CountReplaced(before.indicators, after.indicators, replacedIndicators, indicatorsLeft);
        CountReplaced(before.pages, after.pages, replacedPages, pagesLeft);
    }
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    DWORD handlesAfter = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
    const double micros = 1e6 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart) / g_actions;
    const LiveCounts owned = Live();
    std::printf(
        "| %s | %d | %.0f | %d → %d | %ld/%ld/%ld → %ld/%ld/%ld | %d / %d | %d / %d | %lu/%lu → %lu/%lu | %lu → %lu "
        "|\n",
        name, g_actions, micros, windowsBefore, ThreadWindows(), ownedBefore.gdiObjects, ownedBefore.icons,
        ownedBefore.handles, owned.gdiObjects, owned.icons, owned.handles, replacedIndicators, indicatorsLeft,
        replacedPages, pagesLeft, guiGdiBefore, guiUserBefore, GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
        GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), handlesBefore, handlesAfter);
    std::fflush(stdout);
}

HWND Page()
{
    return CurrentOptionsPage(App().options.Get());
}

void Slide(int id, int position)
{
    const HWND page = Page();
    SendDlgItemMessageW(page, id, TBM_SETPOS, TRUE, position);
    SendMessageW(page, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, position), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

void SetUpProgram()
{
    Application& app = App();
    app.instance = GetModuleHandleW(nullptr);
    RegisterOptionsClass(app.instance);
    RegisterIndicatorClass(app.instance);
    app.worker.Reset(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    ConnectHosts(app);
    app.settings.indicatorMode = 7;
    const std::pair<const wchar_t*, std::uint32_t> entries[] = {{L"Drive 0", 1}, {L"All", 4}, {L"C:", 2}};
    for (const auto& [name, kind] : entries) {
        app.indicators.push_back({name, name, name, L"", L"", L"", kind});
        auto data = std::make_unique<gui_data>();
        data->host = app.indicatorHost;
        data->record = std::make_unique<IdleRecord>();
        data->record->entry = &app.indicators.back();
        data->x = 400 + 40 * static_cast<int>(app.displays.size());
        data->y = 400;
        app.displays.push_back(std::move(data));
    }
    RebuildIndicatorWindows(app);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const bool leak = argc > 1 && std::wcscmp(argv[1], L"--leak") == 0;
    if (leak)
        g_actions = 100;
    SetUpProgram();
    CyclingPicker picker;
    ScopedOptionsSystem seam(picker);
    std::vector<UniqueBrush> keptBrushes;  // the deliberate leak: a brush per colour change, never deleted

    ShowOptionsWindow(App());
    SelectOptionsTab(App().options.Get(), 1);
    std::printf(
        "| action | count | µs each | windows of the thread | GDI objects/icons/handles owned "
        "| indicator windows replaced / left "
        "| pages replaced / left | GetGuiResources GDI/USER | process handles |\n"
        "|---|---|---|---|---|---|---|---|---|\n");
    if (!leak) {
        Measure("opacity slider", [](int n) { Slide(IDC_APP_OPACITY, n % 256); });
        Measure("interval slider", [](int n) { Slide(IDC_APP_INTERVAL, n % 9); });
    }
    Measure("colour change", [&](int n) {
        static const int buttons[] = {IDC_APP_READ_CHANGE, IDC_APP_WRITE_CHANGE, IDC_APP_IDLE_CHANGE};
        if (leak)
            keptBrushes.emplace_back(CreateSolidBrush(App().settings.writeColor));
        SendMessageW(Page(), WM_COMMAND, MAKEWPARAM(buttons[n % 3], BN_CLICKED), 0);
    });
    Measure("page switch", [&](int n) {
        SelectOptionsTab(App().options.Get(), (n + 2) % 4);
        if (leak)
            CreateOptionsPage(App().options.Get(), IDD_SUMMARY_PAGE, SummaryPageProc);
    });

    CloseOptionsWindow(App());
    App().displays.clear();
    App().worker.Reset();
    return 0;
}
