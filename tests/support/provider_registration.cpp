#include "tests/support/provider_registration.h"

#include "common/win_handles.h"
#include "tools/perfprov/provider_key.h"

namespace {

std::wstring KeyPath(const wchar_t* subkey)
{
    std::wstring path = kProviderServiceKey;
    if (subkey && *subkey)
        path += std::wstring(L"\\") + subkey;
    return path;
}

bool WriteString(const wchar_t* name, const std::wstring& value)
{
    RegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProviderServiceKey, 0, KEY_SET_VALUE, key.Receive()) != ERROR_SUCCESS)
        return false;
    return RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace

bool RunningUnderWine()
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::wstring ProviderValue(const wchar_t* subkey, const wchar_t* name)
{
    RegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, KeyPath(subkey).c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
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

std::wstring ProviderScriptFile()
{
    return ProviderValue(nullptr, kProviderScriptFileValue);
}

bool ReplaceFileText(const std::wstring& path, const std::string& text)
{
    const std::wstring fresh = path + L".new";
    {
        UniqueHandle file(CreateFileW(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!file || !WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
            written != text.size())
            return false;
    }
    return MoveFileExW(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

ProviderModeScope::ProviderModeScope(const wchar_t* mode)
    : previous_(ProviderValue(nullptr, kProviderModeValue))
{
    WriteString(kProviderModeValue, mode);
}

ProviderModeScope::~ProviderModeScope()
{
    WriteString(kProviderModeValue, previous_);
}

ProviderSetAside::ProviderSetAside()
{
    RegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProviderPerformanceKey, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        BYTE data[2048];
        DWORD size = sizeof data;
        Value value;
        if (RegEnumValueW(key.Get(), index, name, &nameLength, nullptr, &value.type, data, &size) != ERROR_SUCCESS)
            break;
        value.name.assign(name, nameLength);
        value.data.assign(data, data + size);
        values_.push_back(std::move(value));
    }
    key.Reset();
    removed_ = RegDeleteKeyW(HKEY_LOCAL_MACHINE, kProviderPerformanceKey) == ERROR_SUCCESS;
}

ProviderSetAside::~ProviderSetAside()
{
    if (!removed_)
        return;
    RegKey key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kProviderPerformanceKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        key.Receive(), nullptr) != ERROR_SUCCESS)
        return;
    for (const Value& value : values_)
        RegSetValueExW(key.Get(), value.name.c_str(), 0, value.type, value.data.data(),
                       static_cast<DWORD>(value.data.size()));
}
