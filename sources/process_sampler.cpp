#include "sources/process_sampler.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "sources/process_system.h"

namespace {

constexpr std::uint64_t kMicrosecondsPerSecond = 1'000'000;
constexpr std::size_t kReportLength = 9999;

// A handle of the seam, closed through it.
class SystemHandle {
public:
    explicit SystemHandle(HANDLE handle) : handle_(handle) {}
    ~SystemHandle()
    {
        if (handle_)
            CurrentProcessSystem().Close(handle_);
    }
    SystemHandle(const SystemHandle&) = delete;
    SystemHandle& operator=(const SystemHandle&) = delete;
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

// Bytes per second between two readings of one transfer counter.
double Rate(ULONGLONG now, ULONGLONG before, double seconds)
{
    return static_cast<double>(static_cast<std::int64_t>(now - before)) / seconds;
}

void ReadProcess(ProcessSystem& system, const PROCESSENTRY32W& entry, std::vector<ProcessIoRecord>& records)
{
    const SystemHandle process(system.OpenProcessForQuery(entry.th32ProcessID));
    if (!process.Get())
        return;
    ProcessIoRecord record;
    if (!system.ReadIoCounters(process.Get(), &record.counters))
        return;
    record.processId = entry.th32ProcessID;
    // The snapshot's name is null-terminated within its array, but a damaged
    // entry must not be read past it.
    record.name.assign(entry.szExeFile, wcsnlen(entry.szExeFile, MAX_PATH));
    record.created = system.CreationTime(process.Get());
    records.push_back(std::move(record));
}

}  // namespace

std::uint64_t NowMicroseconds()
{
    ProcessSystem& system = CurrentProcessSystem();
    return MicrosecondsOf(system.PerformanceCounter(), system.PerformanceFrequency());
}

ProcessSnapshot SnapshotProcessIo()
{
    ProcessSnapshot snapshot;
    ProcessSystem& system = CurrentProcessSystem();
    const SystemHandle list(system.CreateProcessSnapshot());
    if (!list.Get())
        return snapshot;
    const std::uint64_t time = NowMicroseconds();
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    if (!system.FirstProcess(list.Get(), &entry))
        return snapshot;
    do {
        ReadProcess(system, entry, snapshot.records);
        entry.dwSize = sizeof entry;
    } while (system.NextProcess(list.Get(), &entry));
    snapshot.time = time;
    return snapshot;
}

void UpdateProcessStat(ProcessStat& entry, const ProcessIoRecord& record, std::uint64_t now)
{
    entry.alive = true;
    if (entry.lastTime != 0) {
        // The counters stay paired with the time of their reading, so an
        // interval that is not positive changes nothing.
        const auto interval = static_cast<std::int64_t>(now - entry.lastTime);
        if (interval <= 0)
            return;
        const double seconds = static_cast<double>(interval) / kMicrosecondsPerSecond;
        entry.readRate = Rate(record.counters.ReadTransferCount, entry.counters.ReadTransferCount, seconds);
        entry.writeRate = Rate(record.counters.WriteTransferCount, entry.counters.WriteTransferCount, seconds);
        entry.otherRate = Rate(record.counters.OtherTransferCount, entry.counters.OtherTransferCount, seconds);
    }
    entry.counters = record.counters;
    entry.lastTime = now;
}

std::vector<ProcessStat> RankProcesses(ProcessSampler& sampler, std::size_t count)
{
    ++sampler.readings;
    const ProcessSnapshot snapshot = SnapshotProcessIo();
    if (snapshot.time == 0)
        return {};
    for (auto& [id, entry] : sampler.entries)
        entry.alive = false;
    for (const ProcessIoRecord& record : snapshot.records) {
        auto found = sampler.entries.find(record.processId);
        if (found == sampler.entries.end() || found->second.name != record.name ||
            found->second.created != record.created) {
            ProcessStat fresh;
            fresh.name = record.name;
            fresh.processId = record.processId;
            fresh.created = record.created;
            found = sampler.entries.insert_or_assign(record.processId, std::move(fresh)).first;
        }
        UpdateProcessStat(found->second, record, snapshot.time);
    }
    std::erase_if(sampler.entries, [](const auto& item) { return !item.second.alive; });

    std::vector<ProcessStat> ranked;
    ranked.reserve(sampler.entries.size());
    for (const auto& [id, entry] : sampler.entries)
        ranked.push_back(entry);
    std::stable_sort(ranked.begin(), ranked.end(), [](const ProcessStat& a, const ProcessStat& b) {
        return a.readRate + a.writeRate > b.readRate + b.writeRate;
    });
    if (ranked.size() > count)
        ranked.resize(count);
    return ranked;
}

bool RebuildDue(ThrottledText& cache)
{
    const std::uint64_t now = NowMicroseconds();
    if (cache.built && now - cache.builtAt <= kMicrosecondsPerSecond)
        return false;
    cache.built = true;
    cache.builtAt = now;
    return true;
}

const std::wstring& BuildProcessReport(ThrottledText& report)
{
    if (!RebuildDue(report))
        return report.text;
    const std::vector<ProcessStat> ranked = RankProcesses(report.sampler, kReportLength);
    report.text.clear();
    if (report.sampler.readings < 2)
        return report.text;
    report.text =
        L"Top user processes with most data I/O.\r\n"
        L"Windows also include some non-disk IO in those numbers.\r\n\r\n";
    bool listed = false;
    for (const ProcessStat& process : ranked) {
        if (process.readRate + process.writeRate == 0)
            continue;
        listed = true;
        report.text += std::to_wstring(process.processId) + L" " + process.name + L" Read+Write: " +
                       FormatRate(WholeRate(process.readRate + process.writeRate)) + L"\r\n Read: " +
                       FormatRate(WholeRate(process.readRate)) + L";  Write: " +
                       FormatRate(WholeRate(process.writeRate)) + L";  Other: " +
                       FormatRate(WholeRate(process.otherRate)) + L"\r\n\r\n";
    }
    if (!listed)
        report.text += L"No user processes with data I/O\r\n";
    return report.text;
}

const std::wstring& BuildProcessReport()
{
    static ThrottledText report;
    return BuildProcessReport(report);
}
