// The disk-counter provider's own logic: the script format, the objects it lays
// out, where it puts them in the caller's buffer, and the live mapping of Linux
// devices. Builds both under Wine and natively with AddressSanitizer and
// UndefinedBehaviorSanitizer.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "sources/perf_layout.h"
#include "sources/perf_walk.h"
#include "tests/support/perf_snapshot.h"
#include "tools/perfprov/block_placement.h"
#include "tools/perfprov/disk_objects.h"
#include "tools/perfprov/disk_script.h"
#include "tools/perfprov/linux_disks.h"

namespace {

using namespace perflayout;

std::vector<std::u16string> Names(const std::vector<DiskInstance>& instances)
{
    std::vector<std::u16string> names;
    for (const DiskInstance& instance : instances)
        names.push_back(instance.name);
    return names;
}

// ---- The script format ----

TEST(DiskScript, ReadsTheDocumentedForm)
{
    DiskSet set;
    std::string error;
    ASSERT_TRUE(ParseDiskScript("# a test machine\r\nqorvel-disks 1\r\n\r\n"
                                "physical | 0 C: | 1400=5000000000 1402=1000 1404=4000 214=10 216=40 226=40960 "
                                "228=163840 198=2\r\n"
                                "  physical|1 D: E:|\r\n"
                                "logical  | C:   | 1404=18446744073709551615 216=4294967295\r\n"
                                "# comment between lines\nlogical | HarddiskVolume1 |\nend\n\n",
                                set, &error))
        << error;
    EXPECT_EQ(Names(set.physical), (std::vector<std::u16string>{u"0 C:", u"1 D: E:"}));
    EXPECT_EQ(Names(set.logical), (std::vector<std::u16string>{u"C:", u"HarddiskVolume1"}));
    EXPECT_EQ(set.physical[0].counters, (DiskCounters{5000000000, 1000, 4000, 10, 40, 40960, 163840, 2}));
    EXPECT_EQ(set.physical[1].counters, DiskCounters{});
    EXPECT_EQ(set.logical[0].counters, (DiskCounters{0, 0, 18446744073709551615ull, 0, 4294967295u}));
    // Logical disks are linked to the physical disk that lists them.
    EXPECT_EQ(set.logical[0].parent, 0);
    EXPECT_EQ(set.logical[1].parent, -1);
}

TEST(DiskScript, ADamagedScriptServesNothing)
{
    const std::string good = "qorvel-disks 1\nphysical | 0 C: | 1400=1\n";
    std::string tooMany = "qorvel-disks 1\n";
    for (std::size_t i = 0; i <= kMaxScriptInstances; ++i)
        tooMany += "logical | V" + std::to_string(i) + " |\n";
    const std::map<std::string, std::string> damaged = {
        {"", "line 0: empty file"},
        {"physical | 0 C: | 1400=1\nend\n", "line 1: expected \"qorvel-disks 1\""},
        {"qorvel-disks 2\nend\n", "line 1: expected \"qorvel-disks 1\""},
        {good, "no \"end\" line"},                                       // cut short
        {good + "logical | C: | 1400=1", "no \"end\" line"},             // cut inside a line
        {good + "end\nphysical | 1 | \n", "line 4: text after \"end\""},
        {good + "disk | 1 | \nend\n", "line 3: unknown object \"disk\""},
        {good + "physical | 1 \nend\n", "line 3: expected \"object | name | counters\""},
        {good + "physical |  | 1400=1\nend\n", "line 3: bad instance name"},
        {good + "physical | " + std::string(64, 'x') + " |\nend\n", "line 3: bad instance name"},
        {good + "physical | 1 \xC3\xA9 |\nend\n", "line 3: bad instance name"},
        {good + "physical | 1 | 1406=5\nend\n", "line 3: bad counter \"1406=5\""},
        {good + "physical | 1 | 214=4294967296\nend\n", "line 3: bad counter \"214=4294967296\""},
        {good + "physical | 1 | 1400=18446744073709551616\nend\n", "line 3: bad counter"},
        {good + "physical | 1 | 1400=-1\nend\n", "line 3: bad counter \"1400=-1\""},
        {good + "physical | 1 | 1400=12x\nend\n", "line 3: bad counter \"1400=12x\""},
        {good + "physical | 1 | 1400=\nend\n", "line 3: bad counter \"1400=\""},
        {good + "physical | 1 | 1400\nend\n", "line 3: expected index=value"},
        {good + "physical | 1 | 1400=1 1400=2\nend\n", "line 3: counter 1400 given twice"},
        {tooMany + "end\n", "too many instances"},
    };
    for (const auto& [text, fault] : damaged) {
        SCOPED_TRACE(text.substr(0, 200));
        DiskSet set;
        set.physical.push_back({u"stale", {}, -1});
        std::string error;
        EXPECT_FALSE(ParseDiskScript(text, set, &error));
        EXPECT_NE(error.find(fault), std::string::npos) << error;
        EXPECT_TRUE(set.physical.empty() && set.logical.empty());
    }
}

// ---- The objects ----

TEST(DiskObjects, AnswersTheObjectsAQueryNames)
{
    struct Case {
        std::u16string query;
        bool physical, logical;
    };
    for (const Case& c : {Case{u"", true, true}, {u"Global", true, true}, {u"global", true, true},
                          {u"234 236", true, true}, {u"236", false, true}, {u"2 4 234", true, false},
                          {u"Costly", false, false}, {u"Foreign x", false, false}, {u"238 2340", false, false}}) {
        const ObjectRequest request = ParseQuery(c.query);
        EXPECT_EQ(std::pair(request.physical, request.logical), std::pair(c.physical, c.logical))
            << std::string(c.query.begin(), c.query.end());
    }
}

DiskSet TwoDisks()
{
    DiskSet set;
    set.physical = {{u"0 C:", {}, -1}, {u"1 D: E:", {}, -1}};
    set.logical = {{u"C:", {}, -1}, {u"HarddiskVolume1", {}, -1}, {u"E:", {}, -1}};
    LinkParentsByName(set);
    return set;
}

// The instances, values and sums the objects hold are read through the real
// query in perfprov_test.cpp.
TEST(DiskObjects, AnInstanceNamedTotalReplacesTheSum)
{
    DiskSet set = TwoDisks();
    set.physical.insert(set.physical.begin(), {u"_Total", {9}, -1});
    std::uint32_t count = 0;
    const std::vector<std::uint8_t> objects = BuildDiskObjects(set, {true, false}, {77, 1000}, &count);
    std::vector<std::uint8_t> bytes = perftest::Build({});
    bytes.insert(bytes.end(), objects.begin(), objects.end());
    perftest::Put32(bytes, kBlockTotalByteLength, static_cast<std::uint32_t>(bytes.size()));
    perftest::Put32(bytes, kBlockNumObjectTypes, count);
    const perfwalk::Snapshot s{bytes.data(), bytes.size()};
    std::vector<std::wstring> names;
    EXPECT_EQ(perfwalk::InstanceNames(s, kPhysicalDiskObject, names), 3);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"_Total", L"0 C:", L"1 D: E:"}));
    EXPECT_EQ(perfwalk::CounterValue(s, kPhysicalDiskObject, L"_Total", kAvgDiskQueueLength, kPerfCounter100nsQueueLen),
              9u);
}

