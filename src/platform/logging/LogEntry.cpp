#include "platform/logging/LogEntry.hpp"

#include <array>
#include <charconv>
#include <ctime>

namespace tidemark {

namespace {

constexpr std::array<std::string_view, 5> levelNames { "debug", "info", "notice", "error",
    "fault" };

std::string sanitizedName(std::string_view name)
{
    std::string out(name);
    for (char& c : out) {
        if (c == '[' || c == ']' || c == '\n' || c == '\r')
            c = '_';
    }
    return out;
}

std::string escapedMessage(std::string_view message)
{
    std::string out;
    out.reserve(message.size());
    for (char c : message) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string unescapedMessage(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        char next = text[++i];
        out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return out;
}

// Exactly `digits` decimal digits: from_chars alone would take a sign as well, and read
// "-07" milliseconds as a moment before the one written.
bool readNumber(std::string_view& text, std::size_t digits, int& value)
{
    if (text.size() < digits)
        return false;
    for (std::size_t k = 0; k < digits; ++k) {
        if (text[k] < '0' || text[k] > '9')
            return false;
    }
    auto [end, error] = std::from_chars(text.data(), text.data() + digits, value);
    if (error != std::errc() || end != text.data() + digits)
        return false;
    text.remove_prefix(digits);
    return true;
}

bool expect(std::string_view& text, char c)
{
    if (text.empty() || text.front() != c)
        return false;
    text.remove_prefix(1);
    return true;
}

// Takes "[value]" and the blank after it.
std::optional<std::string_view> bracketed(std::string_view& text, std::string_view closing)
{
    if (!expect(text, '['))
        return std::nullopt;
    auto end = text.find(closing);
    if (end == std::string_view::npos)
        return std::nullopt;
    auto value = text.substr(0, end);
    text.remove_prefix(end + closing.size());
    return value;
}

} // namespace

std::string_view logLevelName(LogLevel level)
{
    return levelNames[static_cast<std::size_t>(level)];
}

std::optional<LogLevel> logLevelNamed(std::string_view name)
{
    for (std::size_t i = 0; i < levelNames.size(); ++i) {
        if (levelNames[i] == name)
            return static_cast<LogLevel>(i);
    }
    return std::nullopt;
}

std::string iso8601String(Date date)
{
    using namespace std::chrono;
    auto milliseconds = floor<std::chrono::milliseconds>(date);
    auto seconds = floor<std::chrono::seconds>(milliseconds);
    std::time_t time = system_clock::to_time_t(seconds);
    std::tm local {};
    ::localtime_r(&time, &local);
    long offset = local.tm_gmtoff / 60;
    char sign = offset < 0 ? '-' : '+';
    if (offset < 0)
        offset = -offset;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02ld:%02ld",
        local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
        local.tm_sec, static_cast<int>((milliseconds - seconds).count()), sign, offset / 60,
        offset % 60);
    return buffer;
}

std::optional<Date> dateFromIso8601(std::string_view text)
{
    using namespace std::chrono;
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
    if (!readNumber(text, 4, y) || !expect(text, '-') || !readNumber(text, 2, mo)
        || !expect(text, '-') || !readNumber(text, 2, d) || !expect(text, 'T')
        || !readNumber(text, 2, h) || !expect(text, ':') || !readNumber(text, 2, mi)
        || !expect(text, ':') || !readNumber(text, 2, s) || !expect(text, '.')
        || !readNumber(text, 3, ms))
        return std::nullopt;
    int offsetMinutes = 0;
    if (!expect(text, 'Z')) {
        if (text.empty() || (text.front() != '+' && text.front() != '-'))
            return std::nullopt;
        int sign = text.front() == '-' ? -1 : 1;
        text.remove_prefix(1);
        int oh = 0, om = 0;
        if (!readNumber(text, 2, oh) || !expect(text, ':') || !readNumber(text, 2, om))
            return std::nullopt;
        offsetMinutes = sign * (oh * 60 + om);
    }
    if (!text.empty())
        return std::nullopt;
    year_month_day day { year(y), month(static_cast<unsigned>(mo)),
        std::chrono::day(static_cast<unsigned>(d)) };
    if (!day.ok() || h > 23 || mi > 59 || s > 60 || ms > 999)
        return std::nullopt;
    // Counted in whole seconds first: a four-digit year can lie outside what a `Date`
    // holds, and converting such a moment to it would overflow.
    const auto moment
        = sys_days(day) + hours(h) + minutes(mi) + seconds(s) - minutes(offsetMinutes);
    const auto since1970 = static_cast<TimeInterval>(moment.time_since_epoch().count());
    if (!checkedDateFromTimeIntervalSince1970(since1970))
        return std::nullopt;
    return time_point_cast<Date::duration>(moment) + milliseconds(ms);
}

std::string formatLogLine(const LogEntry& entry)
{
    std::string line = iso8601String(entry.date);
    line += " [";
    line += std::to_string(entry.processIdentifier);
    line += "] [";
    line += logLevelName(entry.level);
    line += "] [";
    line += sanitizedName(entry.subsystem);
    line += "] [";
    line += sanitizedName(entry.category);
    line += "] ";
    line += escapedMessage(entry.message);
    return line;
}

std::optional<LogEntry> parseLogLine(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    auto blank = line.find(' ');
    if (blank == std::string_view::npos)
        return std::nullopt;
    auto date = dateFromIso8601(line.substr(0, blank));
    if (!date)
        return std::nullopt;
    line.remove_prefix(blank + 1);
    auto pid = bracketed(line, "] ");
    auto level = pid ? bracketed(line, "] ") : std::nullopt;
    auto subsystem = level ? bracketed(line, "] ") : std::nullopt;
    auto category = subsystem ? bracketed(line, "] ") : std::nullopt;
    if (!category)
        return std::nullopt;
    LogEntry entry;
    entry.date = *date;
    auto [end, error]
        = std::from_chars(pid->data(), pid->data() + pid->size(), entry.processIdentifier);
    if (error != std::errc() || end != pid->data() + pid->size())
        return std::nullopt;
    auto parsedLevel = logLevelNamed(*level);
    if (!parsedLevel)
        return std::nullopt;
    entry.level = *parsedLevel;
    entry.subsystem = std::string(*subsystem);
    entry.category = std::string(*category);
    entry.message = unescapedMessage(line);
    return entry;
}

} // namespace tidemark
