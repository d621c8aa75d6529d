#pragma once
// The Wine disk-counter provider's registration in the test prefix
// (tools/perfprov; scripts/test registers it in scripted mode): read its
// values, switch its mode for a while, or take it away for a while.
#include <windows.h>

#include <string>

// Whether the tests run under Wine (the provider serves only there).
bool RunningUnderWine();

// A string value of the provider's service key, or of one of its subkeys
// ("Performance", "Drives"); empty when missing.
std::wstring ProviderValue(const wchar_t* subkey, const wchar_t* name);

// Whether Wine's query will load the provider (its Library value is set).
bool ProviderRegistered();

// Sets the provider's mode for the lifetime of the object, then puts the
// previous mode back.
class ProviderModeScope {
public:
    explicit ProviderModeScope(const wchar_t* mode);
    ~ProviderModeScope();
    ProviderModeScope(const ProviderModeScope&) = delete;
    ProviderModeScope& operator=(const ProviderModeScope&) = delete;

private:
    std::wstring previous_;
};

// Removes the provider's Performance key (so that no disk provider is
// registered) for the lifetime of the object, then restores it as it was from
// a copy kept under HKEY_CURRENT_USER.
class ProviderSetAside {
public:
    ProviderSetAside();
    ~ProviderSetAside();
    ProviderSetAside(const ProviderSetAside&) = delete;
    ProviderSetAside& operator=(const ProviderSetAside&) = delete;

private:
    bool removed_ = false;
};
