#include "display/indicator_rules.h"

#include <cmath>

namespace {

constexpr LedSize kLedSizes[] = {{12, 9}, {16, 12}, {24, 18}, {32, 24}, {64, 40}, {128, 96}};
static_assert(sizeof kLedSizes / sizeof kLedSizes[0] == kLedSizeCount);

}  // namespace

LedSize LedSizeFor(int index)
{
    return kLedSizes[index >= 0 && index < kLedSizeCount ? index : 1];
}

IndicatorPlace DefaultIndicatorPlace(std::size_t index)
{
    return {static_cast<int>(2 + 18 * index), 2};
}

int SnapToGrid(int delta, int step)
{
    return step > 0 ? delta / step * step : delta;
}

Rgb HighlightHue(int n)
{
    const double t = std::fabs((n - 50) / 50.0) * 6;
    const int sector = static_cast<int>(t);
    const double f = t - sector;
    double r = 1, g = 0, b = 0;
    switch (sector) {
    case 0:
        r = 1;
        g = f;
        b = 0;
        break;
    case 1:
        r = 1 - f;
        g = 1;
        b = 0;
        break;
    case 2:
        r = 0;
        g = 1;
        b = f;
        break;
    case 3:
        r = 0;
        g = 1 - f;
        b = 1;
        break;
    case 4:
        r = f;
        g = 0;
        b = 1;
        break;
    default:
        r = 1;
        g = 0;
        b = 1 - f;
        break;
    }
    const auto byte = [](double component) {
        return static_cast<std::uint8_t>(static_cast<int>(component * 255) & 0xFF);
    };
    return {byte(r), byte(g), byte(b)};
}
