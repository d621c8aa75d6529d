#pragma once
// The performance record behind every indicator: it asks its source whether
// the device did any I/O since the previous sample and answers the activity
// state, and it writes the statistics text of tooltips and the summary.
//
// Activity state: 0 is idle; the high 16 bits are the read amount, the low 16
// bits the write amount. Only their zero-ness and their ratio are painted.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "common/bounded_text.h"
#include "sources/drive_list.h"
#include "sources/minute_history.h"

class DirectRegistryAccess;

class performance_data {
public:
    virtual ~performance_data() = default;

    // Queries the source once; the activity state since the previous Sample.
    // The byte totals go into the history.
    virtual std::uint32_t Sample() = 0;
    // Writes the statistics text into the buffer of `capacity` characters,
    // cut at the end of the buffer and always null-terminated. Answers true.
    virtual bool GetText(wchar_t* buffer, std::size_t capacity) = 0;
    // The record's name for titles.
    virtual std::wstring GetName() = 0;
    // The bytes read and written per second over the interval the statistics
    // text covers; false when the source does not know them.
    virtual bool Rates(std::uint64_t& /*read*/, std::uint64_t& /*write*/) { return false; }
    // Prepares the source; answers true also when a device could not be opened.
    virtual bool Open() = 0;
    virtual bool Close() = 0;
    // The removal of a device whose handle the record holds is asked (the
    // notification is the one registered for the handle): the handle is
    // closed at once, so it never blocks the removal. Answers whether the
    // record held it.
    virtual bool DeviceRemovalQueried(HDEVNOTIFY) { return false; }
    // The removal failed after all: the device is opened again.
    virtual bool DeviceRemovalFailed(HDEVNOTIFY) { return false; }
    // The device is going or gone: its handle is closed and its notification
    // unregistered at once.
    virtual bool DeviceRemoved(HDEVNOTIFY) { return false; }
    // A record answering false is skipped for one tick.
    virtual bool BeginSample() { return true; }
    virtual bool EndSample() { return true; }

    // Appends "(value)" with the digit grouping of the user's locale, for
    // example (1,610,612,736), to the null-terminated text in a buffer of
    // `capacity` characters; answers text.
    wchar_t* AppendExactNumber(wchar_t* text, std::size_t capacity, std::uint64_t value);

    IndicatorEntry* entry = nullptr;  // not owned; outlives the record
    std::uint32_t state = 0;          // the last activity state
    MinuteHistory history;            // the last minute's throughput, taken by Sample

protected:
    performance_data() = default;
    performance_data(const performance_data&) = delete;
    performance_data& operator=(const performance_data&) = delete;
};

// Makes the record for an indicator entry of the given kind: the counter
// source unless the system's disk counters are switched off, then the direct
// sources (null for a kind other than physical drive, logical disk and
// all-in-one). The access and the list outlive the record.
std::unique_ptr<performance_data> CreatePerformanceData(std::uint32_t kind, DirectRegistryAccess& access,
                                                        IndicatorList& indicators);

// Texts shared by the record classes.
namespace recordtext {

// "(1,234,567)": the value with the grouping of the user's default locale.
std::wstring ExactNumber(std::uint64_t value);
// The shell's short byte size ("1.50 GB") and kilobyte size ("1,205 KB").
std::wstring ByteSize(std::uint64_t bytes);
std::wstring KBSize(std::uint64_t bytes);
// CopyBounded (common/bounded_text.h), the bounded copy every text uses.
using ::CopyBounded;

}  // namespace recordtext
