#pragma once
// A new, empty folder for one test, removed with everything in it when the
// test ends; and whole-file reads and writes.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

class TempFolder {
public:
    TempFolder()
    {
        std::error_code error;  // a folder an earlier run of the same process id left behind is passed over
        for (int tries = 0; tries < 100 && !std::filesystem::create_directory(path_, error); ++tries)
            path_ = Name(++count_);
    }
    ~TempFolder()
    {
        std::error_code ignored;  // whatever a failed test left behind, never end the program here
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Path() + "\" + name.
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }
    const std::wstring& Path() const { return path_; }

private:
    static std::wstring Name(int count)
    {
        const std::wstring name =
            L"qorvel-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(count);
        return (std::filesystem::temp_directory_path() / name).wstring();
    }
    static inline int count_ = 0;
    std::wstring path_ = Name(++count_);
};

// The file's bytes; none when it cannot be read.
inline std::optional<std::string> ReadBytes(const std::wstring& path)
{
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    if (!file)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), {});
}

inline void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    std::ofstream(std::filesystem::path(path), std::ios::binary | std::ios::trunc) << bytes;
}
