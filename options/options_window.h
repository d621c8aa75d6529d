#pragma once
// The Options window: the program's only ordinary top-level window, a frame
// with a menu bar and a tab control showing one page at a time. The program
// makes it with its host and owns its window; the frame's state belongs to
// the window.
#include <windows.h>

#include <string>

class OptionsHost;

inline constexpr wchar_t kOptionsClass[] = L"QORVELIndicatorClass";

// The program's web page (command "Qorvel on the &Web"). There is no product
// page yet: a placeholder address in the reserved example domain.
inline constexpr wchar_t kWebAddress[] = L"https://qorvel.example/";

// Registers the Options window's class (with menu bar 109) and the common
// controls the pages use.
bool RegisterOptionsClass(HINSTANCE instance);

// Makes the Options window on the "General" tab, shown; null when the frame
// cannot be made. The host serves the window and its pages.
HWND CreateOptionsWindow(OptionsHost& host);

// Where an Options window stands, minimized or not: kept across a rebuild of
// the indicators, which destroys the window (its pages point at the records).
struct OptionsWindowPlace {
    bool open = false;
    int tab = 0;
    WINDOWPLACEMENT placement{sizeof(WINDOWPLACEMENT)};
    bool foreground = false;
};
OptionsWindowPlace CurrentOptionsPlace(HWND frame);

// Makes the Options window again where it stood, on the tab it showed, and
// minimized when it was (its place for a restore kept); it takes the
// foreground only when it had it. Null when it was not open.
HWND ReopenOptionsWindow(OptionsHost& host, const OptionsWindowPlace& place);

// Makes a page from a dialog resource with its procedure, in the tab control's
// display area of the Options window; null when it cannot be made.
HWND CreateOptionsPage(HWND frame, int dialogId, DLGPROC procedure);

// The window's page and selected tab; null and -1 when it has none.
HWND CurrentOptionsPage(HWND frame);
int CurrentOptionsTab(HWND frame);

// Shows the page of a tab (0 "General" to 3 "User process I/O"), destroying
// the shown one first; false for an index that names no tab.
bool SelectOptionsTab(HWND frame, int index);

// The message loop's turn for a message of the Options window or one of its
// descendants: accelerators go to the frame (so they work while a page
// control has the focus), Ctrl+Tab and Ctrl+Shift+Tab switch tabs, and the
// current page's dialog keys (Tab, arrows, Enter, Esc) are handled. True when
// the message was used up.
bool TranslateOptionsMessage(HWND frame, MSG& message, HACCEL accelerators);

// The About box's first line: product, version, and the date and time the
// program was built.
std::wstring AboutText();
