#include "settings/settings_location.h"

#include <windows.h>
#include <shlobj.h>

#include "common/win_handles.h"
#include "settings/ini_ex.h"
#include "settings/settings_system.h"

namespace {

constexpr wchar_t kFolderName[] = L"Qorvel Indicator";
constexpr wchar_t kFileName[] = L"settings.ini";

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// The program's path up to and including its last "\"; empty when it has none.
std::wstring ProgramFolderText()
{
    const std::wstring path = CurrentSettingsSystem().ModuleFileName();
    const std::size_t last = path.rfind(L'\\');
    return last == std::wstring::npos ? std::wstring() : path.substr(0, last + 1);
}

// A file (not a folder) of that name stands beside the program.
bool PortableFileStands(SettingsSystem& system, const std::wstring& folder)
{
    if (folder.empty())
        return false;
    const DWORD attributes = system.FileAttributes(folder + kFileName);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

bool OpenSettingsFile(CIniEx& store, SettingsPlace* place)
{
    SettingsPlace unused = SettingsPlace::Profile;
    SettingsPlace& where = place ? *place : unused;
    SettingsSystem& system = CurrentSettingsSystem();
    where = SettingsPlace::Profile;
    const std::wstring programFolder = ProgramFolderText();
    if (PortableFileStands(system, programFolder)) {
        // A save writes its temporary file beside the file first.
        if (system.CanWriteFile(programFolder + kFileName + L".tmp")) {
            where = SettingsPlace::Portable;
            return store.Load(programFolder + kFileName);
        }
        where = SettingsPlace::ProfileFolderReadOnly;
    }
    std::wstring folder;
    if (system.SpecialFolderPath(CSIDL_LOCAL_APPDATA, &folder))
        return LoadFromFolder(store, folder);
    if (system.SpecialFolderPath(CSIDL_PERSONAL | CSIDL_FLAG_CREATE, &folder))
        return LoadFromFolder(store, folder);
    return LoadBesideProgram(store);
}

std::wstring SettingsPlaceNote(SettingsPlace place)
{
    if (place != SettingsPlace::ProfileFolderReadOnly)
        return {};
    return L"The program's folder cannot be written: the settings are kept in your profile.";
}

bool LoadFromFolder(CIniEx& store, const std::wstring& folder)
{
    const std::wstring path = folder + L"\\" + kFolderName + L"\\";
    CFileSystemHelpers::CreatePath(path);
    return store.Load(path + kFileName);
}

bool LoadBesideProgram(CIniEx& store)
{
    return store.Load(ProgramFolderText() + kFileName);
}

bool CFileSystemHelpers::CreatePath(const std::wstring& path)
{
    if (path.size() >= MAX_PATH)
        return false;
    SettingsSystem& system = CurrentSettingsSystem();
    std::wstring built;
    std::size_t i = 0;
    if (path.size() > 2 && path[1] == L':') {
        built = path.substr(0, 2);
        i = 2;
    }
    while (i < path.size()) {
        built += path[i++];
        while (i < path.size() && !IsSeparator(path[i]))
            built += path[i++];
        const DWORD error = system.CreateFolder(built);
        if (error != ERROR_SUCCESS && error != ERROR_ALREADY_EXISTS)
            return false;
    }
    return true;
}

std::optional<std::wstring> GetModuleFolder()
{
    const std::wstring folder = ProgramFolderText();
    if (folder.empty())
        return std::nullopt;
    return AddTrailingSeparator(folder);
}

std::wstring AddTrailingSeparator(const std::wstring& path)
{
    if (!path.empty() && IsSeparator(path.back()))
        return path;
    return path + L"\\";
}

std::wstring StartAtLogonData(const std::wstring& folder)
{
    return L"\"" + AddTrailingSeparator(folder) + kRunValue + L"\" s";
}

void ApplyStartWithWindows(bool on)
{
    RegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_ALL_ACCESS, key.Receive()) != ERROR_SUCCESS)
        return;
    // Without a known folder the entry stays empty.
    std::wstring data;
    const std::optional<std::wstring> folder = GetModuleFolder();
    if (on && folder)
        data = StartAtLogonData(*folder);
    // Off empties this copy's entry only: another copy (an installed one beside
    // a portable one) keeps its own. Paths compare without case, as Windows does.
    if (!on) {
        wchar_t stored[2 * MAX_PATH] = {};
        DWORD size = sizeof stored - sizeof(wchar_t);
        const std::wstring own = folder ? StartAtLogonData(*folder) : std::wstring();
        if (RegGetValueW(key.Get(), nullptr, kRunValue, RRF_RT_REG_SZ, nullptr, stored, &size) == ERROR_SUCCESS &&
            stored[0] != L'\0' && CompareStringOrdinal(stored, -1, own.c_str(), -1, TRUE) != CSTR_EQUAL)
            return;
    }
    RegSetValueExW(key.Get(), kRunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}
