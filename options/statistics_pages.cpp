// The "Summary" and "User process I/O" tabs, empty until the statistics are
// built: dialog 147 as it is, closing the Options window on "Close" and Esc.
#include "options/options_pages.h"
#include "options/options_window.h"

namespace {

INT_PTR EmptyPage(HWND page, UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL)
            return FALSE;
        ClosePageAndOptions(page);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK SummaryPageProc(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    return EmptyPage(page, message, wParam);
}

INT_PTR CALLBACK ProcessIoPageProc(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    return EmptyPage(page, message, wParam);
}
