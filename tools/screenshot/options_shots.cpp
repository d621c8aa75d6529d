// Drives the running program's Options window for scripts/screenshots, the
// way a user would: Ctrl+Tab to a tab, the About command, Esc, the mouse over
// an indicator.
//
//   options_shots tab N [MS]  shows tab N (0 "General" .. 3 "User process I/O")
//                             and lets it run MS milliseconds more (700)
//   options_shots palette N   chooses palette N (0 "Classic", 1 "Colour-blind
//                             safe") on the "Appearance" tab that is shown
//   options_shots tooltip     moves the mouse over the leftmost indicator
//   options_shots tray N      chooses every drive and drive letter in the
//                             "General" tab's tray list of the open Options
//                             window, hides the window, and prints the first N
//                             slots of Wine's own tray window (it has no other
//                             tray to show them in)
//   options_shots about    opens the About box
//   options_shots close    closes the About box and hides the Options window
//   options_shots exit     signals the program's exit event
//
// After "tab", "palette", "tooltip", "tray" and "about" it prints the window's rectangle on the screen as
// WIDTHxHEIGHT+X+Y, the geometry ImageMagick crops with. Answers 0 on success.
#include <windows.h>
#include <commctrl.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kOptionsClass[] = L"QORVELIndicatorClass";
constexpr wchar_t kAboutTitle[] = L"About Qorvel";
constexpr UINT kAboutCommand = 104;
constexpr UINT kHideCommand = 1;   // "&Hide options"
constexpr int kPaletteBox = 1100;  // the "Palette" choice of the "Appearance" tab
constexpr int kTrayList = 1141;    // the drives with a tray icon of their own
constexpr int kTraySlot = 20;      // Wine's tray: a slot an icon, the icon 2 pixels in

HWND WaitForWindow(const wchar_t* className, const wchar_t* title)
{
    for (int tries = 0; tries < 200; ++tries) {
        if (const HWND window = FindWindowW(className, title); window && IsWindowVisible(window))
            return window;
        Sleep(50);
    }
    return nullptr;
}

// Presses the keys in order and lets them go in reverse order.
void Press(std::initializer_list<WORD> keys)
{
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto key = keys.end(); key != keys.begin();) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *--key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void PrintRectangle(HWND window, DWORD wait = 700)
{
    Sleep(wait);  // painted
    RECT rect{};
    GetWindowRect(window, &rect);
    std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left, rect.top);
}

int ShowTab(int tab, DWORD wait)
{
    const HWND options = WaitForWindow(kOptionsClass, nullptr);
    if (!options)
        return 1;
    // Clear of the indicators and of Wine's tray window at the top left.
    SetWindowPos(options, HWND_TOP, 120, 90, 0, 0, SWP_NOSIZE);
    SetForegroundWindow(options);
    Sleep(300);
    const HWND tabs = FindWindowExW(options, nullptr, WC_TABCONTROLW, nullptr);
    for (int tries = 0; tries < 8 && SendMessageW(tabs, TCM_GETCURSEL, 0, 0) != tab; ++tries) {
        Press({VK_CONTROL, VK_TAB});
        Sleep(300);
    }
    if (SendMessageW(tabs, TCM_GETCURSEL, 0, 0) != tab)
        return 1;
    PrintRectangle(options, wait);
    return 0;
}

// Chooses the palette as a choice in the list does.
int ChoosePalette(int palette)
{
    const HWND options = WaitForWindow(kOptionsClass, nullptr);
    const HWND tabs = options ? FindWindowExW(options, nullptr, WC_TABCONTROLW, nullptr) : nullptr;
    const HWND page = tabs ? FindWindowExW(tabs, nullptr, MAKEINTATOM(0x8002), nullptr) : nullptr;  // a dialog
    const HWND box = page ? GetDlgItem(page, kPaletteBox) : nullptr;
    if (!box || SendMessageW(box, CB_SETCURSEL, palette, 0) != palette)
        return 1;
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(kPaletteBox, CBN_SELENDOK), reinterpret_cast<LPARAM>(box));
    PrintRectangle(options);
    return 0;
}

// The leftmost indicator window, or null.
HWND LeftmostIndicator()
{
    HWND leftmost = nullptr;
    RECT best{LONG_MAX};
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, L"QORVELIndicator", nullptr));) {
        RECT rect{};
        GetWindowRect(window, &rect);
        if (IsWindowVisible(window) && rect.left < best.left)
            leftmost = window, best = rect;
    }
    return leftmost;
}

