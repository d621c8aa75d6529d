#pragma once
// Expected texts built from the system's own formatting functions, so tests
// do not hard-code one system's wording of sizes.
#include <windows.h>
#include <shlwapi.h>

#include <cstdint>
#include <string>

namespace textexpect {

inline std::wstring ByteSize(std::uint64_t bytes)
{
    wchar_t text[100] = {};
    StrFormatByteSizeW(static_cast<LONGLONG>(bytes), text, 100);
    return text;
}

inline std::wstring KBSize(std::uint64_t bytes)
{
    wchar_t text[100] = {};
    StrFormatKBSizeW(static_cast<LONGLONG>(bytes), text, 100);
    return text;
}

// The user's thousands separator.
inline std::wstring Separator()
{
    wchar_t separator[8] = {};
    GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, separator, 8);
    return separator;
}

// "(1,234,567)" with the user's separator, for locales that group by threes.
inline std::wstring Exact(std::uint64_t value)
{
    std::wstring digits = std::to_wstring(value);
    for (std::size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, Separator());
    return L"(" + digits + L")";
}

}  // namespace textexpect
