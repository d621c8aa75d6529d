#pragma once
// Live mode: the Linux machine's disks from /proc/diskstats, and Wine's drives
// mapped to the block devices of the filesystems that hold them
// (/proc/self/mountinfo and /sys/block). The texts are read by the caller;
// everything here is parsing and matching. No Windows headers: this also
// builds natively.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/perfprov/disk_set.h"

// One line of /proc/diskstats.
struct BlockStats {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::string name;
    std::uint64_t reads = 0;        // reads completed
    std::uint64_t sectorsRead = 0;  // 512-byte sectors
    std::uint64_t msReading = 0;
    std::uint64_t writes = 0;  // writes completed
    std::uint64_t sectorsWritten = 0;
    std::uint64_t msWriting = 0;
    std::uint64_t inProgress = 0;
    std::uint64_t weightedMs = 0;  // time doing I/O weighted by the queue length
};

// Lines with fewer than 11 statistics (or 4, the short form of old kernels'
// partitions) are passed over.
std::vector<BlockStats> ParseDiskStats(std::string_view text);

// One line of /proc/self/mountinfo.
struct MountEntry {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::string mountPoint;  // escapes such as \040 decoded
    std::string source;      // for example /dev/vda1
};

std::vector<MountEntry> ParseMountInfo(std::string_view text);

// The mount that holds an absolute path: the longest mount point that is the
// path or one of its parents; of equal ones the last (it hides the others).
const MountEntry* FindMount(const std::vector<MountEntry>& mounts, std::string_view path);

// sectors x 512 bytes, milliseconds x 10,000 (100-ns units).
DiskCounters CountersFromStats(const BlockStats& stats);

// What /sys/block tells about the devices.
class BlockTopology {
public:
    virtual ~BlockTopology() = default;
    // A whole device (listed in /sys/block), not a partition.
    virtual bool IsWholeDevice(const std::string& name) = 0;
    // The partition is a child of the disk (/sys/block/<disk>/<partition>).
    virtual bool HasPartition(const std::string& disk, const std::string& partition) = 0;
    // Devices a stacked device (device mapper, RAID) is built on.
    virtual std::vector<std::string> Slaves(const std::string& name) = 0;
};

// A Wine drive and the Linux directory its root is (symbolic links resolved).
struct WineDrive {
    char letter = 'C';
    std::string directory;
};

// Which devices of /proc/diskstats are the physical disks and where each Wine
// drive lies: worked out from mountinfo and /sys/block, it holds while the
// devices of /proc/diskstats stay the same, in the same order, and the mounts
// stay as they were (a stick's partitions appear before they are mounted).
struct LiveMapping {
    struct Drive {
        char letter = 'C';
        std::string device;      // the block device its filesystem lies on
        std::int32_t disk = -1;  // the physical disk that holds it, -1 when none does
    };
    std::vector<std::string> devices;  // every device of /proc/diskstats, in order
    std::vector<std::string> disks;    // the physical disks, in order
    std::vector<Drive> drives;         // in drive-letter order
    std::string mountinfo;             // the mounts it was worked out from
};

// Physical disks: whole disks that are not loop, RAM or stacked devices, in
// the order of /proc/diskstats. Drives: each one whose filesystem lies on a
// block device; a drive that cannot be mapped is left out.
LiveMapping MapLiveDisks(const std::vector<BlockStats>& stats, std::string_view mountinfo,
                         std::vector<WineDrive> drives, BlockTopology& topology);

// The mapping was made for these devices and these mounts.
bool MappingFits(const LiveMapping& mapping, const std::vector<BlockStats>& stats, std::string_view mountinfo);

// Physical disks numbered from 0 and named with the drives they hold
// ("0 C: Z:"); logical disks with their device's counters, in drive-letter
// order.
DiskSet BuildLiveDiskSet(const std::vector<BlockStats>& stats, const LiveMapping& mapping);

// The mapping and the set at once.
DiskSet BuildLiveDiskSet(std::string_view diskstats, std::string_view mountinfo, std::vector<WineDrive> drives,
                         BlockTopology& topology);
