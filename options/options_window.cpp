#include "options/options_window.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <utility>

#include "common/dpi.h"
#include "common/gdi_handles.h"
#include "common/window_binding.h"
#include "common/working_set.h"
#include "options/options_host.h"
#include "options/options_pages.h"
#include "options/options_system.h"
#include "resources/resource.h"
#include "resources/version.h"

namespace {

constexpr DWORD kFrameStyle = WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kFrameExStyle = WS_EX_CONTROLPARENT;
constexpr DWORD kEnableTabTexture = 6;  // ETDT_ENABLE | ETDT_USETABTEXTURE

// Product, version, and the date and time this file was compiled, as the
// compiler prints them ("Jul  6 2019 10:52:26").
constexpr wchar_t kAboutText[] = L"" QORVEL_PRODUCT_NAME " version " QORVEL_VERSION_TEXT " " __DATE__ " " __TIME__;

// One tab: its label, the dialog its page is made from and the page's procedure.
struct PageKind {
    const wchar_t* label;
    int dialog;
    DLGPROC procedure;
};

const PageKind kPages[] = {
    {L"General", IDD_INDICATORS_PAGE, IndicatorsPageProc},
    {L"Appearance", IDD_APPEARANCE_PAGE, AppearancePageProc},
    {L"Summary", IDD_SUMMARY_PAGE, SummaryPageProc},
    {L"User process I/O", IDD_STATISTICS_PAGE, ProcessIoPageProc},
};
constexpr int kTabCount = static_cast<int>(std::size(kPages));

// The frame's own state, owned by its window: made at WM_NCCREATE and
// released at WM_NCDESTROY.
struct OptionsFrame {
    explicit OptionsFrame(OptionsHost& programHost) : host(programHost) {}