TEST(DiskObjects, RecordsAreAlignedAndNamesTerminated)
{
    std::uint32_t count = 0;
    const std::vector<std::uint8_t> objects = BuildDiskObjects(TwoDisks(), {false, true}, {77, 1000}, &count);
    ASSERT_EQ(count, 1u);
    auto get32 = [&](std::size_t at) { return perftest::Get32(objects, at); };
    EXPECT_EQ(get32(kObjectTotalByteLength), objects.size());
    const std::uint32_t numCounters = get32(kObjectNumCounters);
    EXPECT_GT(numCounters, 7u) << "neighbours beside the counters the program reads";
    std::set<std::uint32_t> sizes;
    std::vector<std::uint32_t> offsets;
    for (std::uint32_t i = 0; i < numCounters; ++i) {
        const std::size_t def = kObjectSize + i * kCounterDefinitionSize;
        sizes.insert(get32(def + kCounterSize));
        offsets.push_back(get32(def + kCounterOffset));
        EXPECT_EQ(offsets.back() % get32(def + kCounterSize), 0u) << "counter " << i << " aligned to its size";
    }
    EXPECT_EQ(sizes, (std::set<std::uint32_t>{4, 8}));

    std::size_t at = get32(kObjectDefinitionLength);
    const std::u16string expected[] = {u"C:", u"HarddiskVolume1", u"E:", u"_Total"};
    const std::uint32_t parents[][2] = {{kPhysicalDiskObject, 0}, {0, 0}, {kPhysicalDiskObject, 1}, {0, 0}};
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(at % 8, 0u);
        const std::uint32_t nameLength = get32(at + kInstanceNameLength);
        ASSERT_EQ(nameLength, 2 * (expected[i].size() + 1));
        std::u16string name(expected[i].size() + 1, u'?');
        std::memcpy(name.data(), &objects[at + get32(at + kInstanceNameOffset)], nameLength);
        EXPECT_EQ(name, expected[i] + u'\0');
        EXPECT_EQ(get32(at + kInstanceParentObjectTitleIndex), parents[i][0]);
        EXPECT_EQ(get32(at + kInstanceParentObjectInstance), parents[i][1]);
        const std::size_t block = at + get32(at + kInstanceByteLength);
        ASSERT_EQ(block % 8, 0u);
        const std::uint32_t blockLength = get32(block + kCounterBlockByteLength);
        EXPECT_EQ(blockLength % 8, 0u);
        for (std::uint32_t offset : offsets)
            EXPECT_LT(offset, blockLength);
        at = block + blockLength;
    }
    EXPECT_EQ(at, objects.size());
}

