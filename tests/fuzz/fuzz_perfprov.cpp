// libFuzzer target: the disk-counter provider's text parsers over any bytes —
// the script format, /proc/diskstats and /proc/self/mountinfo — and the
// objects built from whatever they accept. A script that is accepted must
// write back to the same disks, and its objects must read back whole.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "sources/perf_layout.h"
#include "sources/perf_walk.h"
#include "tools/perfprov/block_placement.h"
#include "tools/perfprov/disk_objects.h"
#include "tools/perfprov/disk_script.h"
#include "tools/perfprov/linux_disks.h"

namespace {

class AnyTopology final : public BlockTopology {
public:
    explicit AnyTopology(std::string_view seed) : seed_(seed) {}
    bool IsWholeDevice(const std::string& name) override { return Has(name); }
    bool HasPartition(const std::string& disk, const std::string& partition) override
    {
        return Has(disk) && !Has(partition);
    }
    std::vector<std::string> Slaves(const std::string& name) override
    {
        if (name.size() > 1 && Has(name.substr(1)))
            return {name.substr(1)};
        return {};
    }

private:
    bool Has(const std::string& name) const { return !name.empty() && seed_.find(name.back()) != std::string_view::npos; }
    std::string_view seed_;
};

bool Same(const DiskSet& a, const DiskSet& b)
{
    auto same = [](const std::vector<DiskInstance>& x, const std::vector<DiskInstance>& y) {
        if (x.size() != y.size())
            return false;
        for (std::size_t i = 0; i < x.size(); ++i) {
            if (x[i].name != y[i].name || x[i].counters != y[i].counters)
                return false;
        }
        return true;
    };
    return same(a.physical, b.physical) && same(a.logical, b.logical);
}

void CheckObjects(const DiskSet& set)
{
    using namespace perflayout;
    std::uint32_t count = 0;
    const std::vector<std::uint8_t> objects = BuildDiskObjects(set, {true, true}, {1, 1}, &count);
    std::vector<std::uint8_t> bytes(kBlockSize, 0);
    std::memcpy(bytes.data(), u"PERF", 8);
    const std::uint32_t one = 1;
    std::memcpy(&bytes[kBlockLittleEndian], &one, 4);
    const std::uint32_t header = kBlockSize;
    const std::uint32_t total = static_cast<std::uint32_t>(kBlockSize + objects.size());
    std::memcpy(&bytes[kBlockHeaderLength], &header, 4);
    std::memcpy(&bytes[kBlockTotalByteLength], &total, 4);
    std::memcpy(&bytes[kBlockNumObjectTypes], &count, 4);
    bytes.insert(bytes.end(), objects.begin(), objects.end());
    const perfwalk::Snapshot snapshot{bytes.data(), bytes.size()};
    std::vector<std::wstring> names;
    const std::int32_t physical = perfwalk::InstanceNames(snapshot, kPhysicalDiskObject, names);
    const std::int32_t logical = perfwalk::InstanceNames(snapshot, kLogicalDiskObject, names);
    if (physical < static_cast<std::int32_t>(set.physical.size()) ||
        logical < static_cast<std::int32_t>(set.logical.size()) ||
        names.size() != static_cast<std::size_t>(physical) + static_cast<std::size_t>(logical))
        __builtin_trap();

    // As Wine calls the first provider (TotalByteLength = HeaderLength, the
    // pointer 88 bytes too far, the size counted from HeaderLength): the room
    // found ends exactly at the end of the caller's buffer.
    std::vector<std::uint8_t> caller(bytes.begin(), bytes.begin() + kBlockSize);
    std::memcpy(&caller[kBlockTotalByteLength], &header, 4);
    caller.resize(2 * kBlockSize + objects.size() / 2);
    const Placement placement =
        PlaceObjects(caller.data() + 2 * kBlockSize, caller.size() - kBlockSize, 2 * kBlockSize);
    if (!placement.blockFound || placement.start != caller.data() + kBlockSize ||
        placement.start + placement.room != caller.data() + caller.size())
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    DiskSet set;
    if (ParseDiskScript(text, set)) {
        DiskSet again;
        if (!ParseDiskScript(FormatDiskScript(set), again) || !Same(set, again))
            __builtin_trap();
        CheckObjects(set);
    }
    const std::size_t half = size / 2;
    const std::string_view first(text.data(), half);
    const std::string_view second(text.data() + half, size - half);
    AnyTopology topology(second.substr(0, 8));
    const DiskSet live = BuildLiveDiskSet(first, second, {{'C', "/a/b"}, {'Z', "/"}}, topology);
    CheckObjects(live);
    return 0;
}
