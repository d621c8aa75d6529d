#include "options/selection_rules.h"

#include "sources/indicator_kind.h"

std::vector<bool> VisibleFlags(const std::vector<std::uint32_t>& kinds, const std::vector<std::size_t>& selected,
                               std::uint32_t mode)
{
    std::vector<bool> visible(kinds.size(), false);
    for (const std::size_t position : selected) {
        if (position < visible.size())
            visible[position] = true;
    }
    for (std::size_t index = 0; index < kinds.size(); ++index) {
        if ((mode & kKindAllInOne) && kinds[index] == kKindAllInOne)
            visible[index] = true;
    }
    return visible;
}
