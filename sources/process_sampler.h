#pragma once
// The process I/O sampler: a snapshot of every process the program may ask,
// each one's cumulative I/O counters, the rates since the sampler's previous
// reading, and the processes ranked by read plus write rate. The "User process
// I/O" page and every indicator tooltip each keep a sampler of their own.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "sources/rates.h"

// One process as one snapshot saw it.
struct ProcessIoRecord {
    DWORD processId = 0;
    std::wstring name;  // the executable's name
    IO_COUNTERS counters{};
    std::uint64_t created = 0;  // creation time, 0 when unknown
};

struct ProcessSnapshot {
    std::vector<ProcessIoRecord> records;
    std::uint64_t time = 0;  // NowMicroseconds before the walk; 0 when no snapshot was made
};

// What a sampler knows of one process.
struct ProcessStat {
    std::wstring name;
    DWORD processId = 0;
    IO_COUNTERS counters{};  // the reading of lastTime
    double readRate = 0;     // bytes per second between the last two readings
    double writeRate = 0;
    double otherRate = 0;
    std::uint64_t lastTime = 0;  // microseconds; 0 before the first reading
    std::uint64_t created = 0;
    bool alive = false;  // seen in the latest snapshot
};

struct ProcessSampler {
    std::map<DWORD, ProcessStat> entries;  // the processes alive at the last reading
    int readings = 0;                      // how many readings were taken
};

// The performance counter in microseconds.
std::uint64_t NowMicroseconds();

// Every process that can be opened for limited information and whose counters
// can be read, in snapshot order.
ProcessSnapshot SnapshotProcessIo();

// Takes a reading of one process into its entry. The first reading only
// stores the counters; later ones set the rates from the difference to the
// previous reading when time has passed since it (otherwise nothing but the
// alive flag changes).
void UpdateProcessStat(ProcessStat& entry, const ProcessIoRecord& record, std::uint64_t now);

// Takes a reading and answers copies of at most `count` entries, largest read
// plus write rate first, equal sums in ascending process-id order. Processes
// that ended are forgotten, and a process id used by a new process (another
// name or creation time) starts a fresh entry. A failed snapshot answers
// nothing and changes nothing.
std::vector<ProcessStat> RankProcesses(ProcessSampler& sampler, std::size_t count);

// A text made from a sampler's ranking, built again at most once a second.
struct ThrottledText {
    ProcessSampler sampler;
    std::wstring text;
    std::uint64_t builtAt = 0;
    bool built = false;
};

// True, with the build time set to now, when the text is to be built again:
// on the first call and once more than a second has passed since the last build.
bool RebuildDue(ThrottledText& cache);

// The "User process I/O" page's text: the header and one block per process
// with read or write transfers. Empty while the sampler has fewer than two
// readings (the page shows "Initializing..." meanwhile).
const std::wstring& BuildProcessReport(ThrottledText& report);
// The same for the page's own process-wide sampler.
const std::wstring& BuildProcessReport();
