#include "display/tip_text.h"

#include "sources/rates.h"

std::wstring ProcessAppendix(const std::vector<TipProcess>& processes, bool rates)
{
    std::wstring text = L"\n" + std::wstring(74, L'_') +
                        L"\nSystem-wide Top5 user processes with most IO. Some non-disk IO also included.\n";
    if (!rates)
        return text;
    for (const TipProcess& process : processes) {
        std::wstring id = std::to_wstring(process.id);
        if (id.size() < 8)
            id.insert(0, 8 - id.size(), L' ');
        text += id + L" " + process.name + L": " + FormatRate(process.bytesPerSecond) + L"\n";
    }
    return text;
}