// ---- Where the objects go ----

// The calls Wine makes and calls that follow the layout are checked against
// the provider itself (perfprov_test.cpp) and by the fuzz target.
TEST(BlockPlacement, WithoutAMatchingBlockThePointerIsUsedAsGiven)
{
    // A caller's buffer with a block header (HeaderLength and TotalByteLength
    // 96) at offset 64, the rest 0xCD; and one with "PERF" but no block.
    std::vector<std::uint8_t> caller(4096, 0xCD);
    std::vector<std::uint8_t> head = perftest::Build({});
    perftest::Put32(head, kBlockHeaderLength, 96);
    perftest::Put32(head, kBlockTotalByteLength, 96);
    std::memcpy(caller.data() + 64, head.data(), kBlockSize);
    std::vector<std::uint8_t> decoy(1024, 0);
    std::memcpy(decoy.data() + 200, u"PERFPERF", 16);
    struct Case {
        const char* what;
        std::uint8_t* given;
        std::size_t readableBefore;
    };
    const Case cases[] = {
        {"neither at the block's end nor 88 past it", caller.data() + 64 + 96 + 40, 64 + 96 + 40},
        {"the block lies further back than the readable bytes", caller.data() + 64 + kBlockSize + 96,
         kBlockSize + 95},
        {"\"PERF\" in front of the pointer, but no block", decoy.data() + 512, 512},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Placement placement = PlaceObjects(c.given, 500, c.readableBefore);
        EXPECT_FALSE(placement.blockFound);
        EXPECT_EQ(placement.start, c.given);
        EXPECT_EQ(placement.room, 500u);
    }
}

// ---- Live mode ----

constexpr const char* kDiskStats =
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

constexpr const char* kMountInfo =
    "22 27 0:21 / /proc rw,relatime - proc proc rw\n"
    "27 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
    "30 27 8:2 / /home rw,relatime shared:2 master:1 - ext4 /dev/sda2 rw\n"
    "31 27 253:0 / /mnt/my\\040data rw - xfs /dev/mapper/vg-data rw\n"
    "32 27 0:45 / /srv/box rw - overlay overlay rw,lowerdir=/a\n"
    "33 27 0:46 / /mnt/pool rw - btrfs /dev/sdb1 rw\n"
    "34 30 0:50 / /home/u/tmp rw - tmpfs tmpfs rw\n";

class FakeTopology final : public BlockTopology {
public:
    bool IsWholeDevice(const std::string& name) override { return whole.count(name) != 0; }
    bool HasPartition(const std::string& disk, const std::string& partition) override
    {
        return partitions.count(disk + "/" + partition) != 0;
    }
    std::vector<std::string> Slaves(const std::string& name) override
    {
        return name == "dm-0" ? std::vector<std::string>{"nvme0n1p1"} : std::vector<std::string>{};
    }

    std::set<std::string> whole = {"loop0", "sda", "nvme0n1", "dm-0", "zram0", "sdc"};
    std::set<std::string> partitions = {"sda/sda1", "sda/sda2", "nvme0n1/nvme0n1p1"};
};

