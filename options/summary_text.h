#pragma once
// The "Summary" tab's text from the indicators' records, without a window.
// No Windows headers: this also builds natively.
#include <cstdint>
#include <string>
#include <string_view>

// What the summary shows of one indicator.
struct SummaryItem {
    std::uint32_t kind = 0;  // an IndicatorKind
    std::wstring_view name;
    std::wstring_view statistics;
    std::wstring_view serialNumber;
    std::wstring_view details;
};

// Appends the indicator's block: its name, its statistics and an empty line;
// a physical drive's serial number and details come before the empty line
// when it has them. Lines end with CR LF.
void AppendSummaryBlock(std::wstring& text, const SummaryItem& item);
