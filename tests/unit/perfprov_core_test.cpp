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
    const char* text =
        "# a test machine\r\n"
        "qorvel-disks 1\r\n"
        "\r\n"
        "physical | 0 C: | 1400=5000000000 1402=1000 1404=4000 214=10 216=40 226=40960 228=163840 198=2\r\n"
        "  physical|1 D: E:|\r\n"
        "logical  | C:   | 1404=18446744073709551615 216=4294967295\r\n"
        "# comment between lines\n"
        "logical | HarddiskVolume1 |\n"
        "end\n"
        "\n";
    DiskSet set;
    std::string error;
    ASSERT_TRUE(ParseDiskScript(text, set, &error)) << error;
    EXPECT_EQ(Names(set.physical), (std::vector<std::u16string>{u"0 C:", u"1 D: E:"}));
    EXPECT_EQ(Names(set.logical), (std::vector<std::u16string>{u"C:", u"HarddiskVolume1"}));
    DiskCounters first;
    first.queue = 5000000000;
    first.readQueue = 1000;
    first.writeQueue = 4000;
    first.reads = 10;
    first.writes = 40;
    first.bytesRead = 40960;
    first.bytesWritten = 163840;
    first.inFlight = 2;
    EXPECT_EQ(set.physical[0].counters, first);
    EXPECT_EQ(set.physical[1].counters, DiskCounters{});
    EXPECT_EQ(set.logical[0].counters.writeQueue, 18446744073709551615ull);
    EXPECT_EQ(set.logical[0].counters.writes, 4294967295u);
    // Logical disks are linked to the physical disk that lists them.
    EXPECT_EQ(set.logical[0].parent, 0);
    EXPECT_EQ(set.logical[1].parent, -1);
}

TEST(DiskScript, RoundTripsCountersBeyond32Bits)
{
    DiskSet set;
    DiskCounters c;
    c.queue = 0x0123'4567'89AB'CDEFull;
    c.readQueue = 0x1'0000'0000ull;
    c.writeQueue = ~0ull;
    c.reads = 0xFFFF'FFFFu;
    c.writes = 7;
    c.bytesRead = 5'000'000'000'000ull;
    c.bytesWritten = 0x8000'0000'0000'0000ull;
    c.inFlight = 3;
    set.physical.push_back({u"0 C:", c, -1});
    set.logical.push_back({u"C:", c, 0});
    set.logical.push_back({u"_Total", {}, -1});
    DiskSet back;
    ASSERT_TRUE(ParseDiskScript(FormatDiskScript(set), back));
    ASSERT_EQ(back.physical.size(), 1u);
    ASSERT_EQ(back.logical.size(), 2u);
    EXPECT_EQ(back.physical[0].counters, c);
    EXPECT_EQ(back.logical[0].counters, c);
    EXPECT_EQ(back.logical[1].name, u"_Total");
}

TEST(DiskScript, ADamagedScriptServesNothing)
{
    const std::string good = "qorvel-disks 1\nphysical | 0 C: | 1400=1\n";
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
    };
    for (const auto& [text, fault] : damaged) {
        DiskSet set;
        set.physical.push_back({u"stale", {}, -1});
        std::string error;
        EXPECT_FALSE(ParseDiskScript(text, set, &error)) << text;
        EXPECT_NE(error.find(fault), std::string::npos) << "script: " << text << "\nerror: " << error;
        EXPECT_TRUE(set.physical.empty() && set.logical.empty()) << text;
    }
}

TEST(DiskScript, InstancesAreBounded)
{
    std::string text = "qorvel-disks 1\n";
    for (std::size_t i = 0; i <= kMaxScriptInstances; ++i)
        text += "logical | V" + std::to_string(i) + " |\n";
    text += "end\n";
    DiskSet set;
    std::string error;
    EXPECT_FALSE(ParseDiskScript(text, set, &error));
    EXPECT_NE(error.find("too many instances"), std::string::npos) << error;
}

// ---- The objects ----

TEST(DiskObjects, AnswersTheObjectsAQueryNames)
{
    struct Case {
        std::u16string query;
        bool physical, logical;
    };
    const Case cases[] = {
        {u"", true, true},          {u"Global", true, true}, {u"global", true, true},
        {u"234 236", true, true},   {u"236", false, true},   {u"2 4 234", true, false},
        {u"Costly", false, false},  {u"Foreign x", false, false}, {u"238 2340", false, false},
    };
    for (const Case& c : cases) {
        const ObjectRequest request = ParseQuery(c.query);
        EXPECT_EQ(request.physical, c.physical) << std::string(c.query.begin(), c.query.end());
        EXPECT_EQ(request.logical, c.logical) << std::string(c.query.begin(), c.query.end());
    }
}

