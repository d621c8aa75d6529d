#include "tools/perfprov/linux_disks.h"

#include <algorithm>
#include <charconv>

namespace {

// Splits off the next blank-separated field.
std::string_view NextField(std::string_view& text)
{
    const std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        text = {};
        return {};
    }
    text.remove_prefix(start);
    const std::size_t end = text.find_first_of(" \t");
    const std::string_view field = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end);
    return field;
}

template <typename Number>
bool ToNumber(std::string_view text, Number& value)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

bool ParseDeviceNumber(std::string_view text, std::uint32_t& major, std::uint32_t& minor)
{
    const std::size_t colon = text.find(':');
    return colon != std::string_view::npos && ToNumber(text.substr(0, colon), major) &&
           ToNumber(text.substr(colon + 1), minor);
}

bool IsOctal(char c)
{
    return c >= '0' && c <= '7';
}

// mountinfo writes blanks, tabs, newlines and backslashes in paths as \ooo.
std::string Unescape(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && text.size() - i >= 4 && IsOctal(text[i + 1]) && IsOctal(text[i + 2]) &&
            IsOctal(text[i + 3])) {
            out += static_cast<char>(((text[i + 1] - '0') << 6) | ((text[i + 2] - '0') << 3) | (text[i + 3] - '0'));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

bool IsPhysicalDisk(const BlockStats& device, BlockTopology& topology)
{
    const std::string& name = device.name;
    if (StartsWith(name, "loop") || StartsWith(name, "ram") || StartsWith(name, "zram"))
        return false;
    return topology.IsWholeDevice(name) && topology.Slaves(name).empty();
}

const BlockStats* FindDevice(const std::vector<BlockStats>& stats, const MountEntry& mount)
{
    for (const BlockStats& device : stats) {
        if (device.major == mount.major && device.minor == mount.minor)
            return &device;
    }
    // Some filesystems (btrfs) report an anonymous device number: use the name
    // of the device they were mounted from.
    if (StartsWith(mount.source, "/dev/")) {
        const std::string name = mount.source.substr(mount.source.rfind('/') + 1);
        for (const BlockStats& device : stats) {
            if (device.name == name)
                return &device;
        }
    }
    return nullptr;
}

// Position of the physical disk that holds the device, -1 when none does.
std::int32_t HoldingDisk(const std::string& name, const std::vector<std::string>& disks, BlockTopology& topology,
                         int depth)
{
    if (depth > 4)
        return -1;
    for (std::size_t i = 0; i < disks.size(); ++i) {
        if (disks[i] == name)
            return static_cast<std::int32_t>(i);
    }
    if (topology.IsWholeDevice(name)) {
        for (const std::string& slave : topology.Slaves(name)) {
            const std::int32_t disk = HoldingDisk(slave, disks, topology, depth + 1);
            if (disk >= 0)
                return disk;
        }
        return -1;
    }
    for (std::size_t i = 0; i < disks.size(); ++i) {
        if (topology.HasPartition(disks[i], name))
            return static_cast<std::int32_t>(i);
    }
    return -1;
}

// The text up to the next line feed; text moves past it.
std::string_view NextLine(std::string_view& text)
{
    const std::size_t newline = text.find('\n');
    const std::string_view line = text.substr(0, newline);
    text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
    return line;
}

std::u16string Ascii16(std::string_view text)
{
    return std::u16string(text.begin(), text.end());
}

}  // namespace

std::vector<BlockStats> ParseDiskStats(std::string_view text)
{
    std::vector<BlockStats> stats;
    while (!text.empty()) {
        std::string_view line = NextLine(text);

        BlockStats device;
        if (!ToNumber(NextField(line), device.major) || !ToNumber(NextField(line), device.minor))
            continue;
        device.name = std::string(NextField(line));
        std::uint64_t values[11] = {};
        std::size_t count = 0;
        for (std::string_view field = NextField(line); !field.empty() && count < 11; field = NextField(line)) {
            if (!ToNumber(field, values[count]))
                break;
            ++count;
        }
        if (device.name.empty())
            continue;
        if (count == 11) {
            device.reads = values[0];
            device.sectorsRead = values[2];
            device.msReading = values[3];
            device.writes = values[4];
            device.sectorsWritten = values[6];
            device.msWriting = values[7];
            device.inProgress = values[8];
            device.weightedMs = values[10];
        } else if (count == 4) {
            device.reads = values[0];
            device.sectorsRead = values[1];
            device.writes = values[2];
            device.sectorsWritten = values[3];
        } else {
            continue;
        }
        stats.push_back(std::move(device));
    }
    return stats;
}

