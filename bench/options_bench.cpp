// The Options window under repeated use: 1,000 moves of each slider, 1,000
// colour changes (through the colour seam) and 1,000 page switches over three
// indicator windows. For each it prints the time per action and what is left
// behind: windows of this thread, GDI objects held by the program's owners,
// and replaced windows and brushes that still exist (a leak). The system's own
// counts (GetGuiResources, GetProcessHandleCount) are printed too; they answer
// 0 under Wine.
//
//   options_bench          the program as it is
//   options_bench --leak   with a deliberate leak of one brush and one page per
//                          action, to show that the checks catch it
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <set>
#include <vector>

#include "app/application.h"
#include "app/shell.h"
#include "options/options_pages.h"
#include "options/options_system.h"
#include "options/options_window.h"
#include "resources/resource.h"

namespace {

constexpr int kActions = 1000;

class IdleRecord : public __performance_data {
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

int OwnedGdiObjects()
{
    return UniqueBrush::Live() + UniqueFont::Live();
}

void Pump()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The handles the action may replace: the page, the indicator windows, the brushes.
struct Handles {
    std::set<HWND> windows;
    std::set<HGDIOBJ> brushes;
};

Handles Current()
{
    Handles handles;
    handles.windows.insert(CurrentOptionsPage());
    for (const auto& data : App().displays)
        handles.windows.insert(data->Window());
    const SettingsBlock& settings = Settings();
    for (const UniqueBrush* brush : {&settings.readBrush, &settings.writeBrush, &settings.idleBrush})
        handles.brushes.insert(brush->Get());
    return handles;
}

void Measure(const char* name, const std::function<void(int)>& action)
{
    Pump();
    const int windowsBefore = ThreadWindows();
    const int gdiBefore = OwnedGdiObjects();
    const DWORD guiGdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD guiUserBefore = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    DWORD handlesBefore = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesBefore);
    std::vector<HWND> replacedWindows;
    std::vector<HGDIOBJ> replacedBrushes;
    LARGE_INTEGER frequency{}, start{}, end{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int n = 0; n < kActions; ++n) {
        const Handles before = Current();
        action(n);
        Pump();
        const Handles after = Current();
        for (HWND window : before.windows) {
            if (window && !after.windows.count(window))
                replacedWindows.push_back(window);
        }
        for (HGDIOBJ brush : before.brushes) {
            if (brush && !after.brushes.count(brush))
                replacedBrushes.push_back(brush);
        }
    }
    QueryPerformanceCounter(&end);
    int windowsLeft = 0, brushesLeft = 0;
    for (HWND window : replacedWindows)
        windowsLeft += IsWindow(window) ? 1 : 0;
    for (HGDIOBJ brush : replacedBrushes)
        brushesLeft += GetObjectType(brush) != 0 ? 1 : 0;
    DWORD handlesAfter = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
    const double micros = 1e6 * static_cast<double>(end.QuadPart - start.QuadPart) /
                          static_cast<double>(frequency.QuadPart) / kActions;
    std::printf("| %-16s | %5d | %8.1f | %3d → %3d | %3d → %3d | %4zu / %4d | %4zu / %4d | %lu/%lu → %lu/%lu | %lu → %lu |\n",
                name, kActions, micros, windowsBefore, ThreadWindows(), gdiBefore, OwnedGdiObjects(),
                replacedWindows.size(), windowsLeft, replacedBrushes.size(), brushesLeft, guiGdiBefore, guiUserBefore,
                GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS),
                handlesBefore, handlesAfter);
}

void Slide(int id, int position)
{
    const HWND page = CurrentOptionsPage();
    SendDlgItemMessageW(page, id, TBM_SETPOS, TRUE, position);
    SendMessageW(page, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, position), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

void SetUpProgram()
{
    Application& app = App();
    app.instance = GetModuleHandleW(nullptr);
    RegisterOptionsClass(app.instance);
    RegisterIndicatorClass(app.instance);
    app.worker = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    RebuildBrushes(Settings());
    SetIndicatorMode(7);
    const std::pair<const wchar_t*, std::uint32_t> entries[] = {{L"Drive 0", 1}, {L"All", 4}, {L"C:", 2}};
    for (const auto& [name, kind] : entries) {
        app.indicators.push_back({name, name, name, nullptr, L"", L"", L"", kind});
        auto data = std::make_unique<__gui_data>();
        data->record = std::make_unique<IdleRecord>();
        data->record->entry = &app.indicators.back();
        data->x = 400 + 40 * static_cast<int>(app.displays.size());
        data->y = 400;
        app.displays.push_back(std::move(data));
    }
    RebuildIndicatorWindows();
}

}  // namespace

int main(int argc, char** argv)
{
    const bool leak = argc > 1 && std::strcmp(argv[1], "--leak") == 0;
    SetUpProgram();
    CyclingPicker picker;
    ScopedOptionsSystem seam(picker);
    std::vector<UniqueBrush> keptBrushes;  // the deliberate leak: replaced brushes never deleted

    CreateOptionsWindow();
    SelectOptionsTab(1);
    std::printf("| action | count | µs each | windows | owned GDI | replaced windows / left | replaced brushes / left "
                "| GetGuiResources GDI/USER | process handles |\n|---|---|---|---|---|---|---|---|---|\n");
    Measure("opacity slider", [](int n) { Slide(IDC_APP_OPACITY, n % 256); });
    Measure("interval slider", [](int n) { Slide(IDC_APP_INTERVAL, n % 9); });
    Measure("colour change", [&](int n) {
        static const int buttons[] = {IDC_APP_READ_CHANGE, IDC_APP_WRITE_CHANGE, IDC_APP_IDLE_CHANGE};
        if (leak) {
            UniqueBrush& write = Settings().writeBrush;
            keptBrushes.emplace_back(std::move(write));
            write.Reset(CreateSolidBrush(Settings().writeColor));
        }
        SendMessageW(CurrentOptionsPage(), WM_COMMAND, MAKEWPARAM(buttons[n % 3], BN_CLICKED), 0);
    });
    Measure("page switch", [&](int n) {
        SelectOptionsTab((n + 2) % 4);
        if (leak)
            CreateOptionsPage(IDD_STATISTICS_PAGE, SummaryPageProc);
    });

    DestroyOptionsWindow();
    App().displays.clear();
    DestroyWindow(App().worker);
    return 0;
}
