// The settings file's text: bytes parsed into sections and formatted back. Also
// built natively with the sanitizers.
#include <gtest/gtest.h>

#include "settings/ini_text.h"

namespace {

using namespace std::string_literals;
using initext::Section;

// The parsed sections as "[name]\n" and "key=value\n" lines (characters 0 to 255).
std::string Dump(const std::vector<Section>& sections)
{
    std::wstring out;
    for (const Section& section : sections) {
        out += L"[" + section.name + L"]\n";
        for (std::size_t i = 0; i < section.keys.size(); ++i)
            out += section.keys[i] + L"=" + section.values.at(i) + L"\n";
    }
    return std::string(out.begin(), out.end());
}

TEST(IniText, ParsesLinesHeadersAndKeys)
{
    const std::string line1023 = "a=" + std::string(1021, 'b');
    const struct {
        std::string bytes;
        bool complete;
        std::string parsed;
    } cases[] = {
        // CR LF and lone LF end lines; nothing is trimmed; a line starting with "=" is dropped.
        {"k=1\r\n[A]\nx= 2 \r\r\nOpacity = 5\nnoequals\na=b=c\n=dropped\n;comment\r\nlone\rcr\nlast=line", true,
         "[]\nk=1\n[A]\nx= 2 \r\nOpacity = 5\nnoequals=\na=b=c\n;comment=\nlone\rcr=\nlast=line\n"},
        // A header names its section only when a key follows.
        {"[ spaced ]\nk=v\n[empty]\n[]\nu=1\n[\n]\n[x]y\n", true, "[]\n[ spaced ]\nk=v\n[]\n[]\nu=1\n[=\n]=\n[x]y=\n"},
        {"N\xE4me=\xFF\x80\0z"s, true, "[]\nN\xE4me=\xFF\x80\0z\n"s},  // bytes are Latin-1 characters
        // A line of 1024 characters ends the reading; the last line may lack its line end.
        {line1023 + "\r\nc=" + std::string(1022, 'd') + "\r\nafter=1\r\n", true, "[]\n" + line1023 + "\n"},
        {line1023, true, "[]\n" + line1023 + "\n"},
        {std::string(999, '\n') + "a=1\r\nb=2\n", true, "[]\na=1\n"},  // at most 1000 lines, empty ones included
        {line1023 + "\r", true, "[]\n"},  // a CR not followed by LF is a character of the line
        // An incomplete read leaves out an unfinished last line.
        {"a=1\nb=2", false, "[]\na=1\n"},
        {"a=1\nb=2\n", false, "[]\na=1\nb=2\n"},
        // An editor's UTF-8 byte-order mark before the first line is skipped, elsewhere kept.
        {"\xEF\xBB\xBF[General]\r\nClass=3\r\n\xEF\xBB\xBFk=\xEF\xBB\xBF\r\n", true,
         "[]\n[General]\nClass=3\n\xEF\xBB\xBFk=\xEF\xBB\xBF\n"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(Dump(initext::Parse(cases[i].bytes, cases[i].complete)), cases[i].parsed) << "case " << i;
}

TEST(IniText, FormatsTheLayoutByteForByte)
{
    const struct {
        std::vector<Section> sections;
        std::string bytes;
    } cases[] = {
        // An empty line before each named header; sections without keys write nothing.
        {{{L"", {L"top"}, {L"1"}},
          {L"General", {L"Class", L"version"}, {L"7", L"1.2.4"}},
          {L"Nothing", {}, {}},
          {L"", {L"merged"}, {L"x"}},
          {L" Appearance", {L"", L";c"}, {L"value only", L""}}},
         "top=1\r\n\r\n[General]\r\nClass=7\r\nversion=1.2.4\r\nmerged=x\r\n\r\n[ Appearance]\r\nvalue "
         "only\r\n;c=\r\n"},
        // Text that would begin with a byte-order mark is written after one.
        {{{L"", {L"\u00ef\u00bb\u00bfk"}, {L"1"}}}, "\xEF\xBB\xBF\xEF\xBB\xBFk=1\r\n"},
        // Characters above U+00FF are written as "?".
        {{{L"S\u0100", {L"k\u00e9"}, {L"\u00ff\u20ac\0x"s}}}, "\r\n[S?]\r\nk\xE9=\xFF?\0x\r\n"s},
        // Overlong key lines and names are cut; a cut line that would read as a header is left out.
        {{{std::wstring(1030, L'n'),
           {L"k", L"[" + std::wstring(1020, L'a') + L"]", L"short"},
           {std::wstring(1100, L'v'), L"", L"1"}}},
         "\r\n[" + std::string(1019, 'n') + "]\r\nk=" + std::string(1020, 'v') + "\r\nshort=1\r\n"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(initext::Format(cases[i].sections), cases[i].bytes) << "case " << i;
}

}  // namespace
