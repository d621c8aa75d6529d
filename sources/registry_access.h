#pragma once
// The performance-data snapshot of the PhysicalDisk (234) and LogicalDisk (236)
// objects, refreshed once per sampling tick and read by every record.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sources/perf_walk.h"

class PerformanceLibraries;

class RegistryAccess {
public:
    virtual bool Init() = 0;
    virtual bool Release() = 0;
    virtual bool Refresh() = 0;
    virtual std::uint64_t GetCounterValue(std::uint32_t object, const wchar_t* instance, perfwalk::Match match,
                                          std::uint32_t counter, std::uint32_t counterType) = 0;
    virtual std::int32_t GetInstanceCount(std::uint32_t object) = 0;
    virtual std::int32_t GetInstanceNames(std::uint32_t object, std::vector<std::wstring>& names) = 0;
    virtual bool IsCounterDisabled() = 0;

protected:
    ~RegistryAccess() = default;
};

class DirectRegistryAccess final : public RegistryAccess {
public:
    // The first query offers this many bytes; later ones offer what the
    // largest answer needed.
    static constexpr std::uint32_t kInitialSize = 65536;
    static constexpr std::uint32_t kGrowStep = 65536;
    // Room beyond the offered size: some systems tell providers they have more
    // room than the caller's buffer holds.
    static constexpr std::uint32_t kSlack = 128;
    // A query that still asks for more at this size is treated as failed.
    static constexpr std::uint32_t kMaxSize = 16u << 20;

    DirectRegistryAccess();
    ~DirectRegistryAccess();
    DirectRegistryAccess(const DirectRegistryAccess&) = delete;
    DirectRegistryAccess& operator=(const DirectRegistryAccess&) = delete;

    // Under Wine, loads the registered performance libraries to call them
    // in-process until Release (on Windows the system's query is used).
    bool Init() override;
    // Drops the snapshot and lets go of the performance libraries: those
    // called in-process, or the system's (HKEY_PERFORMANCE_DATA closed). The
    // device-change rebuild and the destructor call it.
    bool Release() override;
    bool Refresh() override;
    std::uint64_t GetCounterValue(std::uint32_t object, const wchar_t* instance, perfwalk::Match match,
                                  std::uint32_t counter, std::uint32_t counterType) override;
    std::int32_t GetInstanceCount(std::uint32_t object) override;
    std::int32_t GetInstanceNames(std::uint32_t object, std::vector<std::wstring>& names) override;
    bool IsCounterDisabled() override;

    // The snapshot's time in 100-ns units; 0 when there is no snapshot.
    std::uint64_t PerfTime100nSec() const;

    // The bytes of the last good snapshot (empty when there is none).
    perfwalk::Snapshot Snapshot() const { return {current_.bytes.get(), current_.valid}; }
    // How many performance libraries are called in-process (none on Windows).
    std::size_t InProcessLibraries() const;
    // The byte count the next query offers.
    std::uint32_t OfferedSize() const { return offered_; }

private:
    struct Buffer {
        std::unique_ptr<std::uint8_t[]> bytes;
        std::size_t capacity = 0;  // usable bytes, slack not included
        std::size_t valid = 0;     // bytes the query answered
    };

    static bool Reserve(Buffer& buffer, std::uint32_t size);

    Buffer current_;  // last good answer, read by the lookups
    Buffer spare_;    // the next query writes here; swapped in on success
    std::uint32_t offered_ = kInitialSize;
    std::int32_t countersDisabled_ = -1;  // -1 not read yet, 0 enabled, 1 disabled
    std::unique_ptr<PerformanceLibraries> libraries_;
};
