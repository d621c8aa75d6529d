#include "sources/registry_access.h"

#include <windows.h>

#include <new>
#include <string_view>
#include <utility>

#include "sources/perf_libraries.h"
#include "sources/source_system.h"

namespace {

// The PhysicalDisk and LogicalDisk objects.
wchar_t kQueriedObjects[] = L"234 236";

}  // namespace

DirectRegistryAccess::DirectRegistryAccess() : libraries_(std::make_unique<PerformanceLibraries>()) {}

DirectRegistryAccess::~DirectRegistryAccess()
{
    Release();
}

bool DirectRegistryAccess::Init()
{
    if (RunningUnderWine())
        libraries_->Load(RegisteredPerformanceLibraries());
    return true;
}

std::size_t DirectRegistryAccess::InProcessLibraries() const
{
    return libraries_->InUse();
}

bool DirectRegistryAccess::Release()
{
    current_ = {};
    spare_ = {};
    // The system's query (Windows) keeps its libraries loaded until the key
    // is closed; the libraries called in-process (Wine) are released here.
    if (!libraries_->Active())
        CurrentSourceSystem().ClosePerformanceData();
    libraries_->Release();
    return true;
}

bool DirectRegistryAccess::Reserve(Buffer& buffer, std::uint32_t size)
{
    if (buffer.bytes && buffer.capacity >= size)
        return true;
    std::unique_ptr<std::uint8_t[]> bytes(new (std::nothrow) std::uint8_t[std::size_t{size} + kSlack]);
    if (!bytes)
        return false;
    buffer.bytes = std::move(bytes);
    buffer.capacity = size;
    buffer.valid = 0;
    return true;
}

bool DirectRegistryAccess::Refresh()
{
    // The query writes into the spare buffer, so a failed or partial answer never
    // disturbs the last good snapshot. The size the query leaves behind after
    // ERROR_MORE_DATA is undefined (some systems leave 0): growth always starts
    // from the size that was offered.
    for (;;) {
        if (!Reserve(spare_, offered_))
            return false;
        DWORD size = offered_;
        const LONG result = libraries_->Active()
                                ? libraries_->Query(kQueriedObjects, spare_.bytes.get(), &size, kSlack)
                                : CurrentSourceSystem().QueryPerformanceData(spare_.bytes.get(), &size);
        if (result == ERROR_MORE_DATA) {
            if (offered_ >= kMaxSize)
                return true;  // a query that never fits counts as failed
            offered_ += kGrowStep;
            continue;
        }
        if (result == ERROR_SUCCESS) {
            spare_.valid = size <= offered_ ? size : offered_;
            std::swap(current_, spare_);
        }
        return true;
    }
}

std::uint64_t DirectRegistryAccess::GetCounterValue(std::uint32_t object, const wchar_t* instance,
                                                    perfwalk::Match match, std::uint32_t counter,
                                                    std::uint32_t counterType)
{
    const std::wstring_view text = instance ? std::wstring_view(instance) : std::wstring_view();
    return perfwalk::CounterValue(Snapshot(), object, text, match, counter, counterType);
}

std::int32_t DirectRegistryAccess::GetInstanceCount(std::uint32_t object)
{
    return perfwalk::InstanceCount(Snapshot(), object);
}

std::int32_t DirectRegistryAccess::GetInstanceNames(std::uint32_t object, std::vector<std::wstring>& names)
{
    return perfwalk::InstanceNames(Snapshot(), object, names);
}

bool DirectRegistryAccess::IsCounterDisabled()
{
    if (countersDisabled_ == 0 || countersDisabled_ == 1)
        return countersDisabled_ != 0;
    DWORD value = 0;
    if (!CurrentSourceSystem().ReadDisablePerformanceCounters(&value))
        return false;
    countersDisabled_ = value != 0 ? 1 : 0;
    return countersDisabled_ != 0;
}

std::uint64_t DirectRegistryAccess::PerfTime100nSec() const
{
    return perfwalk::PerfTime100nSec(Snapshot());
}
