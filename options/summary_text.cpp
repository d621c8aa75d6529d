#include "options/summary_text.h"

#include "sources/indicator_kind.h"

void AppendSummaryBlock(std::wstring& text, const SummaryItem& item)
{
    text.append(item.name).append(L"\r\n").append(item.statistics).append(L"\r\n");
    if (item.kind == kKindPhysicalDrive) {
        if (!item.serialNumber.empty())
            text.append(L"Serial Number: ").append(item.serialNumber).append(L"\r\n");
        if (!item.details.empty())
            text.append(item.details).append(L"\r\n");
    }
    text += L"\r\n";
}