// The built objects behind a block header, as the query answers them.
std::vector<std::uint8_t> WithBlock(const std::vector<std::uint8_t>& objects, std::uint32_t count)
{
    perftest::Description empty;
    empty.perfTime100nSec = 1234;
    std::vector<std::uint8_t> bytes = perftest::Build(empty);
    bytes.insert(bytes.end(), objects.begin(), objects.end());
    perftest::Put32(bytes, kBlockTotalByteLength, static_cast<std::uint32_t>(bytes.size()));
    perftest::Put32(bytes, kBlockNumObjectTypes, count);
    return bytes;
}

DiskSet TwoDisks()
{
    DiskSet set;
    DiskCounters c0;
    c0.queue = 0x1'0000'0001ull;
    c0.readQueue = 600;
    c0.writeQueue = 0x2'0000'0000ull;
    c0.reads = 5;
    c0.writes = 9;
    c0.bytesRead = 0x3'0000'0000ull;
    c0.bytesWritten = 8192;
    DiskCounters c1;
    c1.queue = 50;
    c1.reads = 0xFFFF'FFFFu;
    c1.bytesRead = 10;
    set.physical = {{u"0 C:", c0, -1}, {u"1 D: E:", c1, -1}};
    set.logical = {{u"C:", c0, -1}, {u"HarddiskVolume1", c1, -1}, {u"E:", c1, -1}};
    LinkParentsByName(set);
    return set;
}

TEST(DiskObjects, LaysOutWhatTheReaderFinds)
{
    std::uint32_t count = 0;
    const std::vector<std::uint8_t> objects = BuildDiskObjects(TwoDisks(), {true, true}, {77, 1000}, &count);
    ASSERT_EQ(count, 2u);
    const std::vector<std::uint8_t> bytes = WithBlock(objects, count);
    const perfwalk::Snapshot s{bytes.data(), bytes.size()};

    std::vector<std::wstring> names;
    EXPECT_EQ(perfwalk::InstanceNames(s, kPhysicalDiskObject, names), 3);
    EXPECT_EQ(perfwalk::InstanceNames(s, kLogicalDiskObject, names), 4);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"0 C:", L"1 D: E:", L"_Total", L"C:", L"HarddiskVolume1", L"E:",
                                                 L"_Total"}));

    auto value = [&](std::uint32_t object, const wchar_t* instance, std::uint32_t counter, std::uint32_t type) {
        return perfwalk::CounterValue(s, object, instance, counter, type);
    };
    EXPECT_EQ(value(kPhysicalDiskObject, L"0 ", kAvgDiskWriteQueueLength, kPerfCounter100nsQueueLen),
              0x2'0000'0000ull);
    EXPECT_EQ(value(kPhysicalDiskObject, L"0 ", kDiskWritesPerSec, kPerfCounterCounter), 9u);
    EXPECT_EQ(value(kPhysicalDiskObject, L"0 ", kAvgDiskBytesPerRead, kPerfAverageBulk), 0x3'0000'0000ull);
    // Each average is followed by its base: the count of the requests.
    EXPECT_EQ(value(kPhysicalDiskObject, L"0 ", kAvgDiskBytesPerRead, kPerfAverageBase), 5u);
    EXPECT_EQ(value(kPhysicalDiskObject, L"0 ", kAvgDiskBytesPerWrite, kPerfAverageBase), 9u);
    EXPECT_EQ(value(kLogicalDiskObject, L"E:", kAvgDiskQueueLength, kPerfCounter100nsQueueLen), 50u);
    // _Total sums each counter; 32-bit counters wrap.
    EXPECT_EQ(value(kPhysicalDiskObject, L"_Total", kAvgDiskQueueLength, kPerfCounter100nsQueueLen),
              0x1'0000'0033ull);
    EXPECT_EQ(value(kPhysicalDiskObject, L"_Total", kDiskReadsPerSec, kPerfCounterCounter), 4u);
    EXPECT_EQ(value(kLogicalDiskObject, L"_Total", kAvgDiskBytesPerRead, kPerfAverageBulk),
              0x3'0000'0000ull + 20);
}

