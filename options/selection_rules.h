#pragma once
// What the "General" page's lists decide, without a window: the indicators'
// visible flags. No Windows headers: this also builds natively.
#include <cstddef>
#include <cstdint>
#include <vector>

// The visible flag of each indicator, in display-list order, from the kinds
// of their entries (0 for a record without one), the positions of the
// selected list items and the indicator mode: an indicator is shown when its
// item is selected, and the all-in-one indicator whenever the mode shows that
// kind. Positions past the list are passed over.
std::vector<bool> VisibleFlags(const std::vector<std::uint32_t>& kinds, const std::vector<std::size_t>& selected,
                               std::uint32_t mode);
