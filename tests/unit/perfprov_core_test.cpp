// The disk-counter provider's live mode: Linux devices mapped to Wine drives.
// (Scripts and the objects laid out from them are read back through the
// program's reader in perfprov_test.cpp, and fuzzed.) Builds both under Wine and
// natively with AddressSanitizer and UndefinedBehaviorSanitizer.
#include <gtest/gtest.h>

#include <set>

#include "tools/perfprov/linux_disks.h"

namespace {

// Each instance as "name@parent".
std::string Names(const std::vector<DiskInstance>& instances)
{
    std::string names;
    for (const DiskInstance& instance : instances)
        names += std::string(instance.name.begin(), instance.name.end()) + "@" + std::to_string(instance.parent) + " ";
    return names;
}

class FakeTopology final : public BlockTopology {
public:
    bool IsWholeDevice(const std::string& name) override { return whole.count(name) != 0; }
    bool HasPartition(const std::string& disk, const std::string& part) override { return part.rfind(disk, 0) == 0; }
    std::vector<std::string> Slaves(const std::string& name) override
    {
        return name == "dm-0" ? std::vector<std::string>{"nvme0n1p1"} : std::vector<std::string>{};
    }
    std::set<std::string> whole = {"loop0", "sda", "nvme0n1", "dm-0", "zram0", "sdc"};
};

// Whole disks that are not loop, RAM or stacked devices, in /proc/diskstats
// order, named with their drives; each drive with its own device's counters.
TEST(LinuxDisks, MapsWineDrivesToTheirDisks)
{
    const char* diskstats =
        "   7       0 loop0 10 0 80 1 0 0 0 0 0 4 1 0 0 0 0 0 0\n"
        "   8       0 sda 1000 5 80000 1500 2000 7 160000 2500 1 3000 4100 0 0 0 0 0 0\n"
        "   8       1 sda1 100 0 800 150 200 0 1600 250 0 300 410 0 0 0 0 0 0\n"
        "   8       2 sda2 900 5 79000 1350 1800 7 158000 2250 1 2700 3690 0 0 0 0 0 0\n"
        " 259       0 nvme0n1 5000000000 0 6 7 8 0 9 10 2 11 12\n"
        " 259       1 nvme0n1p1 41 0 42 43 44 0 45 46 0 47 48\n"
        " 253       0 dm-0 31 0 32 33 34 0 35 36 0 37 38\n"
        " 252       0 zram0 1 0 1 1 1 0 1 1 0 1 1\n"
        "   8      16 sdb1 3 4 5 6\n"
        "garbage line\n"
        "   8      32 sdc 1 2 3\n";
    const char* mountinfo =
        "27 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
        "30 27 8:2 / /home rw,relatime shared:2 master:1 - ext4 /dev/sda2 rw\n"
        "31 27 253:0 / /mnt/my\\040data rw - xfs /dev/mapper/vg-data rw\n"
        "32 27 0:45 / /srv/box rw - overlay overlay rw,lowerdir=/a\n"
        "33 27 0:46 / /mnt/pool rw - btrfs /dev/sdb1 rw\n"
        "34 30 0:50 / /home/u/tmp rw - tmpfs tmpfs rw\n";
    FakeTopology topology;
    const std::vector<WineDrive> drives = {
        {'Z', "/"},        {'C', "/home/u/.wine/drive_c"}, {'D', "/mnt/my data/games"},
        {'E', "/srv/box"}, {'F', "/home/u/tmp"},           {'G', "/mnt/pool"},
        {'H', "/homework"}};
    const DiskSet set = BuildLiveDiskSet(diskstats, mountinfo, drives, topology);
    EXPECT_EQ(Names(set.physical) + Names(set.logical), "0 C: H: Z:@-1 1 D:@-1 C:@0 D:@1 G:@-1 H:@0 Z:@0 ");
    // ms x 10,000 for 1400, 1402, 1404; sectors x 512 for 226, 228; 32-bit counts wrap.
    EXPECT_EQ(set.physical[0].counters,
              (DiskCounters{41'000'000, 15'000'000, 25'000'000, 1000, 2000, 80000u * 512, 160000u * 512, 1}));
    EXPECT_EQ(set.physical[1].counters.reads, 5000000000u & 0xFFFFFFFFu);
    EXPECT_EQ(set.logical[0].counters.bytesWritten, 158000u * 512);                          // sda2
    EXPECT_EQ(set.logical[1].counters.queue, 380'000u);                                      // dm-0
    EXPECT_EQ(set.logical[2].counters, (DiskCounters{0, 0, 0, 3, 5, 4 * 512, 6 * 512, 0}));  // sdb1, the short form

    // The mapping, made once, serves later readings of the same devices, and
    // fits no longer once a device comes, goes or moves, or a mount changes
    // (a stick's partition mounted after it appeared).
    const LiveMapping mapping = MapLiveDisks(ParseDiskStats(diskstats), mountinfo, drives, topology);
    std::string later = diskstats;
    later.replace(later.find("sda 1000"), 8, "sda 1001");
    EXPECT_EQ(BuildLiveDiskSet(ParseDiskStats(later), mapping).physical[0].counters.reads, 1001u);
    EXPECT_TRUE(MappingFits(mapping, ParseDiskStats(later), mountinfo));
    for (const std::string& devices : {later + " 8 48 sdd 1 0 1 1 1 0 1 1 0 1 1\n", later.substr(later.find('\n') + 1)})
        EXPECT_FALSE(MappingFits(mapping, ParseDiskStats(devices), mountinfo));
    const std::string mounted = std::string(mountinfo) + "35 27 8:1 / /homework rw - vfat /dev/sda1 rw\n";
    EXPECT_FALSE(MappingFits(mapping, ParseDiskStats(later), mounted));
}

}  // namespace
