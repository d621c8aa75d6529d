// libFuzzer target: the settings file's text. Any bytes parse, complete or cut
// short; and for files of a few hundred lines, what is formatted parses back to
// the same bytes (formatting once settles the file).
#include <algorithm>
#include <cstdint>
#include <string>

#include "settings/ini_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);  // a read past it is caught
    initext::Parse(bytes, false);
    const auto sections = initext::Parse(bytes, true);
    if (sections.empty() || !sections[0].name.empty() ||
        std::any_of(sections.begin(), sections.end(), [](auto& s) { return s.keys.size() != s.values.size(); }))
        __builtin_trap();
    const std::string once = initext::Format(sections);
    if (std::count(bytes.begin(), bytes.end(), '\n') <= 300 && initext::Format(initext::Parse(once, true)) != once)
        __builtin_trap();
    return 0;
}
