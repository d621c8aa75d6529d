#include "tests/support/provider_registration.h"

#include "common/win_handles.h"
#include "tools/perfprov/provider_key.h"

namespace {

// Where ProviderSetAside keeps the Performance key meanwhile.
constexpr wchar_t kAsideKey[] = L"Software\\QorvelPerformanceAside";

void SetMode(const std::wstring& mode)
{
    RegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProviderServiceKey, 0, KEY_SET_VALUE, key.Receive()) == ERROR_SUCCESS)
        RegSetValueExW(key.Get(), kProviderModeValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(mode.c_str()),
                       static_cast<DWORD>((mode.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

bool RunningUnderWine()
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::wstring ProviderValue(const wchar_t* subkey, const wchar_t* name)
{
    const std::wstring path = subkey ? std::wstring(kProviderServiceKey) + L"\\" + subkey : kProviderServiceKey;
    RegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return {};
    wchar_t text[1024] = {};
    DWORD type = 0;
    DWORD size = sizeof text - sizeof(wchar_t);
    if (RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    return text;
}

bool ProviderRegistered()
{
    return !ProviderValue(L"Performance", kProviderLibraryValue).empty();
}

ProviderModeScope::ProviderModeScope(const wchar_t* mode) : previous_(ProviderValue(nullptr, kProviderModeValue))
{
    SetMode(mode);
}

ProviderModeScope::~ProviderModeScope()
{
    SetMode(previous_);
}

ProviderSetAside::ProviderSetAside()
{
    RegKey aside;
    RegDeleteTreeW(HKEY_CURRENT_USER, kAsideKey);
    removed_ = RegCreateKeyExW(HKEY_CURRENT_USER, kAsideKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, aside.Receive(),
                               nullptr) == ERROR_SUCCESS &&
               RegCopyTreeW(HKEY_LOCAL_MACHINE, kProviderPerformanceKey, aside.Get()) == ERROR_SUCCESS &&
               RegDeleteTreeW(HKEY_LOCAL_MACHINE, kProviderPerformanceKey) == ERROR_SUCCESS;
}

ProviderSetAside::~ProviderSetAside()
{
    RegKey performance;
    if (removed_ && RegCreateKeyExW(HKEY_LOCAL_MACHINE, kProviderPerformanceKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                    nullptr, performance.Receive(), nullptr) == ERROR_SUCCESS)
        RegCopyTreeW(HKEY_CURRENT_USER, kAsideKey, performance.Get());
    RegDeleteTreeW(HKEY_CURRENT_USER, kAsideKey);
}
