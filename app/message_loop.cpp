#include "app/message_loop.h"

#include "app/application.h"
#include "app/program.h"
#include "options/options_window.h"

namespace {

void Dispatch(Application& app, MSG& message)
{
    // The Options window's keys first: its accelerators, tab switching and the
    // page's dialog keys.
    if (TranslateOptionsMessage(app.options.Get(), message, app.accelerators))
        return;
    if (app.accelerators && message.hwnd && TranslateAcceleratorW(message.hwnd, app.accelerators, &message))
        return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

}  // namespace

int RunMessageLoop(Application& app, HANDLE showEvent)
{
    HANDLE waits[2] = {};
    DWORD count = 0;
    for (const HANDLE event : {showEvent, app.exitEventInLoop}) {
        if (event)
            waits[count++] = event;
    }
    for (;;) {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return static_cast<int>(message.wParam);
            Dispatch(app, message);
            // A menu's or a dialog's own loop may have taken the quit message.
            if (app.ending)
                return 0;
        }
        app.gate.Open();  // the sampler may sample while this thread waits
        const DWORD result = MsgWaitForMultipleObjects(count, waits, FALSE, INFINITE, QS_ALLINPUT);
        app.gate.Close();
        if (result == WAIT_FAILED)
            return 0;
        if (result >= WAIT_OBJECT_0 + count)
            continue;  // a message
        if (waits[result - WAIT_OBJECT_0] == showEvent) {
            ShowOptionsWindow(app);
            continue;
        }
        app.ending = true;  // the exit event, when no sampler watches it
        return 0;
    }
}
