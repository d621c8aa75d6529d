#include "sources/rates.h"

#include <cmath>

namespace {

constexpr std::uint64_t kMicrosecondsPerSecond = 1'000'000;

}  // namespace

std::uint64_t MicrosecondsOf(std::uint64_t count, std::uint64_t frequency)
{
    if (frequency == 0)
        return 0;
    return count / frequency * kMicrosecondsPerSecond + count % frequency * kMicrosecondsPerSecond / frequency;
}

std::int64_t WholeRate(double bytesPerSecond)
{
    constexpr double kLimit = 9223372036854775808.0;  // 2^63
    if (std::isnan(bytesPerSecond))
        return 0;
    if (bytesPerSecond >= kLimit)
        return INT64_MAX;
    if (bytesPerSecond <= -kLimit)
        return INT64_MIN;
    return static_cast<std::int64_t>(bytesPerSecond);
}

std::wstring FormatRate(std::int64_t bytesPerSecond)
{
    if (bytesPerSecond == 0)
        return L"0 kB/s";
    if (bytesPerSecond >= 1024)
        return std::to_wstring(bytesPerSecond / 1024) + L" kB/s";
    return L"<1 kB/s";
}
