#include "platform/eventstore/IcsText.hpp"

#include <algorithm>
#include <cctype>

namespace tidemark::ics {

std::vector<std::string> contentLines(std::string_view bytes)
{
    if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF
        && static_cast<unsigned char>(bytes[1]) == 0xBB
        && static_cast<unsigned char>(bytes[2]) == 0xBF)
        bytes.remove_prefix(3);

    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = bytes.size();
        std::string_view line = bytes.substr(pos, end - pos);
        pos = end;
        if (pos < bytes.size()) {
            if (bytes[pos] == '\r' && pos + 1 < bytes.size() && bytes[pos + 1] == '\n')
                pos += 2;
            else
                pos += 1;
        }
        if (!line.empty() && (line.front() == ' ' || line.front() == '\t') && !lines.empty()) {
            lines.back().append(line.substr(1));
            continue;
        }
        if (line.empty())
            continue;
        lines.emplace_back(line);
    }
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

std::string serialize(const std::vector<std::string>& lines)
{
    constexpr std::size_t limit = 75;
    std::string out;
    for (const std::string& line : lines) {
        std::size_t pos = 0;
        std::size_t room = limit;
        while (line.size() - pos > room) {
            std::size_t cut = pos + room;
            // Back up to the first byte of a UTF-8 character.
            while (cut > pos && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
                --cut;
            if (cut == pos)
                cut = pos + room;
            out.append(line, pos, cut - pos);
            out.append("\r\n ");
            pos = cut;
            room = limit - 1;
        }
        out.append(line, pos, std::string::npos);
        out.append("\r\n");
    }
    return out;
}

} // namespace tidemark::ics
