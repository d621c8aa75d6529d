#include "sources/drive_list.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "sources/perf_layout.h"
#include "sources/registry_access.h"
#include "sources/source_system.h"

namespace {

constexpr std::wstring_view kTotalInstance = L"_Total";
constexpr std::wstring_view kVolumePrefix = L"HarddiskVolume";

IndicatorEntry MakeEntry(std::wstring devicePath, std::wstring displayName, std::wstring label, std::uint32_t kind)
{
    IndicatorEntry entry;
    entry.devicePath = std::move(devicePath);
    entry.displayName = std::move(displayName);
    entry.label = std::move(label);
    entry.kind = kind;
    return entry;
}

// "C:" stays "C:"; "HarddiskVolume3" becomes "hd3".
std::wstring ShortLabel(const std::wstring& name)
{
    if (name.compare(0, kVolumePrefix.size(), kVolumePrefix) == 0)
        return L"hd" + name.substr(kVolumePrefix.size());
    return name;
}

// The drive number an instance name starts with ("2 E:" gives 2): digits
// followed by a space or the end of the name. None for anything else.
std::optional<unsigned long> DriveNumber(const std::wstring& name)
{
    std::size_t digits = 0;
    while (digits < name.size() && digits < 9 && name[digits] >= L'0' && name[digits] <= L'9')
        ++digits;
    if (digits == 0 || (digits < name.size() && name[digits] != L' '))
        return std::nullopt;
    return std::stoul(name.substr(0, digits));
}

}  // namespace

bool EnumeratePhysicalDrives(RegistryAccess& access, IndicatorList& list)
{
    list.clear();
    access.Refresh();
    // Each drive is numbered by the number its instance name starts with
    // ("2 E:" is \\.\PHYSICALDRIVE2): after a disk has gone, the numbers
    // have gaps. An instance without a number ("_Total") is no drive.
    std::vector<std::wstring> names;
    const std::int32_t count = access.GetInstanceNames(perflayout::kPhysicalDiskObject, names);
    std::vector<unsigned long> numbers;
    for (std::int32_t index = 0; index < count && static_cast<std::size_t>(index) < names.size(); ++index) {
        const std::optional<unsigned long> drive = DriveNumber(names[static_cast<std::size_t>(index)]);
        if (!drive || std::find(numbers.begin(), numbers.end(), *drive) != numbers.end())
            continue;
        numbers.push_back(*drive);
        const std::wstring number = std::to_wstring(*drive);
        list.push_back(
            MakeEntry(L"\\\\.\\PHYSICALDRIVE" + number, L"Physical Drive " + number, number, kKindPhysicalDrive));
    }
    list.push_back(MakeEntry(L"_Total", L"All-In-One", L"All", kKindAllInOne));
    return true;
}

bool EnumerateLogicalDisks(RegistryAccess& access, IndicatorList& list)
{
    access.Refresh();
    std::vector<std::wstring> names;
    const std::int32_t count = access.GetInstanceNames(perflayout::kLogicalDiskObject, names);
    for (std::int32_t index = 0; index < count && static_cast<std::size_t>(index) < names.size(); ++index) {
        const std::wstring& name = names[static_cast<std::size_t>(index)];
        if (name == kTotalInstance)
            break;
        const std::wstring root = name + L"\\";
        std::wstring displayName = name;
        std::wstring volumeName;
        if (CurrentSourceSystem().GetVolumeName(root, &volumeName))
            displayName = volumeName.empty() ? root : root + L" - " + volumeName;
        list.push_back(MakeEntry(L"\\\\.\\" + name, std::move(displayName), ShortLabel(name), kKindLogicalDisk));
    }
    return true;
}
