// The memory baseline of scripts/bench cpu: a window with a comctl32 tooltip
// and a message loop, nothing else, for the seconds given.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv)
{
    const int seconds = argc > 1 ? _wtoi(argv[1]) : 10;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    const HWND window = CreateWindowExW(0, L"STATIC", L"bare", WS_POPUP | WS_VISIBLE, 600, 600, 20, 20, nullptr,
                                        nullptr, nullptr, nullptr);
    const HWND tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                         window, nullptr, nullptr, nullptr);
    TOOLINFOW tool{sizeof tool, TTF_SUBCLASS, window, 1, {0, 0, 20, 20}, nullptr, const_cast<wchar_t*>(L"tip")};
    SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SetTimer(nullptr, 1, static_cast<UINT>(seconds) * 1000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) && message.message != WM_TIMER)
        DispatchMessageW(&message);
    return 0;
}
