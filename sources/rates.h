#pragma once
// The numbers of the process statistics: clock ticks in microseconds, rates
// as whole numbers and as text. No Windows headers: this also builds natively.
#include <cstdint>
#include <string>

// Microseconds of a performance-counter value, without overflow for any
// counter: (count / frequency) * 10^6 + (count % frequency) * 10^6 / frequency.
// 0 for a frequency of 0.
std::uint64_t MicrosecondsOf(std::uint64_t count, std::uint64_t frequency);

// A rate as a whole number of bytes per second: truncated toward zero, clamped
// to the 64-bit range, NaN as 0.
std::int64_t WholeRate(double bytesPerSecond);

// "0 kB/s", "<1 kB/s" (1 to 1023 and negative values) or whole kilobytes
// ("2 kB/s" for 2048 to 3071).
std::wstring FormatRate(std::int64_t bytesPerSecond);
