#include "app/named_events.h"

#include <sddl.h>

#include <memory>

namespace {

struct LocalFreeDeleter {
    void operator()(void* memory) const { LocalFree(memory); }
};

// Everyone (WD) is allowed to wait on the event and to signal it: 0x00100002
// is SYNCHRONIZE | EVENT_MODIFY_STATE.
constexpr wchar_t kExitEventSecurity[] = L"D:(A;;0x00100002;;;WD)";
static_assert(kExitEventRights == 0x00100002);

}  // namespace

UniqueHandle CreateExitEvent()
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorW(kExitEventSecurity, SDDL_REVISION_1, &descriptor, nullptr);
    const std::unique_ptr<void, LocalFreeDeleter> owner(descriptor);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    // Asking only for the rights everyone has also opens an event that an
    // instance in another logon session created.
    return UniqueHandle(CreateEventExW(descriptor ? &attributes : nullptr, kExitEventName, 0, kExitEventRights));
}

bool ClaimSingleInstance(UniqueHandle& showEvent)
{
    const HANDLE event = CreateEventW(nullptr, FALSE, FALSE, kShowEventName);
    const DWORD error = GetLastError();
    showEvent.Reset(event);
    if ((event && error == ERROR_ALREADY_EXISTS) || (!event && error == ERROR_ACCESS_DENIED)) {
        // Another instance runs (one we may not open with every right: it
        // runs elevated, or as another account in this session). It is a
        // background process: let it bring its Options window to the front,
        // as far as it may be signalled at all.
        AllowSetForegroundWindow(ASFW_ANY);
        UniqueHandle running(event ? nullptr : OpenEventW(EVENT_MODIFY_STATE, FALSE, kShowEventName));
        if (const HANDLE signalled = event ? event : running.Get()) {
            SetEvent(signalled);
            Sleep(200);
        }
        showEvent.Reset();
        return false;
    }
    return true;
}
