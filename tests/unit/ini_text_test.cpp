// The settings file's text: parsing bytes and formatting them back. Also built
// natively with the sanitizers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/ini_text.h"

namespace {

using initext::Format;
using initext::Parse;
using initext::Section;

struct Pair {
    std::wstring key, value;
    bool operator==(const Pair&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Pair& pair)
{
    return out << testing::PrintToString(pair.key) << "=" << testing::PrintToString(pair.value);
}

std::vector<Pair> Pairs(const Section& section)
{
    EXPECT_EQ(section.keys.size(), section.values.size());
    std::vector<Pair> pairs;
    for (std::size_t i = 0; i < section.keys.size(); ++i)
        pairs.push_back({section.keys[i], section.values[i]});
    return pairs;
}

std::string Line(char c, std::size_t length)
{
    return std::string(length, c);
}

TEST(IniTextParse, SplitsLinesAtCrLfAndLoneLfAndKeepsEverythingElse)
{
    const auto sections = Parse("k=1\r\n[A]\nx= 2 \r\r\nOpacity = 5\nnoequals\na=b=c\n=dropped\n;comment\r\n"
                                "lone\rcr\nlast=line");
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(sections[0].name, L"");
    EXPECT_EQ(Pairs(sections[0]), (std::vector<Pair>{{L"k", L"1"}}));
    EXPECT_EQ(sections[1].name, L"A");
    EXPECT_EQ(Pairs(sections[1]),
              (std::vector<Pair>{{L"x", L" 2 \r"}, {L"Opacity ", L" 5"}, {L"noequals", L""}, {L"a", L"b=c"},
                                 {L";comment", L""}, {L"lone\rcr", L""}, {L"last", L"line"}}));
}

TEST(IniTextParse, HeadersNameSectionsOnlyWhenAKeyFollows)
{
    const auto sections = Parse("[ spaced ]\nk=v\n[empty]\n[]\nu=1\n[\n]\n[x]y\n");
    ASSERT_EQ(sections.size(), 4u);
    EXPECT_EQ(sections[0].name, L"");
    EXPECT_TRUE(sections[0].keys.empty());
    EXPECT_EQ(sections[1].name, L" spaced ");
    EXPECT_EQ(sections[2].name, L"");  // [empty] received no key
    EXPECT_TRUE(sections[2].keys.empty());
    EXPECT_EQ(sections[3].name, L"");  // []
    EXPECT_EQ(Pairs(sections[3]),
              (std::vector<Pair>{{L"u", L"1"}, {L"[", L""}, {L"]", L""}, {L"[x]y", L""}}));
}

TEST(IniTextParse, BytesAreLatin1Characters)
{
    const auto sections = Parse(std::string("N\xE4me=\xFF\x80", 7) + std::string("\0z", 2));
    ASSERT_EQ(sections[0].keys.size(), 1u);
    EXPECT_EQ(sections[0].keys[0], L"N\u00e4me");
    EXPECT_EQ(sections[0].values[0], std::wstring(L"\u00ff\u0080\0z", 4));
}

TEST(IniTextParse, ReadsAtMostAThousandLinesEmptyOnesAndHeadersIncluded)
{
    std::string text = "\n[S]\n";
    for (int i = 3; i <= 1200; ++i)
        text += "k" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    const auto sections = Parse(text);
    ASSERT_EQ(sections.size(), 2u);
    ASSERT_EQ(sections[1].keys.size(), 998u);
    EXPECT_EQ(sections[1].keys.back(), L"k1000");
}

TEST(IniTextParse, ALineOf1024CharactersEndsTheReading)
{
    const std::string ok = "a=" + Line('b', 1021);      // 1023 characters
    const std::string tooLong = "c=" + Line('d', 1022); // 1024 characters
    auto sections = Parse(ok + "\r\n" + tooLong + "\r\nafter=1\r\n");
    ASSERT_EQ(sections[0].keys.size(), 1u);
    EXPECT_EQ(sections[0].values[0].size(), 1021u);

    sections = Parse(ok);  // the last line, without line end
    EXPECT_EQ(sections[0].keys.size(), 1u);
    sections = Parse(ok + "\r");  // a CR not followed by LF is a character of the line
    EXPECT_TRUE(sections[0].keys.empty());
}

TEST(IniTextParse, AnIncompleteReadLeavesOutTheUnfinishedLastLine)
{
    auto sections = Parse("a=1\nb=2", false);
    EXPECT_EQ(Pairs(sections[0]), (std::vector<Pair>{{L"a", L"1"}}));
    sections = Parse("a=1\nb=2\n", false);
    EXPECT_EQ(Pairs(sections[0]), (std::vector<Pair>{{L"a", L"1"}, {L"b", L"2"}}));
    sections = Parse("", true);
    ASSERT_EQ(sections.size(), 1u);
    EXPECT_TRUE(sections[0].keys.empty());
}

TEST(IniTextFormat, WritesTheLayoutByteForByte)
{
    std::vector<Section> sections{
        {L"", {L"top"}, {L"1"}},
        {L"General", {L"Class", L"version"}, {L"7", L"1.2.4"}},
        {L"Nothing", {}, {}},
        {L"", {L"merged"}, {L"x"}},
        {L" Appearance", {L"", L";c"}, {L"value only", L""}},
    };
    EXPECT_EQ(Format(sections), "top=1\r\n"
                                "\r\n[General]\r\nClass=7\r\nversion=1.2.4\r\n"
                                "merged=x\r\n"
                                "\r\n[ Appearance]\r\nvalue only\r\n;c=\r\n");
    EXPECT_EQ(Format({{L"", {}, {}}}), "");
}

TEST(IniTextFormat, CharactersAboveFFAreWrittenAsQuestionMarks)
{
    std::vector<Section> sections{{L"S\u0100", {L"k\u00e9"}, {std::wstring(L"\u00ff\u20ac\0x", 4)}}};
    EXPECT_EQ(Format(sections), std::string("\r\n[S?]\r\nk\xE9=\xFF?", 13) + std::string("\0x\r\n", 4));
}

TEST(IniTextFormat, OverlongLinesAndNamesAreCut)
{
    const std::wstring name(1030, L'n');
    const std::wstring longValue(1100, L'v');
    std::vector<Section> sections{{name,
                                   {L"k", L"[" + std::wstring(1020, L'a') + L"]", L"short"},
                                   {longValue, L"", L"1"}}};
    const std::string expected = "\r\n[" + Line('n', 1019) + "]\r\n" + "k=" + Line('v', 1020) + "\r\n" +
                                 // "[aaa...]=" cut to 1022 would read back as a header: left out
                                 "short=1\r\n";
    EXPECT_EQ(Format(sections), expected);
}

TEST(IniTextFormat, WhatIsFormattedParsesBackToTheSameBytes)
{
    const std::string file = "k=1\r\n[A]\r\nx=2\r\n[A]\r\nx=3\r\n;only\r\n=gone\r\n[empty]\r\n[B]\r\ny\r\n[]\r\nz=4\r\n";
    const std::string once = Format(Parse(file));
    EXPECT_EQ(once, "k=1\r\n\r\n[A]\r\nx=2\r\n\r\n[A]\r\nx=3\r\n;only=\r\n\r\n[B]\r\ny=\r\nz=4\r\n");
    EXPECT_EQ(Format(Parse(once)), once);
}

}  // namespace
