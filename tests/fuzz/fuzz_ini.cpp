// libFuzzer target: the settings file's text. Any bytes parse, complete or cut
// short; and for files of a few hundred lines, what is formatted parses back to
// the same bytes (formatting once settles the file).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/ini_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Copy into a buffer of exactly the input's size so any read past it is caught.
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    initext::Parse(bytes, false);
    const auto sections = initext::Parse(bytes, true);
    if (sections.empty() || !sections[0].name.empty())
        __builtin_trap();
    for (const auto& section : sections) {
        if (section.keys.size() != section.values.size())
            __builtin_trap();
    }

    const std::string once = initext::Format(sections);
    if (std::count(bytes.begin(), bytes.end(), '\n') > 300)
        return 0;
    const std::string twice = initext::Format(initext::Parse(once, true));
    if (twice != once)
        __builtin_trap();
    return 0;
}