TEST(DiskObjects, RecordsAreAlignedAndNamesTerminated)
{
    std::uint32_t count = 0;
    const std::vector<std::uint8_t> objects = BuildDiskObjects(TwoDisks(), {false, true}, {77, 1000}, &count);
    ASSERT_EQ(count, 1u);
    auto get32 = [&](std::size_t at) { return perftest::Get32(objects, at); };
    EXPECT_EQ(get32(kObjectTotalByteLength), objects.size());
    EXPECT_EQ(get32(kObjectNameTitleIndex), kLogicalDiskObject);
    EXPECT_EQ(get32(kObjectNumInstances), 4u);
    const std::uint32_t numCounters = get32(kObjectNumCounters);
    std::set<std::uint32_t> sizes;
    std::vector<std::uint32_t> offsets;
    for (std::uint32_t i = 0; i < numCounters; ++i) {
        const std::size_t def = kObjectSize + i * kCounterDefinitionSize;
        const std::uint32_t size = get32(def + kCounterSize);
        sizes.insert(size);
        offsets.push_back(get32(def + kCounterOffset));
        EXPECT_EQ(get32(def + kCounterOffset) % size, 0u) << "counter " << i << " aligned to its size";
    }
    EXPECT_EQ(sizes, (std::set<std::uint32_t>{4, 8}));
    EXPECT_GT(numCounters, 7u) << "neighbours beside the counters the program reads";

    std::size_t at = get32(kObjectDefinitionLength);
    const std::vector<std::u16string> expected = {u"C:", u"HarddiskVolume1", u"E:", u"_Total"};
    const std::int32_t parents[] = {0, -1, 1, -1};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(at % 8, 0u) << "instance " << i;
        const std::uint32_t nameOffset = get32(at + kInstanceNameOffset);
        const std::uint32_t nameLength = get32(at + kInstanceNameLength);
        EXPECT_EQ(nameLength, 2 * (expected[i].size() + 1));
        std::u16string name(expected[i].size() + 1, u'?');
        std::memcpy(name.data(), &objects[at + nameOffset], nameLength);
        EXPECT_EQ(name, expected[i] + u'\0');
        EXPECT_EQ(get32(at + kInstanceParentObjectTitleIndex), parents[i] < 0 ? 0u : kPhysicalDiskObject);
        EXPECT_EQ(get32(at + kInstanceParentObjectInstance), parents[i] < 0 ? 0u : std::uint32_t(parents[i]));
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

TEST(DiskObjects, AnInstanceNamedTotalReplacesTheSum)
{
    DiskSet set = TwoDisks();
    set.physical.insert(set.physical.begin(), {u"_Total", {}, -1});
    set.physical[0].counters.queue = 9;
    std::uint32_t count = 0;
    const std::vector<std::uint8_t> objects = BuildDiskObjects(set, {true, false}, {}, &count);
    const std::vector<std::uint8_t> bytes = WithBlock(objects, count);
    const perfwalk::Snapshot s{bytes.data(), bytes.size()};
    std::vector<std::wstring> names;
    EXPECT_EQ(perfwalk::InstanceNames(s, kPhysicalDiskObject, names), 3);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"_Total", L"0 C:", L"1 D: E:"}));
    EXPECT_EQ(perfwalk::CounterValue(s, kPhysicalDiskObject, L"_Total", kAvgDiskQueueLength, kPerfCounter100nsQueueLen),
              9u);
}

// ---- Where the objects go ----

// A caller's buffer: a block header with the given lengths at offset 64 (so
// there are bytes in front of it), the rest filled with 0xCD.
struct CallerBuffer {
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(4096, 0xCD);
    std::uint8_t* block = bytes.data() + 64;

    CallerBuffer(std::uint32_t header, std::uint32_t total)
    {
        perftest::Description empty;
        std::vector<std::uint8_t> head = perftest::Build(empty);
        perftest::Put32(head, kBlockHeaderLength, header);
        perftest::Put32(head, kBlockTotalByteLength, total);
        std::memcpy(block, head.data(), kBlockSize);
    }
    std::size_t Before(const std::uint8_t* p) const { return static_cast<std::size_t>(p - bytes.data()); }
};

// The calls Wine makes and calls that follow the layout are checked against
// the provider itself (perfprov_test.cpp) and by the fuzz target.
TEST(BlockPlacement, WithoutAMatchingBlockThePointerIsUsedAsGiven)
{
    {
        CallerBuffer caller(96, 96);
        std::uint8_t* given = caller.block + 96 + 40;  // neither at the end of the block nor 88 past it
        const Placement placement = PlaceObjects(given, 500, caller.Before(given));
        EXPECT_FALSE(placement.blockFound);
        EXPECT_EQ(placement.start, given);
        EXPECT_EQ(placement.room, 500u);
    }
    {
        // The block lies further back than the readable bytes reach.
        CallerBuffer caller(96, 96);
        std::uint8_t* given = caller.block + kBlockSize + 96;
        const Placement placement = PlaceObjects(given, 500, kBlockSize + 95);
        EXPECT_FALSE(placement.blockFound);
        EXPECT_EQ(placement.start, given);
    }
    {
        // "PERF" in the data in front of the pointer, but no block.
        std::vector<std::uint8_t> bytes(1024, 0);
        const char16_t decoy[] = u"PERFPERF";
        std::memcpy(bytes.data() + 200, decoy, 16);
        const Placement placement = PlaceObjects(bytes.data() + 512, 100, 512);
        EXPECT_FALSE(placement.blockFound);
        EXPECT_EQ(placement.start, bytes.data() + 512);
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
        const auto found = slaves.find(name);
        return found == slaves.end() ? std::vector<std::string>() : found->second;
    }

    std::set<std::string> whole = {"loop0", "sda", "nvme0n1", "dm-0", "zram0", "sdc"};
    std::set<std::string> partitions = {"sda/sda1", "sda/sda2", "nvme0n1/nvme0n1p1"};
    std::map<std::string, std::vector<std::string>> slaves = {{"dm-0", {"nvme0n1p1"}}};
};

