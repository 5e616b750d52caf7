#include "platform/eventstore/IcsText.hpp"

#include <algorithm>
#include <cctype>

namespace tidemark::ics {

Document readDocument(std::string_view bytes, bool keepBytes)
{
    Document document;
    std::size_t pos = 0;
    if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF
        && static_cast<unsigned char>(bytes[1]) == 0xBB
        && static_cast<unsigned char>(bytes[2]) == 0xBF) {
        document.head.assign(bytes.substr(0, 3));
        pos = 3;
    }
    bool newlineKnown = false;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = bytes.size();
        std::size_t next = end;
        if (next < bytes.size())
            next += (bytes[next] == '\r' && next + 1 < bytes.size() && bytes[next + 1] == '\n') ? 2
                                                                                                : 1;
        if (!newlineKnown && end < bytes.size()) {
            document.newline.assign(bytes.substr(end, next - end));
            newlineKnown = true;
        }
        const std::string_view line = bytes.substr(pos, end - pos);
        const std::string_view raw = keepBytes ? bytes.substr(pos, next - pos) : std::string_view();
        pos = next;
        if (line.empty()) {
            (document.lines.empty() ? document.head : document.lines.back().bytes).append(raw);
            continue;
        }
        if ((line.front() == ' ' || line.front() == '\t') && !document.lines.empty()) {
            document.lines.back().text.append(line.substr(1));
            document.lines.back().bytes.append(raw);
            continue;
        }
        document.lines.push_back(RawLine { std::string(line), std::string(raw) });
    }
    return document;
}

std::string serialize(const Document& document)
{
    std::size_t size = document.head.size();
    for (const RawLine& line : document.lines)
        size += line.bytes.size();
    std::string out;
    out.reserve(size);
    out += document.head;
    for (const RawLine& line : document.lines)
        out += line.bytes;
    return out;
}

std::vector<std::string> contentLines(std::string_view bytes)
{
    Document document = readDocument(bytes, false);
    std::vector<std::string> lines;
    lines.reserve(document.lines.size());
    for (RawLine& line : document.lines)
        lines.push_back(std::move(line.text));
    return lines;
}

std::string propertyName(std::string_view line)
{
    const std::size_t end = line.find_first_of(";:");
    std::string name(line.substr(0, end == std::string_view::npos ? line.size() : end));
    std::transform(name.begin(), name.end(), name.begin(),
        [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return name;
}

std::string_view propertyValue(std::string_view line)
{
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            return line.substr(i + 1);
    }
    return {};
}

namespace {
bool equalsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x))
            == std::toupper(static_cast<unsigned char>(y));
    });
}

bool isMarker(std::string_view line, std::string_view marker, std::string_view component)
{
    if (line.size() != marker.size() + 1 + component.size())
        return false;
    return equalsNoCase(line.substr(0, marker.size()), marker) && line[marker.size()] == ':'
        && equalsNoCase(line.substr(marker.size() + 1), component);
}
} // namespace

bool isBegin(std::string_view line, std::string_view component)
{
    return isMarker(line, "BEGIN", component);
}
bool isEnd(std::string_view line, std::string_view component)
{
    return isMarker(line, "END", component);
}

std::string foldedLine(std::string_view line, std::string_view newline)
{
    constexpr std::size_t limit = 75;
    std::string out;
    std::size_t pos = 0;
    std::size_t room = limit;
    while (line.size() - pos > room) {
        std::size_t cut = pos + room;
        // Back up to the first byte of a UTF-8 character.
        while (cut > pos && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
            --cut;
        if (cut == pos)
            cut = pos + room;
        out.append(line.substr(pos, cut - pos));
        out.append(newline);
        out.push_back(' ');
        pos = cut;
        room = limit - 1;
    }
    out.append(line.substr(pos));
    out.append(newline);
    return out;
}

std::string serialize(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& line : lines)
        out += foldedLine(line);
    return out;
}

} // namespace tidemark::ics
