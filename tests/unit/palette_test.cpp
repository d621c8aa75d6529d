// The LED palettes as eyes missing one kind of cone see them: the CIE76
// difference of every pair of the three colours, unsimulated and under
// simulated protanopia, deuteranopia and tritanopia. Builds natively only.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "display/colour_vision.h"
#include "settings/palettes.h"

namespace {

// Reading-writing, reading-idle and writing-idle, for normal eyes and each
// simulation in turn; printed for the comparison.
std::vector<double> PairsApart(const char* name, const LedPalette& p)
{
    std::vector<double> apart;
    for (const char* vision : {"unsimulated", "protanopia", "deuteranopia", "tritanopia"}) {
        const auto seen = static_cast<Vision>(apart.size() / 3);
        for (const auto& [first, second] : {std::pair{p.read, p.write}, {p.read, p.idle}, {p.write, p.idle}})
            apart.push_back(ApartSeen(first, second, seen));
        std::printf("%-18s %-13s %6.2f %6.2f %6.2f\n", name, vision, apart.end()[-3], apart.end()[-2], apart.back());
    }
    return apart;
}

// The classic figures, worked out apart from this code: reading against
// writing comes to 26.95 under deuteranopia.
TEST(PaletteTest, TheColourBlindSafePaletteKeepsEveryPairFortyApartWhereTheClassicOneFallsTo27)
{
    const std::vector<double> classic = PairsApart("Classic", kClassicPalette);
    const double expected[] = {161.14, 180.19, 131.20, 72.67,  157.16, 99.21,
                               26.95,  145.43, 130.23, 147.61, 44.07,  127.40};
    for (std::size_t i = 0; i < std::size(expected); ++i)
        EXPECT_NEAR(classic[i], expected[i], 0.01) << i;
    for (const double apart : PairsApart("Colour-blind safe", kColourBlindSafePalette))
        EXPECT_GE(apart, 40.0);
}

}  // namespace