    OptionsHost& host;
    HWND tabs = nullptr;
    HWND page = nullptr;  // at most one page exists, a child of the tab control
    int tab = -1;
    HWND lastFocus = nullptr;  // the page control that had the focus when the frame was deactivated
    UniqueFont tabFont;        // a copy of the page's font, at the window's DPI
};

OptionsFrame* FrameOf(HWND window)
{
    return WindowObject<OptionsFrame>(window);
}

struct LibraryDeleter {
    void operator()(HINSTANCE__* module) const { FreeLibrary(module); }
};

template <typename Function>
Function Export(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The tab-coloured page background of visual styles, when the system has them.
void ApplyDialogTexture(HWND page)
{
    const std::unique_ptr<HINSTANCE__, LibraryDeleter> uxtheme(LoadLibraryW(L"UxTheme.dll"));
    if (!uxtheme)
        return;
    const auto isAppThemed = Export<BOOL(WINAPI*)()>(uxtheme.get(), "IsAppThemed");
    const auto enableTexture = Export<HRESULT(WINAPI*)(HWND, DWORD)>(uxtheme.get(), "EnableThemeDialogTexture");
    if (isAppThemed && isAppThemed() && enableTexture)
        enableTexture(page, kEnableTabTexture);
}

// Moves the page, without resizing it, to the tab control's display area.
void PlacePage(const OptionsFrame& state, HWND page)
{
    RECT area{};
    GetClientRect(state.tabs, &area);
    TabCtrl_AdjustRect(state.tabs, FALSE, &area);
    SetWindowPos(page, nullptr, area.left, area.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND MakePage(const OptionsFrame& state, HWND frame, int dialogId, DLGPROC procedure)
{
    const HINSTANCE instance = state.host.Instance();
    const HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(dialogId), RT_DIALOG);
    const HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
    const auto* dialog = loaded ? static_cast<const DLGTEMPLATE*>(LockResource(loaded)) : nullptr;
    if (!dialog)
        return nullptr;
    // Each page is given the host: its only way to the program.
    const HWND page = CreateDialogIndirectParamW(instance, dialog, state.tabs ? state.tabs : frame, procedure,
                                                 reinterpret_cast<LPARAM>(&state.host));
    if (!page)
        return nullptr;
    if (state.tabs)
        PlacePage(state, page);
    ApplyDialogTexture(page);
    InvalidateRect(page, nullptr, TRUE);
    return page;
}

// Gives the tab control the page's font, which the dialog manager made at
// the window's DPI.
void MatchTabFont(OptionsFrame& state)
{
    const auto pageFont = reinterpret_cast<HFONT>(SendMessageW(state.page, WM_GETFONT, 0, 0));
    LOGFONTW description{};
    UniqueFont font;
    if (pageFont && GetObjectW(pageFont, sizeof description, &description))
        font.Reset(CreateFontIndirectW(&description));
    const HGDIOBJ shown = font ? static_cast<HGDIOBJ>(font.Get()) : GetStockObject(DEFAULT_GUI_FONT);
    SendMessageW(state.tabs, WM_SETFONT, reinterpret_cast<WPARAM>(shown), TRUE);
    state.tabFont = std::move(font);
}

// Sizes the tab control so that its display area holds the page, moves the
// page there and sizes the frame around the tab control, its caption and
// menu bar measured at the DPI: nothing clipped, no strip left unpainted.
void FitToPage(HWND frame, OptionsFrame& state, UINT dpi)
{
    if (!state.page)
        return;
    RECT rect{};
    GetWindowRect(state.page, &rect);
    OffsetRect(&rect, -rect.left, -rect.top);
    TabCtrl_AdjustRect(state.tabs, TRUE, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    SetWindowPos(state.tabs, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PlacePage(state, state.page);
    RECT outer{0, 0, width, height};
    AdjustWindowRectForDpi(&outer, kFrameStyle, true, kFrameExStyle, dpi);
    SetWindowPos(frame, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Moves the keyboard focus to the page's first (or last) control.
void FocusPage(const OptionsFrame& state, bool last)
{
    if (const HWND item = state.page ? GetNextDlgTabItem(state.page, nullptr, last) : nullptr)
        SendMessageW(state.page, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
}

bool ShowTab(HWND frame, OptionsFrame& state, int index)
{
    if (index < 0 || index >= kTabCount)
        return false;
    const HWND focus = GetFocus();
    const bool focusInPage = state.page && (focus == state.page || IsChild(state.page, focus));
    if (const HWND old = std::exchange(state.page, nullptr))
        DestroyWindow(old);
    state.tab = index;
    if (TabCtrl_GetCurSel(state.tabs) != index)
        TabCtrl_SetCurSel(state.tabs, index);
    state.page = MakePage(state, frame, kPages[index].dialog, kPages[index].procedure);
    if (focusInPage || !GetFocus())
        FocusPage(state, false);
    return true;
}

void ShowAboutBox(HWND frame, OptionsHost& host);

LRESULT OnNcCreate(HWND frame, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto state = std::make_unique<OptionsFrame>(*CreationObject<OptionsHost>(lParam));
    BindWindowObject(frame, state.release());  // the window owns it from now on
    return DefWindowProcW(frame, message, wParam, lParam);
}

LRESULT OnCreate(HWND frame, OptionsFrame& state)
{
    state.tabs = CreateWindowExW(0, WC_TABCONTROLW, L"tabctrl", WS_CHILD | WS_VISIBLE, 0, 0, 0, 40, frame, nullptr,
                                 state.host.Instance(), nullptr);
    if (!state.tabs)
        return -1;
    for (int index = 0; index < kTabCount; ++index) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(kPages[index].label);
        TabCtrl_InsertItem(state.tabs, index, &item);
    }
    state.tab = 0;
    state.page = MakePage(state, frame, kPages[0].dialog, kPages[0].procedure);
    MatchTabFont(state);
    FitToPage(frame, state, DpiOfWindow(frame));
    return 0;
}

LRESULT OnNotify(HWND frame, OptionsFrame& state, const NMHDR& header, WPARAM wParam, LPARAM lParam)
{
    if (header.hwndFrom == state.tabs && header.code == TCN_SELCHANGE) {
        const int index = TabCtrl_GetCurSel(state.tabs);
        if (index < 0)
            return 0;
        ShowTab(frame, state, index);
    }
    return DefWindowProcW(frame, WM_NOTIFY, wParam, lParam);
}

// The frame's state is gone once the host closed the window: nothing may
// touch it after CloseOptions.
LRESULT OnCommand(HWND frame, OptionsHost& host, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case IDC_HIDE_OPTIONS:
        host.CloseOptions();
        return 0;
    case IDC_ABOUT:
        ShowAboutBox(frame, host);
        return 0;
    case IDC_EXIT:
        host.CloseOptions();
        host.Exit();
        return 0;
    case IDC_WEB_PAGE:
        CurrentOptionsSystem().OpenAddress(frame, kWebAddress);
        return 0;
    default:
        return DefWindowProcW(frame, message, wParam, lParam);
    }
}

LRESULT OnPaint(HWND frame)
{
    PAINTSTRUCT paint{};
    BeginPaint(frame, &paint);
    EndPaint(frame, &paint);
    return 0;
}

LRESULT OnShowWindow(HWND frame, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (wParam)
        return 0;
    const LRESULT result = DefWindowProcW(frame, message, wParam, lParam);
    TrimWorkingSet();
    return result;
}

// Keeps the page control that had the focus, to give it back on activation.
void OnActivate(OptionsFrame& state, WPARAM wParam)
{
    const HWND focus = GetFocus();
    if (LOWORD(wParam) == WA_INACTIVE && state.page && IsChild(state.page, focus))
        state.lastFocus = focus;
}

void OnSetFocus(OptionsFrame& state)
{
    if (state.lastFocus && IsWindow(state.lastFocus) && IsChild(state.page, state.lastFocus))
        SetFocus(state.lastFocus);
    else
        FocusPage(state, false);
}

// The window moved to a monitor of another scale (its DPI is the new one by
// now): it goes where the system suggests, the page is made again at the new
// DPI with a matching tab font, and the frame is sized around it (dialog
// units do not scale exactly with the DPI, so the suggested size would clip
// the page or leave a strip).
LRESULT OnDpiChanged(HWND frame, OptionsFrame& state, const RECT& suggested)
{
    SetWindowPos(frame, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowTab(frame, state, state.tab);
    MatchTabFont(state);
    FitToPage(frame, state, DpiOfWindow(frame));
    return 0;
}

LRESULT OnDestroy(HWND frame, OptionsFrame& state, UINT message, WPARAM wParam, LPARAM lParam)
{
    state.page = nullptr;
    state.tabs = nullptr;
    state.lastFocus = nullptr;
    const LRESULT result = DefWindowProcW(frame, message, wParam, lParam);
    TrimWorkingSet();
    return result;
}

LRESULT OnNcDestroy(HWND frame, UINT message, WPARAM wParam, LPARAM lParam)
{
    const std::unique_ptr<OptionsFrame> state(FrameOf(frame));  // released with this
    UnbindWindowObject(frame);
    state->host.OptionsGone(frame);
    return DefWindowProcW(frame, message, wParam, lParam);
}

LRESULT CALLBACK OptionsWndProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        return OnNcCreate(frame, message, wParam, lParam);
    OptionsFrame* state = FrameOf(frame);
    if (!state)
        return DefWindowProcW(frame, message, wParam, lParam);
    switch (message) {
    case WM_CREATE:
        return OnCreate(frame, *state);
    case WM_NOTIFY:
        return OnNotify(frame, *state, *reinterpret_cast<const NMHDR*>(lParam), wParam, lParam);
    case WM_COMMAND:
        return OnCommand(frame, state->host, message, wParam, lParam);
    case WM_CLOSE:
        state->host.CloseOptions();
        return 0;
    case WM_PAINT:
        return OnPaint(frame);
    case WM_ERASEBKGND:
        return 1;
    case WM_SHOWWINDOW:
        return OnShowWindow(frame, message, wParam, lParam);
    case WM_ACTIVATE:
        OnActivate(*state, wParam);
        return DefWindowProcW(frame, message, wParam, lParam);
    case WM_SETFOCUS:
        OnSetFocus(*state);
        return 0;
    case WM_DPICHANGED:
        return OnDpiChanged(frame, *state, *reinterpret_cast<const RECT*>(lParam));
    case WM_DESTROY:
        return OnDestroy(frame, *state, message, wParam, lParam);
    case WM_NCDESTROY:
        return OnNcDestroy(frame, message, wParam, lParam);
    default:
        return DefWindowProcW(frame, message, wParam, lParam);
    }
}

// Made with the host as its parameter.
INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextW(dialog, IDC_ABOUT_TEXT, AboutText().c_str());
        SetDlgItemTextW(dialog, IDC_ABOUT_SETTINGS, reinterpret_cast<OptionsHost*>(lParam)->SettingsNote().c_str());
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

void ShowAboutBox(HWND frame, OptionsHost& host)
{
    DialogBoxParamW(host.Instance(), MAKEINTRESOURCEW(IDD_ABOUT), frame, AboutProc, reinterpret_cast<LPARAM>(&host));
}

}  // namespace

bool RegisterOptionsClass(HINSTANCE instance)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = OptionsWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszMenuName = MAKEINTRESOURCEW(IDM_OPTIONS_MENU);
    windowClass.lpszClassName = kOptionsClass;
    return RegisterClassExW(&windowClass) != 0;
}

namespace {

// The frame, hidden, on "General".
HWND MakeFrame(OptionsHost& host)
{
    return CreateWindowExW(kFrameExStyle, kOptionsClass, L"" QORVEL_PRODUCT_NAME, kFrameStyle, CW_USEDEFAULT, 0,
                           CW_USEDEFAULT, 0, nullptr, nullptr, host.Instance(), &host);
}

}  // namespace

HWND CreateOptionsWindow(OptionsHost& host)
{
    const HWND frame = MakeFrame(host);
    if (!frame)
        return nullptr;
    ShowWindow(frame, SW_SHOW);
    RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    return frame;
}

OptionsWindowPlace CurrentOptionsPlace(HWND frame)
{
    OptionsWindowPlace place;
    if (!frame || !IsWindowVisible(frame))
        return place;
    place.open = true;
    place.tab = std::max(CurrentOptionsTab(frame), 0);
    GetWindowPlacement(frame, &place.placement);
    place.foreground = GetForegroundWindow() == frame;
    return place;
}

HWND ReopenOptionsWindow(OptionsHost& host, const OptionsWindowPlace& place)
{
    if (!place.open)
        return nullptr;
    const HWND frame = MakeFrame(host);
    if (!frame)
        return nullptr;
    SelectOptionsTab(frame, place.tab);
    // A minimized window's rectangle lies off every screen: the placement
    // keeps where it goes when it is restored.
    WINDOWPLACEMENT placement = place.placement;
    const bool minimized = placement.showCmd == SW_SHOWMINIMIZED || placement.showCmd == SW_MINIMIZE ||
                           placement.showCmd == SW_SHOWMINNOACTIVE;
    placement.showCmd = minimized ? SW_SHOWMINNOACTIVE : place.foreground ? SW_SHOW : SW_SHOWNOACTIVATE;
    placement.flags = 0;
    SetWindowPlacement(frame, &placement);
    RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    if (place.foreground && !minimized)
        SetForegroundWindow(frame);
    return frame;
}

HWND CreateOptionsPage(HWND frame, int dialogId, DLGPROC procedure)
{
    const OptionsFrame* state = FrameOf(frame);
    return state ? MakePage(*state, frame, dialogId, procedure) : nullptr;
}

HWND CurrentOptionsPage(HWND frame)
{
    const OptionsFrame* state = FrameOf(frame);
    return state ? state->page : nullptr;
}

int CurrentOptionsTab(HWND frame)
{
    const OptionsFrame* state = FrameOf(frame);
    return state ? state->tab : -1;
}

bool SelectOptionsTab(HWND frame, int index)
{
    OptionsFrame* state = FrameOf(frame);
    return state && ShowTab(frame, *state, index);
}

bool TranslateOptionsMessage(HWND frame, MSG& message, HACCEL accelerators)
{
    if (!frame || !message.hwnd || (message.hwnd != frame && !IsChild(frame, message.hwnd)))
        return false;
    if (accelerators && TranslateAcceleratorW(frame, accelerators, &message))
        return true;
    OptionsFrame* state = FrameOf(frame);
    if (!state)
        return false;
    if (message.message == WM_KEYDOWN && message.wParam == VK_TAB) {
        const bool shift = GetKeyState(VK_SHIFT) < 0;
        if (GetKeyState(VK_CONTROL) < 0) {
            ShowTab(frame, *state, (state->tab + (shift ? kTabCount - 1 : 1)) % kTabCount);
            FocusPage(*state, false);
            return true;
        }
        if (message.hwnd == state->tabs) {  // from the tabs into the page
            FocusPage(*state, shift);
            return true;
        }
    }
    return state->page && IsDialogMessageW(state->page, &message);
}

std::wstring AboutText()
{
    return kAboutText;
}