std::vector<MountEntry> ParseMountInfo(std::string_view text)
{
    std::vector<MountEntry> mounts;
    while (!text.empty()) {
        std::string_view line = NextLine(text);

        // id parent major:minor root mount-point options [optional...] - type source super-options
        MountEntry mount;
        NextField(line);
        NextField(line);
        if (!ParseDeviceNumber(NextField(line), mount.major, mount.minor))
            continue;
        NextField(line);
        const std::string_view mountPoint = NextField(line);
        if (mountPoint.empty() || mountPoint.front() != '/')
            continue;
        mount.mountPoint = Unescape(mountPoint);
        for (std::string_view field = NextField(line); !field.empty(); field = NextField(line)) {
            if (field == "-") {
                NextField(line);  // filesystem type
                mount.source = Unescape(NextField(line));
                break;
            }
        }
        mounts.push_back(std::move(mount));
    }
    return mounts;
}

const MountEntry* FindMount(const std::vector<MountEntry>& mounts, std::string_view path)
{
    const MountEntry* best = nullptr;
    for (const MountEntry& mount : mounts) {
        const std::string& point = mount.mountPoint;
        const bool holds =
            point == "/" || (StartsWith(path, point) && (path.size() == point.size() || path[point.size()] == '/'));
        if (holds && (!best || point.size() >= best->mountPoint.size()))
            best = &mount;
    }
    return best;
}

DiskCounters CountersFromStats(const BlockStats& stats)
{
    DiskCounters counters;
    counters.queue = stats.weightedMs * 10000;
    counters.readQueue = stats.msReading * 10000;
    counters.writeQueue = stats.msWriting * 10000;
    counters.reads = static_cast<std::uint32_t>(stats.reads);
    counters.writes = static_cast<std::uint32_t>(stats.writes);
    counters.bytesRead = stats.sectorsRead * 512;
    counters.bytesWritten = stats.sectorsWritten * 512;
    counters.inFlight = static_cast<std::uint32_t>(stats.inProgress);
    return counters;
}

LiveMapping MapLiveDisks(const std::vector<BlockStats>& stats, std::string_view mountinfo,
                         std::vector<WineDrive> drives, BlockTopology& topology)
{
    const std::vector<MountEntry> mounts = ParseMountInfo(mountinfo);
    LiveMapping mapping;
    mapping.mountinfo = mountinfo;
    for (const BlockStats& device : stats) {
        mapping.devices.push_back(device.name);
        if (IsPhysicalDisk(device, topology))
            mapping.disks.push_back(device.name);
    }
    std::sort(drives.begin(), drives.end(), [](const WineDrive& a, const WineDrive& b) { return a.letter < b.letter; });
    for (const WineDrive& drive : drives) {
        const MountEntry* mount = FindMount(mounts, drive.directory);
        const BlockStats* device = mount ? FindDevice(stats, *mount) : nullptr;
        if (device)
            mapping.drives.push_back(
                {drive.letter, device->name, HoldingDisk(device->name, mapping.disks, topology, 0)});
    }
    return mapping;
}

bool MappingFits(const LiveMapping& mapping, const std::vector<BlockStats>& stats, std::string_view mountinfo)
{
    if (mapping.devices.size() != stats.size() || mapping.mountinfo != mountinfo)
        return false;
    for (std::size_t i = 0; i < stats.size(); ++i) {
        if (mapping.devices[i] != stats[i].name)
            return false;
    }
    return true;
}

DiskSet BuildLiveDiskSet(const std::vector<BlockStats>& stats, const LiveMapping& mapping)
{
    const auto counters = [&](const std::string& name) {
        for (const BlockStats& device : stats) {
            if (device.name == name)
                return CountersFromStats(device);
        }
        return DiskCounters{};
    };
    DiskSet set;
    for (std::size_t disk = 0; disk < mapping.disks.size(); ++disk)
        set.physical.push_back({Ascii16(std::to_string(disk)), counters(mapping.disks[disk]), -1});
    for (const LiveMapping::Drive& drive : mapping.drives) {
        const std::u16string name = {static_cast<char16_t>(drive.letter), u':'};
        set.logical.push_back({name, counters(drive.device), drive.disk});
        if (drive.disk >= 0)
            set.physical[static_cast<std::size_t>(drive.disk)].name += u" " + name;
    }
    return set;
}

DiskSet BuildLiveDiskSet(std::string_view diskstats, std::string_view mountinfo, std::vector<WineDrive> drives,
                         BlockTopology& topology)
{
    const std::vector<BlockStats> stats = ParseDiskStats(diskstats);
    return BuildLiveDiskSet(stats, MapLiveDisks(stats, mountinfo, std::move(drives), topology));
}
