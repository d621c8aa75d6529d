#pragma once
// The indicator list: every indicator the program can show, one per physical
// drive, the all-in-one indicator and one per logical disk, in that order.
#include <windows.h>

#include <cstdint>
#include <deque>
#include <string>

#include "sources/indicator_kind.h"

class RegistryAccess;

struct IndicatorEntry {
    std::wstring devicePath;   // opens the device; also names the settings section
    std::wstring displayName;  // tooltips, titles, the summary
    std::wstring label;        // painted on the LED
    std::wstring serialNumber;
    std::wstring model;
    std::wstring details;
    std::uint32_t kind = 0;  // an IndicatorKind
};

// Entries never move while they are in the list, so records may point at them
// until the list is rebuilt.
using IndicatorList = std::deque<IndicatorEntry>;

// Empties the list, then appends one entry per physical drive of the
// PhysicalDisk object, numbered as its instance name starts ("2 E:" is
// \\.\PHYSICALDRIVE2), and the all-in-one entry. Always answers true.
bool EnumeratePhysicalDrives(RegistryAccess& access, IndicatorList& list);

// Appends one entry per instance of the LogicalDisk object before "_Total".
// Always answers true.
bool EnumerateLogicalDisks(RegistryAccess& access, IndicatorList& list);
