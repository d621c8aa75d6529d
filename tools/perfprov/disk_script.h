#pragma once
// The text file that scripted mode serves disks from. One instance a line:
//
//   qorvel-disks 1
//   # comment
//   physical | 0 C: | 1400=5000000000 1402=1000 1404=4000 214=10 216=40 226=40960 228=163840
//   logical  | C:   | 1404=4000 216=40
//   end
//
// The first line names the format, the last line is "end" (so a file cut short
// is seen as damaged). Each instance line holds the object ("physical" or
// "logical"), the instance name (printable ASCII without "|", at most 63
// characters) and counters as index=value in decimal: 1400, 1402, 1404, 226
// and 228 take 64-bit values, 214, 216 and 198 32-bit ones. Counters not
// listed are 0. Blank lines and lines starting with "#" are ignored. An
// instance named "_Total" replaces the sum the provider adds otherwise.
// No Windows headers: this also builds natively.
#include <cstddef>
#include <string>
#include <string_view>

#include "tools/perfprov/disk_set.h"

inline constexpr std::size_t kMaxScriptBytes = 4u << 20;
inline constexpr std::size_t kMaxScriptInstances = 4096;  // per object
inline constexpr std::size_t kMaxInstanceName = 63;

// Reads a whole script. On any fault (an unknown word, a number out of range, a
// missing "end") answers false, leaves the set empty and describes the fault.
bool ParseDiskScript(std::string_view text, DiskSet& set, std::string* error = nullptr);

// Writes a set in the script format (the "_Total" instances included as given).
std::string FormatDiskScript(const DiskSet& set);