// Hovers the leftmost indicator until its tip shows, and prints the
// rectangle around both.
int ShowTooltip()
{
    const HWND indicator = LeftmostIndicator();
    if (!indicator)
        return 1;
    RECT led{};
    GetWindowRect(indicator, &led);
    SetCursorPos(led.left + 2, led.top + 2);
    SetCursorPos(led.left + 3, led.top + 3);
    for (int tries = 0; tries < 100; ++tries) {
        for (HWND tip = nullptr; (tip = FindWindowExW(nullptr, tip, L"QorvelTip", nullptr));) {
            if (!IsWindowVisible(tip) || GetWindow(tip, GW_OWNER) != indicator)
                continue;
            Sleep(1500);  // the process list from the second reading
            RECT rect{};
            GetWindowRect(tip, &rect);
            UnionRect(&rect, &rect, &led);
            std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left + 4, rect.bottom - rect.top + 4, rect.left - 2,
                        rect.top - 2);
            return 0;
        }
        Sleep(50);
    }
    return 1;
}

int ShowDriveTray(int slots)
{
    const HWND options = WaitForWindow(kOptionsClass, nullptr);
    const HWND tabs = options ? FindWindowExW(options, nullptr, WC_TABCONTROLW, nullptr) : nullptr;
    const HWND page = tabs ? FindWindowExW(tabs, nullptr, L"#32770", nullptr) : nullptr;
    const HWND list = page ? GetDlgItem(page, kTrayList) : nullptr;
    if (!list)
        return 1;
    SendMessageW(list, LB_SETSEL, TRUE, -1);  // every name, as clicks on each would
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(kTrayList, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    PostMessageW(options, WM_COMMAND, kHideCommand, 0);
    const HWND tray = WaitForWindow(L"__winex11_standalone_tray", nullptr);
    if (!tray)
        return 1;
    Sleep(1500);  // the icons added and painted
    RECT client{};
    GetClientRect(tray, &client);
    POINT origin{};
    ClientToScreen(tray, &origin);
    std::printf("%dx%ld+%ld+%ld\n", slots * kTraySlot, client.bottom, origin.x, origin.y);
    return 0;
}

int OpenAbout()
{
    const HWND options = WaitForWindow(kOptionsClass, nullptr);
    if (!options)
        return 1;
    PostMessageW(options, WM_COMMAND, kAboutCommand, 0);
    const HWND about = WaitForWindow(nullptr, kAboutTitle);
    if (!about)
        return 1;
    PrintRectangle(about);
    return 0;
}

int CloseAboutAndOptions()
{
    const HWND about = FindWindowW(nullptr, kAboutTitle);
    if (!about || !PostMessageW(about, WM_COMMAND, IDOK, 0))
        return 1;
    for (int tries = 0; tries < 200 && IsWindow(about); ++tries)
        Sleep(10);
    const HWND options = FindWindowW(kOptionsClass, nullptr);
    if (!options || !PostMessageW(options, WM_COMMAND, kHideCommand, 0))
        return 1;
    for (int tries = 0; tries < 200 && IsWindow(options); ++tries)
        Sleep(10);
    return IsWindow(options) ? 1 : 0;
}

int SignalExit()
{
    const HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"Global\\QorvelIndicatorExitNowEvent");
    if (!event)
        return 1;
    SetEvent(event);
    CloseHandle(event);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"tab" && argc > 2)
        return ShowTab(std::wcstol(argv[2], nullptr, 10), argc > 3 ? std::wcstoul(argv[3], nullptr, 10) : 700);
    if (command == L"palette" && argc > 2)
        return ChoosePalette(std::wcstol(argv[2], nullptr, 10));
    if (command == L"tooltip")
        return ShowTooltip();
    if (command == L"tray" && argc > 2)
        return ShowDriveTray(std::wcstol(argv[2], nullptr, 10));
    if (command == L"about")
        return OpenAbout();
    if (command == L"close")
        return CloseAboutAndOptions();
    if (command == L"exit")
        return SignalExit();
    std::fprintf(stderr, "usage: options_shots tab N [MS] | palette N | tooltip | tray N | about | close | exit\n");
    return 2;
}
