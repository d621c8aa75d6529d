#include "sources/minute_history.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

namespace {

// The mean rate of `bytes` over `elapsed` 100-ns units, rounded, at most the
// largest 64-bit number.
std::uint64_t RateOf(std::uint64_t bytes, std::uint64_t elapsed)
{
    const double rate =
        static_cast<double>(bytes) * static_cast<double>(MinuteHistory::kSecond) / static_cast<double>(elapsed);
    constexpr double kLimit = 18446744073709551615.0;
    return rate >= kLimit ? UINT64_MAX : static_cast<std::uint64_t>(rate + 0.5);
}

}  // namespace

void MinuteHistory::Take(std::uint64_t time, std::uint64_t bytesRead, std::uint64_t bytesWritten)
{
    if (!started_ || time < readAt_) {
        started_ = true;
        secondAt_ = readAt_ = time;
        bytesRead_ = bytesRead;
        bytesWritten_ = bytesWritten;
        return;
    }
    const std::uint64_t seconds = (time - secondAt_) / kSecond;
    if (seconds == 0)
        return;
    // The last reading came less than a second after secondAt_, so at least
    // some time has passed since it.
    const std::uint64_t elapsed = time - readAt_;
    const ThroughputPoint point{RateOf(bytesRead >= bytesRead_ ? bytesRead - bytesRead_ : 0, elapsed),
                                RateOf(bytesWritten >= bytesWritten_ ? bytesWritten - bytesWritten_ : 0, elapsed)};
    for (std::uint64_t added = 0; added < std::min<std::uint64_t>(seconds, kMinutePoints); ++added)
        Add(point);
    secondAt_ += seconds * kSecond;
    readAt_ = time;
    bytesRead_ = bytesRead;
    bytesWritten_ = bytesWritten;
}

void MinuteHistory::Add(ThroughputPoint point)
{
    ring_[next_] = point;
    next_ = (next_ + 1) % kMinutePoints;
}

MinutePoints MinuteHistory::Points() const
{
    MinutePoints points;
    for (std::size_t age = 0; age < kMinutePoints; ++age)
        points[age] = ring_[(next_ + age) % kMinutePoints];
    return points;
}

std::uint64_t PeakOf(const MinutePoints& points)
{
    std::uint64_t peak = 0;
    for (const ThroughputPoint& point : points)
        peak = std::max({peak, point.read, point.write});
    return peak;
}

std::wstring PeakText(std::uint64_t bytesPerSecond)
{
    if (bytesPerSecond < 1024)
        return L"peak " + std::to_wstring(bytesPerSecond) + L" B/s";
    constexpr const wchar_t* kUnits[] = {L"kB/s", L"MB/s", L"GB/s", L"TB/s", L"PB/s", L"EB/s"};
    double value = static_cast<double>(bytesPerSecond) / 1024;
    std::size_t unit = 0;
    while (value >= 1023.95 && unit + 1 < std::size(kUnits)) {
        value /= 1024;
        ++unit;
    }
    wchar_t text[40] = {};
    std::swprintf(text, std::size(text), L"peak %.1f %ls", value, kUnits[unit]);
    return text;
}