TEST(LinuxDisks, ReadsDiskStatsInBothForms)
{
    const std::vector<BlockStats> stats = ParseDiskStats(kDiskStats);
    std::vector<std::string> names;
    for (const BlockStats& s : stats)
        names.push_back(s.name);
    // The garbage and the three-number line are passed over.
    ASSERT_EQ(names, (std::vector<std::string>{"loop0", "sda", "sda1", "sda2", "nvme0n1", "nvme0n1p1", "dm-0",
                                               "zram0", "sdb1"}));
    // ms x 10,000 for 1400, 1402, 1404; sectors x 512 for 226, 228.
    EXPECT_EQ(CountersFromStats(stats[1]),
              (DiskCounters{41'000'000, 15'000'000, 25'000'000, 1000, 2000, 80000u * 512, 160000u * 512, 1}));
    // The short form: reads, sectors read, writes, sectors written.
    EXPECT_EQ(CountersFromStats(stats[8]), (DiskCounters{0, 0, 0, 3, 5, 4 * 512, 6 * 512, 0}));
    EXPECT_EQ(CountersFromStats(stats[4]).reads, 5000000000u & 0xFFFFFFFFu);  // wraps as on Windows
}

TEST(LinuxDisks, FindsTheMountThatHoldsAPath)
{
    const std::vector<MountEntry> mounts = ParseMountInfo(kMountInfo);
    ASSERT_EQ(mounts.size(), 7u);
    EXPECT_EQ(mounts[3].source, "/dev/mapper/vg-data");
    EXPECT_EQ(mounts[2].source, "/dev/sda2");  // after optional fields
    const std::map<std::string, std::string> holders = {
        {"/home/u/.wine/drive_c", "/home"}, {"/home", "/home"},        {"/homework", "/"},
        {"/home/u/tmp/x", "/home/u/tmp"},   {"/mnt/my data/wine", "/mnt/my data"}, {"/", "/"},
    };
    for (const auto& [path, mountPoint] : holders)
        EXPECT_EQ(FindMount(mounts, path)->mountPoint, mountPoint) << path;
}

TEST(LinuxDisks, MapsWineDrivesToTheirDisks)
{
    FakeTopology topology;
    const std::vector<WineDrive> drives = {
        {'Z', "/"},                      // sda1
        {'C', "/home/u/.wine/drive_c"},  // sda2, a partition of sda
        {'D', "/mnt/my data/games"},     // dm-0 over nvme0n1p1
        {'E', "/srv/box"},               // overlay: no block device
        {'F', "/home/u/tmp"},            // tmpfs: no block device
        {'G', "/mnt/pool"},              // btrfs: anonymous number, mounted from sdb1
    };
    const DiskSet set = BuildLiveDiskSet(kDiskStats, kMountInfo, drives, topology);

    // Whole disks only, numbered in /proc/diskstats order, named with their drives.
    EXPECT_EQ(Names(set.physical), (std::vector<std::u16string>{u"0 C: Z:", u"1 D:"}));
    EXPECT_EQ(set.physical[0].counters.queue, 41'000'000u);
    EXPECT_EQ(set.physical[1].counters.reads, 5000000000u & 0xFFFFFFFFu);
    // Each drive with the counters of its own block device, in letter order.
    EXPECT_EQ(Names(set.logical), (std::vector<std::u16string>{u"C:", u"D:", u"G:", u"Z:"}));
    EXPECT_EQ(set.logical[0].counters.bytesWritten, 158000u * 512);  // sda2
    EXPECT_EQ(set.logical[1].counters.queue, 380'000u);              // dm-0
    EXPECT_EQ(set.logical[2].counters.writes, 5u);                   // sdb1, whose disk is not listed
    EXPECT_EQ(set.logical[3].counters.readQueue, 1'500'000u);        // sda1
    std::vector<std::int32_t> parents;
    for (const DiskInstance& logical : set.logical)
        parents.push_back(logical.parent);
    EXPECT_EQ(parents, (std::vector<std::int32_t>{0, 1, -1, 0}));

    // Nothing to read serves no disks.
    const DiskSet none = BuildLiveDiskSet("", "", {{'C', "/home/u/.wine/drive_c"}}, topology);
    EXPECT_TRUE(none.physical.empty() && none.logical.empty());
}

}  // namespace
