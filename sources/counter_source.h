#pragma once
// The normal activity source: the disk counters of one performance instance
// (a physical disk, a logical disk, or "_Total" for the all-in-one indicator)
// read out of the snapshot that the sampling tick refreshes.
#include <cstdint>
#include <string>

#include "sources/perf_walk.h"
#include "sources/performance_data.h"

class DirectRegistryAccess;

// One reading of a counter: its raw value and, for the once-per-second copies,
// the snapshot time in 100-ns units.
struct CounterReading {
    std::uint64_t value = 0;
    std::uint64_t time = 0;
};

struct CounterSlot {
    CounterReading current;
    CounterReading previous;
    std::uint32_t object = 0;
    const wchar_t* instance = nullptr;  // the record's instance text
    perfwalk::Match match = perfwalk::Match::Whole;
    std::uint32_t counter = 0;
    std::uint32_t type = 0;
};

// Where an indicator entry's counters are: its object, the text naming its
// instance and how the text names it. A physical drive (\\.\PHYSICALDRIVE3)
// is the PhysicalDisk instance of its number ("3", or "3 C: D:" when it holds
// lettered volumes); a logical disk (\\.\C:, \\.\HarddiskVolume3) the
// LogicalDisk instance of that whole name; the all-in-one entry "_Total".
struct CounterInstance {
    std::uint32_t object = 0;
    std::wstring text;
    perfwalk::Match match = perfwalk::Match::Whole;
};
CounterInstance CounterInstanceOf(const IndicatorEntry* entry);

class CRegistryAccessIndicator : public performance_data {
public:
    enum Slot {
        kQueueTotal,        // 1400, every sample
        kBytesRead,         // 226, every sample
        kBytesWritten,      // 228, every sample
        kReads,             // 214, once per second
        kWrites,            // 216, once per second
        kReadSnapshot,      // copy of kBytesRead with its time, once per second
        kWriteSnapshot,     // copy of kBytesWritten with its time, once per second
        kReadQueueSecond,   // 1402, once per second
        kWriteQueueSecond,  // 1404, once per second
        kReadQueueTick,     // 1402, every sample
        kWriteQueueTick,    // 1404, every sample
        kSlotCount
    };

    static constexpr std::uint64_t kOneSecond = 10'000'000;  // in 100-ns units
    static constexpr std::size_t kInstanceTextSize = 1024;

    explicit CRegistryAccessIndicator(DirectRegistryAccess& access);

    // 0 when the queue total did not move since the previous sample; otherwise
    // the low 16 bits of the read-queue growth in the high half and of the
    // write-queue growth in the low half, 0x00010000 when both are 0. The
    // caller stores the answer in `state`.
    std::uint32_t Sample() override;
    bool GetText(wchar_t* buffer, std::size_t capacity) override;
    std::wstring GetName() override;
    bool Rates(std::uint64_t& read, std::uint64_t& write) override;
    bool Open() override;
    bool Close() override { return true; }

    const wchar_t* InstanceText() const { return instanceText_; }
    std::uint32_t Object() const { return object_; }
    perfwalk::Match InstanceMatch() const { return match_; }
    const CounterSlot& SlotAt(Slot slot) const { return slots_[slot]; }

private:
    std::uint64_t Read(const CounterSlot& slot) const;
    void Advance(Slot slot);  // previous <- current; current <- a fresh reading
    void SecondStep(std::uint64_t now);
    // The 100-ns units between the last two once-per-second steps (1 before
    // the first step), and a slot's growth over them per second (0 when the
    // interval is not positive: the clock was set back).
    double Interval() const;
    double PerSecond(Slot slot, double interval) const;

    DirectRegistryAccess& access_;
    std::uint32_t object_ = 0;
    perfwalk::Match match_ = perfwalk::Match::Whole;
    wchar_t instanceText_[kInstanceTextSize] = {};
    CounterSlot slots_[kSlotCount] = {};
};
