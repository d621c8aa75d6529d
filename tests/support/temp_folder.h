#pragma once
// A new, empty folder under the temporary folder for one test, removed with
// everything in it when the test ends; and whole-file reads and writes.
#include <windows.h>

#include <optional>
#include <string>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    // Path() + "\" + name.
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

// Removes a folder and everything in it, or a file.
void RemoveTree(const std::wstring& path);

bool Exists(const std::wstring& path);
bool IsFolder(const std::wstring& path);

// The file's bytes; none when it cannot be read.
std::optional<std::string> ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
