// libFuzzer target: the disk-counter provider's text parsers over any bytes
// (the script format, /proc/diskstats and /proc/self/mountinfo) and the objects
// built from whatever they accept. An accepted script writes back to the same
// disks, and every instance of its objects reads back through the walk.
#include <string>

#include "sources/perf_walk.h"
#include "tests/support/perf_snapshot.h"
#include "tools/perfprov/disk_objects.h"
#include "tools/perfprov/disk_script.h"
#include "tools/perfprov/linux_disks.h"

namespace {

// A topology answered from the input's own bytes.
struct AnyTopology final : BlockTopology {
    explicit AnyTopology(std::string_view seed) : seed_(seed) {}
    bool IsWholeDevice(const std::string& name) override { return Has(name); }
    bool HasPartition(const std::string& disk, const std::string& name) override { return Has(disk + name); }
    std::vector<std::string> Slaves(const std::string& name) override
    {
        return Has(name.substr(1)) ? std::vector<std::string>{name.substr(1)} : std::vector<std::string>{};
    }
    bool Has(const std::string& name) const { return !name.empty() && seed_.find(name.back()) != seed_.npos; }
    std::string_view seed_;
};

void ReadBack(const DiskSet& set)
{
    using namespace perflayout;
    const std::vector<std::uint8_t> bytes = perftest::Snapshot(set);
    std::vector<std::wstring> names;
    const perfwalk::Snapshot snapshot{bytes.data(), bytes.size()};
    const std::int32_t physical = perfwalk::InstanceNames(snapshot, kPhysicalDiskObject, names);
    const std::int32_t logical = perfwalk::InstanceNames(snapshot, kLogicalDiskObject, names);
    if (physical < std::ssize(set.physical) || logical < std::ssize(set.logical) ||
        std::ssize(names) != physical + logical)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    DiskSet set, again;
    if (ParseDiskScript(text, set)) {
        if (!ParseDiskScript(FormatDiskScript(set), again) || FormatDiskScript(again) != FormatDiskScript(set))
            __builtin_trap();
        ReadBack(set);
    }
    const std::string_view first(text.data(), size / 2), second(text.data() + size / 2, size - size / 2);
    AnyTopology topology(second.substr(0, 8));
    ReadBack(BuildLiveDiskSet(first, second, {{'C', "/a/b"}, {'Z', "/"}}, topology));
    return 0;
}
