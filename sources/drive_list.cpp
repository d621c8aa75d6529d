#include "sources/drive_list.h"

#include <string>
#include <vector>

#include "sources/perf_layout.h"
#include "sources/registry_access.h"
#include "sources/source_system.h"

namespace {

constexpr std::wstring_view kTotalInstance = L"_Total";
constexpr std::wstring_view kVolumePrefix = L"HarddiskVolume";

IndicatorEntry MakeEntry(std::wstring devicePath, std::wstring displayName, std::wstring label,
                         std::uint32_t kind)
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

}  // namespace

bool EnumeratePhysicalDrives(RegistryAccess& access, IndicatorList& list)
{
    list.clear();
    access.Refresh();
    // The object's instances include "_Total", so n instances are n - 1 drives.
    // Drives are numbered by position; the instance names are not read.
    const std::int32_t instances = access.GetInstanceCount(perflayout::kPhysicalDiskObject);
    for (std::int32_t drive = 0; drive < instances - 1; ++drive) {
        const std::wstring number = std::to_wstring(drive);
        list.push_back(MakeEntry(L"\\\\.\\PHYSICALDRIVE" + number, L"Physical Drive " + number,
                                 number, kKindPhysicalDrive));
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
        list.push_back(MakeEntry(L"\\\\.\\" + name, std::move(displayName), ShortLabel(name),
                                 kKindLogicalDisk));
    }
    return true;
}
