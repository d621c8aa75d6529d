#include "app/worker_window.h"

#include <dbt.h>

#include <cstddef>
#include <cwchar>

#include "app/application.h"
#include "app/messages.h"
#include "app/program.h"
#include "app/sampling.h"
#include "common/window_binding.h"

namespace {

// GUID_DEVINTERFACE_USB_DEVICE and GUID_DEVINTERFACE_DISK.
const GUID kUsbDeviceInterface = {0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};
const GUID kDiskInterface = {0x53F56307, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}};

// The notification registered for a device handle a record holds, or null.
HDEVNOTIFY HandleNotification(LPARAM lParam)
{
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
    if (!header || header->dbch_devicetype != DBT_DEVTYP_HANDLE ||
        header->dbch_size < offsetof(DEV_BROADCAST_HANDLE, dbch_hdevnotify) + sizeof(HDEVNOTIFY))
        return nullptr;
    return reinterpret_cast<const DEV_BROADCAST_HANDLE*>(lParam)->dbch_hdevnotify;
}

// A device the sources hold is let go of as soon as its removal is asked,
// taken up again when the removal fails, and forgotten (its notification
// too) once it is going or gone.
bool TellRecord(performance_data& record, WPARAM event, HDEVNOTIFY notification)
{
    switch (event) {
    case DBT_DEVICEQUERYREMOVE:
        return record.DeviceRemovalQueried(notification);
    case DBT_DEVICEQUERYREMOVEFAILED:
        return record.DeviceRemovalFailed(notification);
    default:
        return record.DeviceRemoved(notification);
    }
}

void OnHeldDeviceChange(Application& app, WPARAM event, HDEVNOTIFY notification)
{
    for (const auto& data : app.displays) {
        if (data->record && TellRecord(*data->record, event, notification))
            return;
    }
}

LRESULT OnDeviceChange(HWND window, Application& app, WPARAM event, LPARAM lParam)
{
    // A burst of changes gives one rebuild, 3 s after the last of them.
    if (event == DBT_DEVICEARRIVAL || event == DBT_DEVICEREMOVECOMPLETE)
        SetTimer(window, IDT_DEVICE_CHANGE, kDeviceChangeDelay, nullptr);
    if (event == DBT_DEVICEQUERYREMOVE || event == DBT_DEVICEQUERYREMOVEFAILED || event == DBT_DEVICEREMOVEPENDING ||
        event == DBT_DEVICEREMOVECOMPLETE) {
        if (const HDEVNOTIFY notification = HandleNotification(lParam))
            OnHeldDeviceChange(app, event, notification);
    }
    return TRUE;  // a removal is never refused
}

void OnTimer(HWND window, Application& app, UINT_PTR id)
{
    switch (id) {
    case IDT_SAMPLE:
        SamplingTick(app);
        break;
    case IDT_SAVE_SETTINGS:
        KillTimer(window, IDT_SAVE_SETTINGS);
        SaveAllSettings(app);
        break;
    case IDT_HIGHLIGHT:
        if (!HighlightTick(app))
            KillTimer(window, IDT_HIGHLIGHT);
        break;
    case IDT_DEVICE_CHANGE:
        KillTimer(window, IDT_DEVICE_CHANGE);
        RebuildAfterDeviceChange(app);
        break;
    case IDT_TRAY_RETRY:
        RetryTrayIcon(app);
        break;
    default:
        break;
    }
}

// The tray icons' notifications (version 3: wParam is the icon's id, lParam
// the message). The shell selects an icon for a click, Enter or Space
// (NIN_SELECT, NIN_KEYSELECT) and asks for its menu for a right click, the
// menu key or Shift+F10 (WM_CONTEXTMENU, which follows WM_RBUTTONUP); a
// drive's icon answers as the all-drives icon does, and its tip follows the
// drive while the pointer moves over it.
void OnTrayNotify(Application& app, WPARAM id, LPARAM event)
{
    const bool drive = app.driveTray.Find(static_cast<UINT>(id)) != nullptr;
    if (id != kTrayIconId && !drive)
        return;
    switch (LOWORD(event)) {
    case WM_MOUSEMOVE:
        if (drive)
            RefreshDriveTrayTip(app, static_cast<UINT>(id));
        break;
    case NIN_SELECT:
    case NIN_KEYSELECT:
        ShowOptionsWindow(app);
        break;
    case WM_CONTEXTMENU:
        ShowTrayMenu(app);
        break;
    case WM_CLOSE:
        SaveAllSettings(app);
        break;
    default:
        break;
    }
}

// Closes a dialog of the program's thread (the About box, the colour chooser)
// as its Cancel would.
BOOL CALLBACK CloseDialog(HWND window, LPARAM)
{
    wchar_t className[16] = {};
    if (GetClassNameW(window, className, 16) && std::wcscmp(className, L"#32770") == 0)
        SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

// The exit event: an open menu and any dialog are closed, so that their
// loops end, and the program ends as after "Exit Qorvel".
void OnExitRequested(Application& app)
{
    app.ending = true;
    EndMenu();
    EnumThreadWindows(GetCurrentThreadId(), CloseDialog, 0);
    PostQuitMessage(0);
}

}  // namespace

bool RegisterWorkerClass(HINSTANCE instance)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = WorkerWndProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kWorkerClass;
    return RegisterClassExW(&windowClass) != 0;
}

HWND CreateWorkerWindow(Application& app)
{
    return CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kWorkerClass, L"", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE,
                           nullptr, app.instance, &app);
}

void RegisterDeviceNotifications(Application& app)
{
    for (const GUID& interfaceClass : {kUsbDeviceInterface, kDiskInterface}) {
        DEV_BROADCAST_DEVICEINTERFACE_W filter{};
        filter.dbcc_size = sizeof filter;
        filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        filter.dbcc_classguid = interfaceClass;
        app.deviceArrivals.emplace_back(
            RegisterDeviceNotificationW(app.worker.Get(), &filter, DEVICE_NOTIFY_WINDOW_HANDLE));
    }
}

LRESULT CALLBACK WorkerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        BindWindowObject(window, CreationObject<Application>(lParam));
    Application* app = WindowObject<Application>(window);
    if (!app)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_DEVICECHANGE:
        return OnDeviceChange(window, *app, wParam, lParam);
    case WM_TIMER:
        OnTimer(window, *app, wParam);
        return 0;
    case WM_SAMPLE_HERE:
        app->sampler.Taken();
        SamplingTick(*app);
        return 0;
    case WM_SHOW_SAMPLE:
        app->sampler.Taken();
        ShowSample(*app);
        return 0;
    case WM_TRAYNOTIFY:
        OnTrayNotify(*app, wParam, lParam);
        return 0;
    case WM_EXIT_REQUESTED:
        OnExitRequested(*app);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
