#pragma once
// The file, folder and shell calls of the settings code that tests must be able
// to make fail, in one place. The default implementation makes the real Win32
// calls; tests put a replacement in force with ScopedSettingsSystem and run the
// real code above it.
#include <windows.h>

#include <string>

class SettingsSystem {
public:
    virtual ~SettingsSystem() = default;

    // SHGetSpecialFolderPathW(no owner, buffer of MAX_PATH, csidl, create):
    // the folder, or false when the system cannot answer it.
    virtual bool SpecialFolderPath(int csidl, std::wstring* path);

    // GetModuleFileNameW of the program (GetModuleHandleW(nullptr)) in a buffer
    // of 1024 characters; empty when it fails.
    virtual std::wstring ModuleFileName();

    // CreateDirectoryW without security attributes: ERROR_SUCCESS or the error.
    virtual DWORD CreateFolder(const std::wstring& path);

    // GetFileAttributesW: INVALID_FILE_ATTRIBUTES when the file is missing or
    // cannot be asked about.
    virtual DWORD FileAttributes(const std::wstring& path);

    // CreateFileW of the settings file or its temporary file; the handle, or
    // INVALID_HANDLE_VALUE with the error left in GetLastError.
    virtual HANDLE OpenFileHandle(const std::wstring& path, DWORD access, DWORD disposition);

    // Whether a file can be written at path: CreateFileW for writing, opened
    // or made, and deleted when closed (nothing stays).
    virtual bool CanWriteFile(const std::wstring& path);

    // FlushFileBuffers: false when the written bytes may not have reached the disk.
    virtual bool FlushFile(HANDLE file);

    // ReplaceFileW(target, temporary, backup, REPLACEFILE_IGNORE_MERGE_ERRORS):
    // ERROR_SUCCESS (target renamed to backup, temporary to target) or the
    // error; after 1177 the old file is left under the backup's name.
    virtual DWORD ReplaceSettingsFile(const std::wstring& target, const std::wstring& temporary,
                                      const std::wstring& backup);

    // MoveFileExW(temporary, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH).
    virtual bool MoveIntoPlace(const std::wstring& temporary, const std::wstring& target);
};

// The seam in force: the real system unless a test put another in place.
SettingsSystem& CurrentSettingsSystem();

// Puts a replacement in force for its lifetime (tests).
class ScopedSettingsSystem {
public:
    explicit ScopedSettingsSystem(SettingsSystem& replacement);
    ~ScopedSettingsSystem();
    ScopedSettingsSystem(const ScopedSettingsSystem&) = delete;
    ScopedSettingsSystem& operator=(const ScopedSettingsSystem&) = delete;

private:
    SettingsSystem* previous_;
};
