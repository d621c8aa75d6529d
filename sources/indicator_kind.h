#pragma once
// The kinds of indicator entry, also the bits of the indicator mode ("Class").
// No Windows headers: this also builds natively.
#include <cstdint>

enum IndicatorKind : std::uint32_t {
    kKindPhysicalDrive = 1,
    kKindLogicalDisk = 2,
    kKindAllInOne = 4,
};
