// The disk-counter provider's own logic: the script format, the objects it lays
// out and the live mapping of Linux devices to Wine drives. Builds both under
// Wine and natively with AddressSanitizer and UndefinedBehaviorSanitizer.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "sources/perf_layout.h"
#include "tools/perfprov/disk_objects.h"
#include "tools/perfprov/disk_script.h"
#include "tools/perfprov/linux_disks.h"

namespace {

using namespace perflayout;

// Each instance as "name@parent".
std::string Names(const std::vector<DiskInstance>& instances)
{
    std::string names;
    for (const DiskInstance& instance : instances)
        names += std::string(instance.name.begin(), instance.name.end()) + "@" + std::to_string(instance.parent) + " ";
    return names;
}

TEST(DiskScript, ReadsTheDocumentedFormAndServesNothingWhenDamaged)
{
    DiskSet set;
    ASSERT_TRUE(ParseDiskScript("# a test machine\r\nqorvel-disks 1\r\n\r\nphysical | 0 C: | 1400=5000000000 1402=1000 "
                                "1404=4000 214=10 216=40 226=40960 228=163840 198=2\r\n  physical|1 D: E:|\r\n"
                                "logical  | C:   | 1404=18446744073709551615 216=4294967295\nend\n",
                                set));
    EXPECT_EQ(Names(set.physical) + Names(set.logical), "0 C:@-1 1 D: E:@-1 C:@0 ");
    EXPECT_EQ(set.physical[0].counters, (DiskCounters{5000000000, 1000, 4000, 10, 40, 40960, 163840, 2}));
    EXPECT_EQ(set.logical[0].counters, (DiskCounters{0, 0, 18446744073709551615ull, 0, 4294967295u}));
    const std::string good = "qorvel-disks 1\nphysical | 0 C: | 1400=1\n";
    for (const std::string& damaged :
         std::vector<std::string>{"", "qorvel-disks 2\nend\n", good, good + "disk | 1 |\nend\n", good + "physical | 1 \nend\n",
          good + "physical | " + std::string(64, 'x') + " |\nend\n", good + "physical | 1 | 214=4294967296\nend\n",
          good + "physical | 1 | 1400=-1\nend\n", good + "physical | 1 | 1400=1 1400=2\nend\n", good + "end\nx\n"}) {
        set.physical = {{u"stale"}};
        EXPECT_FALSE(ParseDiskScript(damaged, set)) << damaged;
        EXPECT_TRUE(set.physical.empty());
    }
}

// Values are read back through the program's reader in perfprov_test.cpp; here
// the records' alignment, names and parents.
TEST(DiskObjects, RecordsAreAlignedAndNamesTerminated)
{
    DiskSet set;
    ASSERT_TRUE(ParseDiskScript("qorvel-disks 1\nphysical | 0 C: E: |\nlogical | C: |\nlogical | HarddiskVolume1 |\n"
                                "logical | E: |\nend\n",
                                set));
    std::uint32_t count = 0;
    const std::vector<std::uint8_t> bytes = BuildDiskObjects(set, ParseQuery(u"236"), {77, 1000}, &count);
    ASSERT_EQ(count, 1u);
    auto get32 = [&](std::size_t at) {
        std::uint32_t value = 0;
        std::memcpy(&value, &bytes.at(at), 4);
        return value;
    };
    EXPECT_EQ(get32(kObjectTotalByteLength), bytes.size());
    EXPECT_EQ(get32(kObjectNameTitleIndex), kLogicalDiskObject);
    std::set<std::uint32_t> sizes;
    for (std::uint32_t i = 0; i < get32(kObjectNumCounters); ++i) {
        const std::size_t def = kObjectSize + i * kCounterDefinitionSize;
        sizes.insert(get32(def + kCounterSize));
        EXPECT_EQ(get32(def + kCounterOffset) % get32(def + kCounterSize), 0u) << "counter " << i;
    }
    EXPECT_EQ(sizes, (std::set<std::uint32_t>{4, 8}));
    std::string seen;
    std::size_t at = get32(kObjectDefinitionLength);
    for (std::uint32_t i = 0; i < get32(kObjectNumInstances); ++i) {
        ASSERT_EQ(at % 8, 0u);
        const std::size_t name = at + get32(at + kInstanceNameOffset), length = get32(at + kInstanceNameLength);
        ASSERT_EQ(bytes.at(name + length - 2) + bytes.at(name + length - 1), 0);
        for (std::size_t c = name; c + 2 < name + length; c += 2)
            seen += static_cast<char>(bytes[c]);
        seen += "@" + std::to_string(get32(at + kInstanceParentObjectTitleIndex)) + ":" +
                std::to_string(get32(at + kInstanceParentObjectInstance)) + " ";
        at += get32(at + kInstanceByteLength);
        ASSERT_EQ(at % 8, 0u);
        at += get32(at + kCounterBlockByteLength);
    }
    EXPECT_EQ(seen, "C:@234:0 HarddiskVolume1@0:0 E:@234:0 _Total@0:0 ");
    EXPECT_EQ(at, bytes.size());
    EXPECT_EQ(std::pair(ParseQuery(u"Global").physical, ParseQuery(u"Costly").physical), std::pair(true, false));
}

class FakeTopology final : public BlockTopology {
public:
    bool IsWholeDevice(const std::string& name) override { return whole.count(name) != 0; }
    bool HasPartition(const std::string& disk, const std::string& partition) override
    {
        return partition.rfind(disk, 0) == 0;
    }
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
    const DiskSet set = BuildLiveDiskSet(diskstats, mountinfo,
                                         {{'Z', "/"}, {'C', "/home/u/.wine/drive_c"}, {'D', "/mnt/my data/games"},
                                          {'E', "/srv/box"}, {'F', "/home/u/tmp"}, {'G', "/mnt/pool"}, {'H', "/homework"}},
                                         topology);
    EXPECT_EQ(Names(set.physical) + Names(set.logical), "0 C: H: Z:@-1 1 D:@-1 C:@0 D:@1 G:@-1 H:@0 Z:@0 ");
    // ms x 10,000 for 1400, 1402, 1404; sectors x 512 for 226, 228; 32-bit counts wrap.
    EXPECT_EQ(set.physical[0].counters,
              (DiskCounters{41'000'000, 15'000'000, 25'000'000, 1000, 2000, 80000u * 512, 160000u * 512, 1}));
    EXPECT_EQ(set.physical[1].counters.reads, 5000000000u & 0xFFFFFFFFu);
    EXPECT_EQ(set.logical[0].counters.bytesWritten, 158000u * 512);  // sda2
    EXPECT_EQ(set.logical[1].counters.queue, 380'000u);              // dm-0
    EXPECT_EQ(set.logical[2].counters, (DiskCounters{0, 0, 0, 3, 5, 4 * 512, 6 * 512, 0}));  // sdb1, the short form
}

}  // namespace
