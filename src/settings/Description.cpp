#include "settings/Description.hpp"

#include "platform/logging/LogEntry.hpp"

#include <cstdio>

namespace tidemark {

namespace {

constexpr std::string_view titleMarker = "title: \"";

} // namespace

std::string redactReminderTitles(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    std::size_t position = 0;
    while (true) {
        auto found = text.find(titleMarker, position);
        if (found == std::string_view::npos)
            break;
        result.append(text.substr(position, found - position));
        result.append("title: ");
        result.append(hiddenTitle);
        // Skip to the closing quote, over escaped characters.
        std::size_t i = found + titleMarker.size();
        while (i < text.size() && text[i] != '"')
            i += text[i] == '\\' ? 2 : 1;
        position = std::min(i + 1, text.size());
    }
    result.append(text.substr(position));
    return result;
}

std::string quotedText(std::string_view text)
{
    std::string result = "\"";
    for (char c : text) {
        switch (c) {
        case '"':
            result += "\\\"";
            break;
        case '\\':
            result += "\\\\";
            break;
        case '\n':
            result += "\\n";
            break;
        case '\r':
            result += "\\r";
            break;
        case '\t':
            result += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u{%02x}", static_cast<unsigned char>(c));
                result += escaped;
            } else {
                result += c;
            }
        }
    }
    return result + "\"";
}

std::string describeDate(Date date)
{
    return iso8601String(date);
}

std::string describe(const DateComponents& c)
{
    auto part = [](const std::optional<int>& value, int width) {
        if (!value)
            return std::string(width, '?');
        std::string text = std::to_string(*value);
        return std::string(
                   text.size() < std::size_t(width) ? std::size_t(width) - text.size() : 0, '0')
            + text;
    };
    return part(c.year, 4) + "-" + part(c.month, 2) + "-" + part(c.day, 2) + " " + part(c.hour, 2)
        + ":" + part(c.minute, 2) + ":" + part(c.second, 2)
        + (c.timeZone ? " " + *c.timeZone : std::string());
}

std::string describe(const AnyReminder& r)
{
    return "AnyReminder(id: " + quotedText(r.id) + ", title: " + quotedText(r.title)
        + ", start: " + describeValue(r.startDateComponents)
        + ", due: " + describeValue(r.dueDateComponents) + ", listID: " + describeValue(r.listID)
        + ", completionDate: " + describeValue(r.completionDate) + ")";
}

std::string describe(const CreateReminder& r)
{
    return "CreateReminder(id: " + quotedText(r.id)
        + ", title: " + (r.title ? quotedText(*r.title) : std::string("nil")) + ", start: "
        + describeValue(r.startDateComponents) + ", due: " + describeValue(r.dueDateComponents)
        + ", listID: " + describeValue(r.listID) + ")";
}

std::string describe(const AnyList& list)
{
    return "AnyList(id: " + quotedText(list.id) + ", name: " + quotedText(list.title) + ")";
}

std::string describe(const AnySource& source)
{
    return "AnySource(id: " + quotedText(source.id) + ", name: " + quotedText(source.title)
        + ", lists: " + describeValue(source.lists) + ")";
}

std::string describe(const Error& error)
{
    return "Error(" + quotedText(error.description) + ")";
}

std::string describe(RemindersDataSource source)
{
    return rawValue(source);
}

} // namespace tidemark
