#include "settings/ini_text.h"

#include <cstdint>

namespace initext {

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

bool IsHeader(std::wstring_view line)
{
    return line.size() >= 2 && line.front() == L'[' && line.back() == L']';
}

std::wstring Widen(std::string_view bytes)
{
    std::wstring text(bytes.size(), L'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]));
    return text;
}

void AppendNarrow(std::string& out, std::wstring_view text)
{
    for (const wchar_t c : text) {
        const auto code = static_cast<std::uint32_t>(c);
        out.push_back(code <= 0xFF ? static_cast<char>(static_cast<unsigned char>(code)) : '?');
    }
}

}  // namespace

std::vector<Section> Parse(std::string_view bytes, bool complete)
{
    std::vector<Section> sections(1);
    std::size_t current = 0;
    std::wstring currentName;

    // An editor's UTF-8 byte-order mark is no part of the first line.
    std::size_t pos = bytes.substr(0, 3) == kUtf8ByteOrderMark ? 3 : 0;
    for (std::size_t lines = 0; lines < kMaxLines && pos < bytes.size(); ++lines) {
        const std::size_t newline = bytes.find('\n', pos);
        std::size_t end = newline;
        std::size_t next = newline + 1;
        if (newline == std::string_view::npos) {
            if (!complete)
                break;
            end = next = bytes.size();
        } else if (end > pos && bytes[end - 1] == '\r') {
            --end;
        }
        if (end - pos > kMaxLineChars)
            break;
        const std::wstring line = Widen(bytes.substr(pos, end - pos));
        pos = next;

        if (line.empty())
            continue;
        if (IsHeader(line)) {
            sections.emplace_back();
            current = sections.size() - 1;
            currentName = line.substr(1, line.size() - 2);
            continue;
        }
        const std::size_t equals = line.find(L'=');
        if (equals == 0)
            continue;
        Section& section = sections[current];
        if (equals == std::wstring::npos) {
            section.keys.push_back(line);
            section.values.emplace_back();
        } else {
            section.keys.push_back(line.substr(0, equals));
            section.values.push_back(line.substr(equals + 1));
        }
        section.name = currentName;
    }
    return sections;
}

std::string Format(const std::vector<Section>& sections)
{
    std::string out;
    for (const Section& section : sections) {
        if (section.keys.empty())
            continue;
        if (!section.name.empty()) {
            out += "\r\n[";
            AppendNarrow(out, std::wstring_view(section.name).substr(0, kMaxNameChars));
            out += "]\r\n";
        }
        for (std::size_t i = 0; i < section.keys.size(); ++i) {
            std::wstring line = section.keys[i];
            if (!line.empty())
                line += L'=';
            if (i < section.values.size())
                line += section.values[i];
            if (line.size() > kMaxKeyLineChars) {
                line.resize(kMaxKeyLineChars);
                if (IsHeader(line))
                    continue;
            }
            AppendNarrow(out, line);
            out += "\r\n";
        }
    }
    // Text that begins with the bytes of a byte-order mark gets one in front,
    // so that reading it back keeps them.
    if (out.starts_with(kUtf8ByteOrderMark))
        out.insert(0, kUtf8ByteOrderMark);
    return out;
}

}  // namespace initext
