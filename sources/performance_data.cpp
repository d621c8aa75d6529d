#include "sources/performance_data.h"

#include <shlwapi.h>

#include <cwchar>
#include <string>

#include "sources/counter_source.h"
#include "sources/disk_source.h"
#include "sources/registry_access.h"

namespace recordtext {
namespace {

// The locale's grouping ("3;0", "3;2;0") in the form NUMBERFMTW wants (3, 32).
UINT GroupingOf(const wchar_t* pattern)
{
    UINT grouping = 0;
    for (const wchar_t* p = pattern; *p; ++p) {
        if (*p >= L'1' && *p <= L'9')
            grouping = grouping * 10 + static_cast<UINT>(*p - L'0');
    }
    // "3;0" repeats the last group; a pattern without the closing 0 does not.
    const std::size_t length = std::wcslen(pattern);
    if (length >= 2 && pattern[length - 1] == L'0' && pattern[length - 2] == L';')
        return grouping;
    return grouping * 10;
}

}  // namespace

std::wstring ExactNumber(std::uint64_t value)
{
    const std::wstring digits = std::to_wstring(value);
    wchar_t thousand[8] = L",";
    wchar_t decimal[8] = L".";
    wchar_t grouping[16] = L"3;0";
    GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, thousand, 8);
    GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, decimal, 8);
    GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SGROUPING, grouping, 16);
    NUMBERFMTW format{};
    format.NumDigits = 0;
    format.LeadingZero = 1;
    format.Grouping = GroupingOf(grouping);
    format.lpDecimalSep = decimal;
    format.lpThousandSep = thousand;
    format.NegativeOrder = 1;
    wchar_t grouped[64] = {};
    if (GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, digits.c_str(), &format, grouped, 64) == 0)
        return L"(" + digits + L")";
    return L"(" + std::wstring(grouped) + L")";
}

std::wstring ByteSize(std::uint64_t bytes)
{
    wchar_t text[100] = {};
    StrFormatByteSizeW(static_cast<LONGLONG>(bytes), text, 100);
    return text;
}

std::wstring KBSize(std::uint64_t bytes)
{
    wchar_t text[100] = {};
    StrFormatKBSizeW(static_cast<LONGLONG>(bytes), text, 100);
    return text;
}

}  // namespace recordtext

wchar_t* performance_data::AppendExactNumber(wchar_t* text, std::size_t capacity, std::uint64_t value)
{
    if (!text || capacity == 0)
        return text;
    const std::size_t length = wcsnlen(text, capacity - 1);
    recordtext::CopyBounded(recordtext::ExactNumber(value), text, capacity, length);
    return text;
}

std::unique_ptr<performance_data> CreatePerformanceData(std::uint32_t kind, DirectRegistryAccess& access,
                                                        IndicatorList& indicators)
{
    if (!access.IsCounterDisabled())
        return std::make_unique<CRegistryAccessIndicator>(access);
    switch (kind) {
    case kKindPhysicalDrive:
    case kKindLogicalDisk:
        return std::make_unique<CHardDiskIndicatorInfo>();
    case kKindAllInOne:
        return std::make_unique<CAllInOneIndicatorInfo>(indicators);
    default:
        return nullptr;
    }
}
