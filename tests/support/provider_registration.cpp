#include "tests/support/provider_registration.h"

#include "common/win_handles.h"
#include "tools/perfprov/provider_key.h"

namespace {

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
    RegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProviderPerformanceKey, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        Value value;
        value.data.resize(2048);
        DWORD size = 2048;
        if (RegEnumValueW(key.Get(), index, name, &nameLength, nullptr, &value.type, value.data.data(), &size) !=
            ERROR_SUCCESS)
            break;
        value.name.assign(name, nameLength);
        value.data.resize(size);
        values_.push_back(std::move(value));
    }
    key.Reset();
    removed_ = RegDeleteKeyW(HKEY_LOCAL_MACHINE, kProviderPerformanceKey) == ERROR_SUCCESS;
}

ProviderSetAside::~ProviderSetAside()
{
    RegKey key;
    if (!removed_ || RegCreateKeyExW(HKEY_LOCAL_MACHINE, kProviderPerformanceKey, 0, nullptr, 0, KEY_SET_VALUE,
                                     nullptr, key.Receive(), nullptr) != ERROR_SUCCESS)
        return;
    for (const Value& value : values_)
        RegSetValueExW(key.Get(), value.name.c_str(), 0, value.type, value.data.data(),
                       static_cast<DWORD>(value.data.size()));
}
