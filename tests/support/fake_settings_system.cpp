#include "tests/support/fake_settings_system.h"

bool FakeSettingsSystem::SpecialFolderPath(int csidl, std::wstring* path)
{
    folderQueries.push_back(csidl);
    const auto found = folders.find(csidl);
    if (found == folders.end())
        return false;
    *path = found->second;
    return true;
}

std::wstring FakeSettingsSystem::ModuleFileName()
{
    return moduleFileName ? *moduleFileName : SettingsSystem::ModuleFileName();
}

DWORD FakeSettingsSystem::CreateFolder(const std::wstring& path)
{
    folderCalls.push_back(path);
    const auto failing = folderErrors.find(path);
    if (failing != folderErrors.end())
        return failing->second;
    return createFolders ? SettingsSystem::CreateFolder(path) : ERROR_SUCCESS;
}

HANDLE FakeSettingsSystem::OpenFileHandle(const std::wstring& path, DWORD access, DWORD disposition)
{
    opened.push_back(path);
    if (unopenable.count(path)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return SettingsSystem::OpenFileHandle(path, access, disposition);
}

bool FakeSettingsSystem::ReplaceWithTemporary(const std::wstring& target, const std::wstring& temporary)
{
    ++replaces;
    if (failReplace)
        return false;
    return SettingsSystem::ReplaceWithTemporary(target, temporary);
}
