#include "settings/settings_system.h"

#include <shlobj.h>

namespace {

SettingsSystem g_realSystem;
SettingsSystem* g_current = &g_realSystem;

constexpr DWORD kModulePathChars = 1024;

}  // namespace

bool SettingsSystem::SpecialFolderPath(int csidl, std::wstring* path)
{
    wchar_t buffer[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, buffer, csidl, TRUE))
        return false;
    buffer[MAX_PATH - 1] = L'\0';
    path->assign(buffer);
    return true;
}

std::wstring SettingsSystem::ModuleFileName()
{
    wchar_t buffer[kModulePathChars] = {};
    const DWORD length = GetModuleFileNameW(GetModuleHandleW(nullptr), buffer, kModulePathChars);
    if (length == 0 || length >= kModulePathChars)
        return {};
    return std::wstring(buffer, length);
}

DWORD SettingsSystem::CreateFolder(const std::wstring& path)
{
    if (CreateDirectoryW(path.c_str(), nullptr))
        return ERROR_SUCCESS;
    const DWORD error = GetLastError();
    return error == ERROR_SUCCESS ? ERROR_GEN_FAILURE : error;
}

DWORD SettingsSystem::FileAttributes(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str());
}

HANDLE SettingsSystem::OpenFileHandle(const std::wstring& path, DWORD access, DWORD disposition)
{
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool SettingsSystem::CanWriteFile(const std::wstring& path)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

bool SettingsSystem::FlushFile(HANDLE file)
{
    return FlushFileBuffers(file) != FALSE;
}

DWORD SettingsSystem::ReplaceSettingsFile(const std::wstring& target, const std::wstring& temporary,
                                          const std::wstring& backup)
{
    if (ReplaceFileW(target.c_str(), temporary.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                     nullptr))
        return ERROR_SUCCESS;
    const DWORD error = GetLastError();
    return error == ERROR_SUCCESS ? ERROR_GEN_FAILURE : error;
}

bool SettingsSystem::MoveIntoPlace(const std::wstring& temporary, const std::wstring& target)
{
    return MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

SettingsSystem& CurrentSettingsSystem()
{
    return *g_current;
}

ScopedSettingsSystem::ScopedSettingsSystem(SettingsSystem& replacement) : previous_(g_current)
{
    g_current = &replacement;
}

ScopedSettingsSystem::~ScopedSettingsSystem()
{
    g_current = previous_;
}
