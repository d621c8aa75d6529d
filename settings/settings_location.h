#pragma once
// Where the settings file lives, and the start-at-logon entry.
//
// A copy with a "settings.ini" beside the program is portable: that file is
// the settings file, and nothing is written under the user's profile, unless
// the program's folder cannot be written. Otherwise the file is
// "settings.ini" in the folder "Qorvel Indicator" of the per-user local
// application-data folder; when the system cannot answer that folder, of the
// documents folder; when it cannot answer either, beside the program. The
// start-at-logon entry is the value "qorvel.exe" of the current user's Run key.
#include <optional>
#include <string>

class CIniEx;

// Where OpenSettingsFile put the settings.
enum class SettingsPlace {
    Profile,   // the per-user places (beside the program when the system names none)
    Portable,  // the settings.ini that stands beside the program
    // The per-user places: a settings.ini stands beside the program, but the
    // program's folder cannot be written.
    ProfileFolderReadOnly,
};

// Chooses the settings file and loads it into the store; the answer of Load.
// Only a folder the system cannot answer moves on to the next place. Where
// the settings went is left in *place when it is given.
bool OpenSettingsFile(CIniEx& store, SettingsPlace* place = nullptr);

// What the About box says of the place: why the profile keeps the settings of
// a portable copy, or nothing.
std::wstring SettingsPlaceNote(SettingsPlace place);

// Loads folder\Qorvel Indicator\settings.ini, creating the missing folders first.
bool LoadFromFolder(CIniEx& store, const std::wstring& folder);

// Loads settings.ini from the program's own folder.
bool LoadBesideProgram(CIniEx& store);

class CFileSystemHelpers {
public:
    // Creates every missing folder along the path (a drive letter alone is never
    // created); true when they all exist afterwards. A path of MAX_PATH
    // characters or more answers false and creates nothing.
    static bool CreatePath(const std::wstring& path);
};

// The program's folder with a trailing separator; none when the program's path
// holds no separator.
std::optional<std::wstring> GetModuleFolder();

// The path, ending with "\" or "/" (a "\" is added when it ends with neither).
std::wstring AddTrailingSeparator(const std::wstring& path);

// The start-at-logon entry: the value kRunValue of the current user's kRunKey.
inline constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunValue[] = L"qorvel.exe";

// The entry's data that starts the qorvel.exe of the folder at logon: its
// quoted path (so that a folder with blanks cannot start a program named
// after its first word) followed by " s".
std::wstring StartAtLogonData(const std::wstring& folder);

// Writes the start-at-logon entry for "StartWithWindows": StartAtLogonData of
// the program's folder when on, the empty text when off (the value stays).
// Nothing is reported when the key cannot be written.
void ApplyStartWithWindows(bool on);
