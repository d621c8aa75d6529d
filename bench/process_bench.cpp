// Benchmark of the process I/O sampler: the cost of one reading (snapshot,
// counters, rates and ranking) over 50, 200 and 1,000 processes served
// through the sampler's seam with counters that grow between readings, and of
// the page text built from it; then one reading of the real system.
//
// Run by scripts/bench: process_bench.exe [readings]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "sources/process_sampler.h"
#include "sources/process_system.h"

namespace {

// Processes named like real ones, every one reading and writing a little
// more at each walk; the clock is the real one.
class BenchProcesses : public ProcessSystem {
public:
    explicit BenchProcesses(int count)
    {
        for (int i = 0; i < count; ++i)
            names_.push_back(L"service_host_" + std::to_wstring(i) + L".exe");
        counters_.resize(names_.size());
    }
    HANDLE CreateProcessSnapshot() override { return this; }
    bool FirstProcess(HANDLE, PROCESSENTRY32W* entry) override
    {
        next_ = 0;
        return NextProcess(nullptr, entry);
    }
    bool NextProcess(HANDLE, PROCESSENTRY32W* entry) override
    {
        if (next_ == names_.size())
            return false;
        entry->th32ProcessID = static_cast<DWORD>(4 * (next_ + 1));
        wcsncpy(entry->szExeFile, names_[next_].c_str(), MAX_PATH);
        ++next_;
        return true;
    }
    HANDLE OpenProcessForQuery(DWORD id) override { return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(id)); }
    bool ReadIoCounters(HANDLE process, IO_COUNTERS* counters) override
    {
        IO_COUNTERS& grown = counters_[reinterpret_cast<ULONG_PTR>(process) / 4 - 1];
        grown.ReadTransferCount += 4096 * (reinterpret_cast<ULONG_PTR>(process) % 7);
        grown.WriteTransferCount += 512;
        *counters = grown;
        return true;
    }
    std::uint64_t CreationTime(HANDLE) override { return 1; }
    void Close(HANDLE) override {}

private:
    std::vector<std::wstring> names_;
    std::vector<IO_COUNTERS> counters_;
    std::size_t next_ = 0;
};

double Microseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int readings = argc > 1 ? _wtoi(argv[1]) : 200;
    std::printf("%-10s %-22s %-22s\n", "processes", "reading (top five)", "page text (all)");
    for (int count : {50, 200, 1000}) {
        BenchProcesses system(count);
        const ScopedProcessSystem scoped(system);
        ProcessSampler sampler;
        RankProcesses(sampler, 5);
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        for (int i = 0; i < readings; ++i)
            RankProcesses(sampler, 5);
        QueryPerformanceCounter(&end);
        const double reading = Microseconds(start, end) / readings;

        ThrottledText report;
        std::size_t length = 0;
        QueryPerformanceCounter(&start);
        for (int i = 0; i < readings; ++i) {
            report.built = false;  // no throttle: a build every time
            length = BuildProcessReport(report).size();
        }
        QueryPerformanceCounter(&end);
        std::printf("%-10d %10.1f us %18.1f us (%zu characters)\n", count, reading, Microseconds(start, end) / readings,
                    length);
    }
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    const ProcessSnapshot snapshot = SnapshotProcessIo();
    QueryPerformanceCounter(&end);
    std::printf("real system: %zu processes read in %.1f us\n", snapshot.records.size(), Microseconds(start, end));
    return 0;
}
