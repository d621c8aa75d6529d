#pragma once
// The settings file's text: reading its bytes into sections, keys and values,
// and writing them back. No Windows headers: this also builds natively.
//
// The file is 8-bit text, one byte per character (characters 0 to 255).
// Reading: a leading UTF-8 byte-order mark (left by editors) is skipped; CR LF
// and a lone LF end a line; at most 1000 lines are read, and a line of more
// than 1023 characters ends the reading. A line whose first character is "["
// and whose last is "]" opens a section named by the text between them; any
// other non-empty line is a key, everything before its first "=", and a value,
// everything after it (empty when there is no "="). A line that begins with
// "=" is dropped. Nothing is trimmed.
//
// Writing: CR LF line ends; each section that holds keys and has a name is
// introduced by an empty line and its header; a section without keys writes
// nothing. A character above 255, which the file cannot hold, is written as "?".
// Text that would begin with the bytes of a UTF-8 byte-order mark is written
// after one, so that reading it back keeps those characters.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace initext {

constexpr std::size_t kMaxLines = 1000;         // lines read from a file
constexpr std::size_t kMaxLineChars = 1023;     // characters of a line read, before its end
constexpr std::size_t kMaxKeyLineChars = 1022;  // characters of a key line written
constexpr std::size_t kMaxNameChars = 1019;     // characters of a section name written

// The most bytes a byte-order mark and the first kMaxLines lines can take:
// reading more of a file changes nothing.
constexpr std::size_t kMaxUsefulBytes = 3 + kMaxLines * (kMaxLineChars + 2);

struct Section {
    std::wstring name;
    std::vector<std::wstring> keys;
    std::vector<std::wstring> values;  // values[i] belongs to keys[i]
};

// Parses the bytes of a file. Section 0 is always there: the unnamed section
// with the keys before the first header. A section gets its name only with its
// first key, so a section without keys has an empty name. When complete is
// false the bytes stop short of the file's end (a read failed part-way), and a
// last line without line end is left out.
std::vector<Section> Parse(std::string_view bytes, bool complete = true);

// The bytes of the file that holds the sections. A key line longer than
// kMaxKeyLineChars is cut to that length (and left out when the cut line would
// read back as a header); a name longer than kMaxNameChars is cut to it.
std::string Format(const std::vector<Section>& sections);

}  // namespace initext
