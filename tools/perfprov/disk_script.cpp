#include "tools/perfprov/disk_script.h"

#include <charconv>
#include <cstdint>
#include <limits>

namespace {

constexpr std::string_view kHeader = "qorvel-disks 1";
constexpr std::string_view kEnd = "end";

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

bool ParseNumber(std::string_view text, std::uint64_t max, std::uint64_t& value)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && value <= max;
}

// Stores one index=value pair; false for an unknown index or a value too large
// for the counter.
bool SetCounter(DiskCounters& counters, std::string_view key, std::string_view number)
{
    constexpr std::uint64_t k64 = std::numeric_limits<std::uint64_t>::max();
    constexpr std::uint64_t k32 = std::numeric_limits<std::uint32_t>::max();
    std::uint64_t value = 0;
    if (key == "1400")
        return ParseNumber(number, k64, counters.queue);
    if (key == "1402")
        return ParseNumber(number, k64, counters.readQueue);
    if (key == "1404")
        return ParseNumber(number, k64, counters.writeQueue);
    if (key == "226")
        return ParseNumber(number, k64, counters.bytesRead);
    if (key == "228")
        return ParseNumber(number, k64, counters.bytesWritten);
    std::uint32_t* narrow = key == "214"   ? &counters.reads
                            : key == "216" ? &counters.writes
                            : key == "198" ? &counters.inFlight
                                           : nullptr;
    if (!narrow || !ParseNumber(number, k32, value))
        return false;
    *narrow = static_cast<std::uint32_t>(value);
    return true;
}

bool ParseCounters(std::string_view text, DiskCounters& counters, std::string& fault)
{
    std::string seen;  // keys already given, separated by blanks
    while (true) {
        text = Trim(text);
        if (text.empty())
            return true;
        const std::size_t blank = text.find_first_of(" \t");
        const std::string_view pair = text.substr(0, blank);
        text = blank == std::string_view::npos ? std::string_view() : text.substr(blank);
        const std::size_t equals = pair.find('=');
        if (equals == std::string_view::npos) {
            fault = "expected index=value, found \"" + std::string(pair) + "\"";
            return false;
        }
        const std::string_view key = pair.substr(0, equals);
        std::string tagged(" ");
        tagged.append(key).append(" ");
        if (seen.find(tagged) != std::string::npos) {
            fault = "counter " + std::string(key) + " given twice";
            return false;
        }
        seen += tagged;
        if (!SetCounter(counters, key, pair.substr(equals + 1))) {
            fault = "bad counter \"" + std::string(pair) + "\"";
            return false;
        }
    }
}

bool ValidName(std::string_view name)
{
    if (name.empty() || name.size() > kMaxInstanceName)
        return false;
    for (char c : name) {
        if (c < 0x20 || c > 0x7E || c == '|')
            return false;
    }
    return true;
}

bool ParseInstanceLine(std::string_view line, DiskSet& set, std::string& fault)
{
    const std::size_t first = line.find('|');
    const std::size_t second = first == std::string_view::npos ? first : line.find('|', first + 1);
    if (second == std::string_view::npos) {
        fault = "expected \"object | name | counters\"";
        return false;
    }
    const std::string_view kind = Trim(line.substr(0, first));
    const std::string_view name = Trim(line.substr(first + 1, second - first - 1));
    std::vector<DiskInstance>* list = kind == "physical" ? &set.physical : kind == "logical" ? &set.logical : nullptr;
    if (!list) {
        fault = "unknown object \"" + std::string(kind) + "\"";
        return false;
    }
    if (!ValidName(name)) {
        fault = "bad instance name";
        return false;
    }
    if (list->size() >= kMaxScriptInstances) {
        fault = "too many instances";
        return false;
    }
    DiskInstance instance;
    instance.name.assign(name.begin(), name.end());
    if (!ParseCounters(line.substr(second + 1), instance.counters, fault))
        return false;
    list->push_back(std::move(instance));
    return true;
}

}  // namespace

bool ParseDiskScript(std::string_view text, DiskSet& set, std::string* error)
{
    set = {};
    std::string fault;
    std::size_t lineNumber = 0;
    bool headerSeen = false;
    bool endSeen = false;
    if (text.size() > kMaxScriptBytes)
        fault = "file too large";
    while (fault.empty() && !text.empty()) {
        const std::size_t newline = text.find('\n');
        const std::string_view line = Trim(text.substr(0, newline));
        text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
        ++lineNumber;
        if (line.empty() || line.front() == '#')
            continue;
        if (endSeen) {
            fault = "text after \"end\"";
        } else if (!headerSeen) {
            if (line != kHeader)
                fault = "expected \"qorvel-disks 1\"";
            headerSeen = true;
        } else if (line == kEnd) {
            endSeen = true;
        } else {
            ParseInstanceLine(line, set, fault);
        }
    }
    if (fault.empty() && !endSeen)
        fault = headerSeen ? "no \"end\" line (file cut short?)" : "empty file";
    if (fault.empty()) {
        LinkParentsByName(set);
        return true;
    }
    set = {};
    if (error)
        *error = "line " + std::to_string(lineNumber) + ": " + fault;
    return false;
}

std::string FormatDiskScript(const DiskSet& set)
{
    std::string text(kHeader);
    text += '\n';
    auto put = [&](const char* kind, const DiskInstance& instance) {
        const DiskCounters& c = instance.counters;
        text += kind;
        text += " | ";
        for (char16_t unit : instance.name)
            text += static_cast<char>(unit);
        text += " | 1400=" + std::to_string(c.queue) + " 1402=" + std::to_string(c.readQueue) +
                " 1404=" + std::to_string(c.writeQueue) + " 214=" + std::to_string(c.reads) +
                " 216=" + std::to_string(c.writes) + " 226=" + std::to_string(c.bytesRead) +
                " 228=" + std::to_string(c.bytesWritten) + " 198=" + std::to_string(c.inFlight) + "\n";
    };
    for (const DiskInstance& instance : set.physical)
        put("physical", instance);
    for (const DiskInstance& instance : set.logical)
        put("logical", instance);
    text += kEnd;
    text += '\n';
    return text;
}
