#pragma once
// The text of an indicator's tip that needs no window: its list of the
// processes with the most I/O. No Windows headers: this also builds natively.
#include <cstdint>
#include <string>
#include <vector>

struct TipProcess {
    std::uint32_t id = 0;
    std::wstring name;
    std::int64_t bytesPerSecond = 0;  // read and write together
};

// A rule, the list's header, and when there are rates one line per process:
// its id right-aligned in 8 characters, its name and its rate ("0 kB/s").
std::wstring ProcessAppendix(const std::vector<TipProcess>& processes, bool rates);
