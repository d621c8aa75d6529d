#include "display/colour_vision.h"

#include <algorithm>
#include <cmath>

namespace {

using Matrix = double[3][3];

// Linear RGB to linear RGB as a dichromat sees it (severity 1.0).
constexpr Matrix kProtanopia = {
    {0.152286, 1.052583, -0.204868}, {0.114503, 0.786281, 0.099216}, {-0.003882, -0.048116, 1.051998}};
constexpr Matrix kDeuteranopia = {
    {0.367322, 0.860646, -0.227968}, {0.280085, 0.672501, 0.047413}, {-0.011820, 0.042940, 0.968881}};
constexpr Matrix kTritanopia = {
    {1.255528, -0.076749, -0.178779}, {-0.078411, 0.930809, 0.147602}, {0.004733, 0.691367, 0.303900}};
constexpr Matrix kNormal = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};

// Linear sRGB to CIE XYZ (D65).
constexpr Matrix kToXyz = {
    {0.4124564, 0.3575761, 0.1804375}, {0.2126729, 0.7151522, 0.0721750}, {0.0193339, 0.1191920, 0.9503041}};
constexpr double kWhite[3] = {0.95047, 1.0, 1.08883};  // D65

const Matrix& SimulationOf(Vision vision)
{
    switch (vision) {
    case Vision::Protanopia:
        return kProtanopia;
    case Vision::Deuteranopia:
        return kDeuteranopia;
    case Vision::Tritanopia:
        return kTritanopia;
    default:
        return kNormal;
    }
}

// An 8-bit sRGB component as linear light, 0 to 1.
double Linear(int component)
{
    const double value = component / 255.0;
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

void Multiply(const Matrix& matrix, const double (&in)[3], double (&out)[3])
{
    for (int row = 0; row < 3; ++row)
        out[row] = matrix[row][0] * in[0] + matrix[row][1] * in[1] + matrix[row][2] * in[2];
}

// The CIELAB companding of a ratio to the white.
double LabCurve(double ratio)
{
    constexpr double kDelta = 6.0 / 29.0;
    return ratio > kDelta * kDelta * kDelta ? std::cbrt(ratio) : ratio / (3 * kDelta * kDelta) + 4.0 / 29.0;
}

}  // namespace

Lab SeenAs(std::int32_t colour, Vision vision)
{
    const double linear[3] = {Linear(colour & 0xFF), Linear(colour >> 8 & 0xFF), Linear(colour >> 16 & 0xFF)};
    double seen[3] = {};
    Multiply(SimulationOf(vision), linear, seen);
    for (double& component : seen)
        component = std::clamp(component, 0.0, 1.0);  // what a screen can show
    double xyz[3] = {};
    Multiply(kToXyz, seen, xyz);
    const double fx = LabCurve(xyz[0] / kWhite[0]);
    const double fy = LabCurve(xyz[1] / kWhite[1]);
    const double fz = LabCurve(xyz[2] / kWhite[2]);
    return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

double DeltaE76(const Lab& first, const Lab& second)
{
    return std::hypot(first.lightness - second.lightness, first.a - second.a, first.b - second.b);
}

double ApartSeen(std::int32_t first, std::int32_t second, Vision vision)
{
    return DeltaE76(SeenAs(first, vision), SeenAs(second, vision));
}
