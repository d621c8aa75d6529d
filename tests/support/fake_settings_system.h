#pragma once
// A scripted replacement for the settings code's operating-system seam: the
// special folders answer what a test sets, the program path can be set, and
// chosen folder, file and replace calls fail. Everything else goes to the real
// calls, and the folder calls are recorded. Put it in force with
// ScopedSettingsSystem.
#include <windows.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "settings/settings_system.h"

class FakeSettingsSystem : public SettingsSystem {
public:
    std::map<int, std::wstring> folders;  // csidl -> folder; other lookups cannot be answered
    std::optional<std::wstring> moduleFileName;  // none: the real program path
    bool createFolders = true;                   // false: folders are only recorded, answered as made
    std::map<std::wstring, DWORD> folderErrors;  // these folders fail with the error
    std::vector<std::wstring> folderCalls;
    std::set<std::wstring> unopenable;  // opening these files fails with ERROR_ACCESS_DENIED
    bool failReplace = false;           // the replace step fails and leaves both files alone
    bool attributesFail = false;        // asking for a file's attributes fails, as when access is denied
    int replaces = 0;

    bool SpecialFolderPath(int csidl, std::wstring* path) override
    {
        const auto found = folders.find(csidl);
        if (found != folders.end())
            *path = found->second;
        return found != folders.end();
    }
    std::wstring ModuleFileName() override
    {
        return moduleFileName ? *moduleFileName : SettingsSystem::ModuleFileName();
    }
    DWORD CreateFolder(const std::wstring& path) override
    {
        folderCalls.push_back(path);
        const auto failing = folderErrors.find(path);
        if (failing != folderErrors.end())
            return failing->second;
        return createFolders ? SettingsSystem::CreateFolder(path) : ERROR_SUCCESS;
    }
    DWORD FileAttributes(const std::wstring& path) override
    {
        return attributesFail ? INVALID_FILE_ATTRIBUTES : SettingsSystem::FileAttributes(path);
    }
    HANDLE OpenFileHandle(const std::wstring& path, DWORD access, DWORD disposition) override
    {
        if (unopenable.count(path)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return INVALID_HANDLE_VALUE;
        }
        return SettingsSystem::OpenFileHandle(path, access, disposition);
    }
    bool ReplaceWithTemporary(const std::wstring& target, const std::wstring& temporary) override
    {
        ++replaces;
        return !failReplace && SettingsSystem::ReplaceWithTemporary(target, temporary);
    }
};
