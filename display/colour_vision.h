#pragma once
// How far apart two LED colours look, to normal eyes and to eyes missing one
// kind of cone: the colour-blind simulations of Machado, Oliveira and
// Fernandes (2009) at severity 1.0, applied to linear sRGB, and the CIE76
// colour difference in CIELAB under D65. No Windows headers: this also builds
// natively.
#include <cstdint>

enum class Vision { Normal, Protanopia, Deuteranopia, Tritanopia };

struct Lab {
    double lightness = 0;
    double a = 0;
    double b = 0;
};

// The CIELAB coordinates (D65 white) of an sRGB colour (0x00BBGGRR, as
// COLORREF holds it) as the eyes of that vision see it.
Lab SeenAs(std::int32_t colour, Vision vision);

// The CIE76 difference: the distance between the two points.
double DeltaE76(const Lab& first, const Lab& second);

// How far apart the two colours look to the eyes of that vision.
double ApartSeen(std::int32_t first, std::int32_t second, Vision vision);
