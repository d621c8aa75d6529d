#pragma once
// The settings store: one INI-style file read completely into memory, typed
// reads with the caller's defaults, changes in memory, and the whole file
// written back when something changed. Sections are found from the first,
// keys from the last; section names, keys and (when a change is judged) values
// are compared with letter case ignored, the CharLowerW way.
#include <windows.h>

#include <string>
#include <vector>

#include "settings/ini_text.h"

class CIniEx {
public:
    CIniEx() = default;
    // Saves when a file was opened (and the store is modified).
    virtual ~CIniEx();
    CIniEx(const CIniEx&) = delete;
    CIniEx& operator=(const CIniEx&) = delete;

    // Opens the file at path, creating it empty when it does not exist, and
    // reads it; when it is missing but a whole temporary file that a save cut
    // short left beside it exists, that one takes its place first. A file
    // already open is saved and the store emptied first. False
    // when the file can neither be opened nor created: the store then has no
    // file, answers every default and ignores every change.
    bool Load(std::wstring path);

    // Writes the whole store when it is modified: to a temporary file in the
    // same folder, flushed, which then takes the file's place in one step (a
    // replace held up by a scanner is tried again for a moment). When any step
    // fails the file stays as it was and nothing is reported; when the system
    // had already moved the file away, or the file is missing, the temporary
    // file is moved into its place instead, or kept for the next save. The
    // store stays modified either way, so every later save writes again.
    void Save();

    // Empties the store: no sections, no file, not modified.
    void Clear();

    // Index of the first section named name, or -1.
    int FindSection(std::wstring name) const;
    // Index of the last key of the section equal to key, or -1.
    int FindKey(int section, std::wstring key) const;

    // The value, less an inline comment (from its last ";" on), or the default
    // unchanged when the section or key is missing.
    std::wstring GetString(std::wstring section, std::wstring key, std::wstring defaultValue) const;
    // Sets a value, creating section and key when missing; ignored without a
    // file. The store becomes modified when a section or key is added or the
    // value changes other than in letter case.
    void SetString(std::wstring section, std::wstring key, std::wstring value);

    // Decimal integers, read the way wcstol reads them (12abc is 12, text 0).
    int GetInt(int defaultValue, std::wstring section, std::wstring key) const;
    void SetInt(int value, std::wstring section, std::wstring key);

    // "Yes" and "No"; only "Yes" in any letter case reads as true.
    bool GetBool(bool defaultValue, std::wstring section, std::wstring key) const;
    void SetBool(bool value, std::wstring section, std::wstring key);

    const std::wstring& FilePath() const { return filePath_; }
    bool IsModified() const { return modified_; }

private:
    std::vector<initext::Section> sections_;
    std::wstring filePath_;
    bool saveOnDestroy_ = false;
    bool modified_ = false;
    std::wstring trueWord_ = L"Yes";
    std::wstring falseWord_ = L"No";
};
