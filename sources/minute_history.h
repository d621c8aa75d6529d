#pragma once
// The last minute of a record's throughput: one point a second in a fixed
// ring, so that keeping it allocates nothing. No Windows headers: this also
// builds natively.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// The bytes read and written per second over one second.
struct ThroughputPoint {
    std::uint64_t read = 0;
    std::uint64_t write = 0;

    bool operator==(const ThroughputPoint&) const = default;
};

inline constexpr std::size_t kMinutePoints = 60;

// A minute's points, the oldest first.
using MinutePoints = std::array<ThroughputPoint, kMinutePoints>;

class MinuteHistory {
public:
    static constexpr std::uint64_t kSecond = 10'000'000;  // in 100-ns units

    // The byte totals a source has read and written so far, counted at
    // `time` (100-ns units). The first reading only starts the count. Then
    // each whole second since the last point adds a point (at most a
    // minute's worth), each the mean rate since the reading before. A clock
    // set back starts the count again from this reading, adding nothing; a
    // total that went down (a counter started again) counts as no transfer.
    void Take(std::uint64_t time, std::uint64_t bytesRead, std::uint64_t bytesWritten);

    // The minute, the oldest point first; zeros where no point was added yet.
    MinutePoints Points() const;

private:
    void Add(ThroughputPoint point);

    ThroughputPoint ring_[kMinutePoints] = {};
    std::size_t next_ = 0;  // where the next point goes: the oldest point
    bool started_ = false;
    std::uint64_t secondAt_ = 0;  // the time the last point's second ended
    std::uint64_t readAt_ = 0;    // the time of the totals below
    std::uint64_t bytesRead_ = 0;
    std::uint64_t bytesWritten_ = 0;
};

// The largest read or write rate of the minute.
std::uint64_t PeakOf(const MinutePoints& points);

// "peak 0 B/s", "peak 1023 B/s", "peak 1.5 kB/s", "peak 48.2 MB/s": whole bytes
// below a kilobyte, then one decimal of the largest unit (1,024 of the one
// below) that keeps the figure under 1,024.
std::wstring PeakText(std::uint64_t bytesPerSecond);
