#include "app/message_loop.h"

#include "app/application.h"
#include "app/shell.h"
#include "options/options_window.h"

namespace {

void Dispatch(Application& app, MSG& message)
{
    // The Options window's keys first: its accelerators, tab switching and the
    // page's dialog keys.
    if (TranslateOptionsMessage(message, app.accelerators))
        return;
    if (app.accelerators && message.hwnd && TranslateAcceleratorW(message.hwnd, app.accelerators, &message))
        return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

}  // namespace

int RunMessageLoop(Application& app, HANDLE showEvent, HANDLE exitEvent)
{
    HANDLE events[2] = {};
    DWORD count = 0;
    if (showEvent)
        events[count++] = showEvent;
    if (exitEvent)
        events[count++] = exitEvent;
    for (;;) {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return static_cast<int>(message.wParam);
            Dispatch(app, message);
        }
        const DWORD result = MsgWaitForMultipleObjects(count, events, FALSE, INFINITE, QS_ALLINPUT);
        if (result >= WAIT_OBJECT_0 && result < WAIT_OBJECT_0 + count) {
            if (events[result - WAIT_OBJECT_0] != showEvent)
                return 0;  // the exit event
            ShowOptionsWindow();
        } else if (result == WAIT_FAILED) {
            return 0;
        }
    }
}