TEST(LinuxDisks, ReadsDiskStatsInBothForms)
{
    const std::vector<BlockStats> stats = ParseDiskStats(kDiskStats);
    ASSERT_EQ(stats.size(), 9u);  // the garbage and the three-number line are passed over
    EXPECT_EQ(stats[1].name, "sda");
    EXPECT_EQ(stats[1].major, 8u);
    EXPECT_EQ(stats[1].reads, 1000u);
    EXPECT_EQ(stats[1].sectorsRead, 80000u);
    EXPECT_EQ(stats[1].msReading, 1500u);
    EXPECT_EQ(stats[1].writes, 2000u);
    EXPECT_EQ(stats[1].sectorsWritten, 160000u);
    EXPECT_EQ(stats[1].msWriting, 2500u);
    EXPECT_EQ(stats[1].inProgress, 1u);
    EXPECT_EQ(stats[1].weightedMs, 4100u);
    EXPECT_EQ(stats[8].name, "sdb1");  // short form: reads, sectors read, writes, sectors written
    EXPECT_EQ(stats[8].reads, 3u);
    EXPECT_EQ(stats[8].sectorsRead, 4u);
    EXPECT_EQ(stats[8].writes, 5u);
    EXPECT_EQ(stats[8].sectorsWritten, 6u);

    const DiskCounters c = CountersFromStats(stats[1]);
    EXPECT_EQ(c.queue, 41'000'000u);
    EXPECT_EQ(c.readQueue, 15'000'000u);
    EXPECT_EQ(c.writeQueue, 25'000'000u);
    EXPECT_EQ(c.reads, 1000u);
    EXPECT_EQ(c.writes, 2000u);
    EXPECT_EQ(c.bytesRead, 80000u * 512);
    EXPECT_EQ(c.bytesWritten, 160000u * 512);
    EXPECT_EQ(c.inFlight, 1u);
    EXPECT_EQ(CountersFromStats(stats[4]).reads, 5000000000u & 0xFFFFFFFFu);  // wraps as on Windows
}

TEST(LinuxDisks, FindsTheMountThatHoldsAPath)
{
    const std::vector<MountEntry> mounts = ParseMountInfo(kMountInfo);
    ASSERT_EQ(mounts.size(), 7u);
    EXPECT_EQ(mounts[3].mountPoint, "/mnt/my data");
    EXPECT_EQ(mounts[3].source, "/dev/mapper/vg-data");
    EXPECT_EQ(mounts[2].source, "/dev/sda2");  // after optional fields
    auto at = [&](const char* path) { return FindMount(mounts, path)->mountPoint; };
    EXPECT_EQ(at("/home/u/.wine/drive_c"), "/home");
    EXPECT_EQ(at("/home"), "/home");
    EXPECT_EQ(at("/homework"), "/");
    EXPECT_EQ(at("/home/u/tmp/x"), "/home/u/tmp");
    EXPECT_EQ(at("/mnt/my data/wine"), "/mnt/my data");
    EXPECT_EQ(at("/"), "/");
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
    EXPECT_EQ(set.logical[0].parent, 0);
    EXPECT_EQ(set.logical[1].counters.queue, 380'000u);  // dm-0
    EXPECT_EQ(set.logical[1].parent, 1);
    EXPECT_EQ(set.logical[2].counters.writes, 5u);  // sdb1, whose disk is not listed
    EXPECT_EQ(set.logical[2].parent, -1);
    EXPECT_EQ(set.logical[3].counters.readQueue, 1'500'000u);  // sda1
    EXPECT_EQ(set.logical[3].parent, 0);
}

TEST(LinuxDisks, NothingToReadServesNoDisks)
{
    FakeTopology topology;
    const DiskSet set = BuildLiveDiskSet("", "", {{'C', "/home/u/.wine/drive_c"}}, topology);
    EXPECT_TRUE(set.physical.empty());
    EXPECT_TRUE(set.logical.empty());
}

}  // namespace
