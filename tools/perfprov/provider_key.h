#pragma once
// Where the disk-counter provider is registered in a Wine prefix, and the
// values that steer it. The registration script (register) writes them; the
// provider, its tests and perfdump read them.
//
// HKLM\SYSTEM\CurrentControlSet\Services\QorvelDisks
//     Mode        "scripted" or "live" (anything else serves no disks)
//     ScriptFile  the scripted mode's text file (a Windows path)
//   \Performance  Library, Open, Collect, Close: what Wine's performance-data
//                 query loads and calls
//   \Drives       one value per Wine drive, "C:" = the Linux directory of its
//                 root with symbolic links resolved (Windows code cannot read
//                 Linux links)

inline constexpr wchar_t kProviderServiceKey[] = L"SYSTEM\\CurrentControlSet\\Services\\QorvelDisks";
inline constexpr wchar_t kProviderPerformanceKey[] = L"SYSTEM\\CurrentControlSet\\Services\\QorvelDisks\\Performance";
inline constexpr wchar_t kProviderDrivesKey[] = L"SYSTEM\\CurrentControlSet\\Services\\QorvelDisks\\Drives";
inline constexpr wchar_t kProviderModeValue[] = L"Mode";
inline constexpr wchar_t kProviderScriptFileValue[] = L"ScriptFile";
inline constexpr wchar_t kProviderLibraryValue[] = L"Library";
inline constexpr wchar_t kProviderModeScripted[] = L"scripted";
inline constexpr wchar_t kProviderModeLive[] = L"live";
