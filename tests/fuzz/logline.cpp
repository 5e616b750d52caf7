// Lines of the log file, as the log export reads them back: a line that parses must come
// out of formatting and parsing again as the same entry, and any entry must survive
// being written as a line.

#include "FuzzCheck.hpp"

#include "platform/logging/LogEntry.hpp"

#include <chrono>
#include <cstring>

using namespace tidemark;

namespace {

std::string describe(const LogEntry& entry)
{
    return formatLogLine(entry);
}

// The entry written as a line and read again is the entry, but for the characters a name
// cannot hold.
void checkRoundTrip(const LogEntry& entry)
{
    const auto line = formatLogLine(entry);
    FUZZ_CHECK_THAT(line.find('\n') == std::string::npos, line);
    const auto again = parseLogLine(line);
    FUZZ_CHECK_THAT(again.has_value(), line);
    FUZZ_CHECK_THAT(again->date == std::chrono::floor<std::chrono::milliseconds>(entry.date), line);
    FUZZ_CHECK_THAT(again->processIdentifier == entry.processIdentifier, line);
    FUZZ_CHECK_THAT(again->level == entry.level, line);
    FUZZ_CHECK_THAT(again->message == entry.message, line);
    FUZZ_CHECK_THAT(again->subsystem.size() == entry.subsystem.size(), line);
    FUZZ_CHECK_THAT(again->category.size() == entry.category.size(), line);
    FUZZ_CHECK_THAT(formatLogLine(*again) == line, line);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto input = fuzz::text(data, size);

    // Each line of the input as a line of the log file.
    for (std::size_t start = 0; start <= input.size();) {
        auto end = input.find('\n', start);
        if (end == std::string_view::npos)
            end = input.size();
        if (const auto entry = parseLogLine(input.substr(start, end - start))) {
            // The range is one of whole seconds: the last second of 2261 holds its
            // milliseconds too.
            const auto second = std::chrono::floor<std::chrono::seconds>(entry->date);
            FUZZ_CHECK_THAT(checkedDateFromTimeIntervalSince1970(timeIntervalSince1970(second)),
                describe(*entry));
            checkRoundTrip(*entry);
        }
        start = end + 1;
    }

    // The input as what a logger writes: a moment, a level, names and a message.
    if (size >= 10) {
        std::int64_t milliseconds = 0;
        std::memcpy(&milliseconds, data, sizeof milliseconds);
        const auto span = static_cast<std::int64_t>(
            (latestTimeIntervalSince1970 - earliestTimeIntervalSince1970) * 1000);
        milliseconds = static_cast<std::int64_t>(earliestTimeIntervalSince1970 * 1000)
            + static_cast<std::int64_t>(
                static_cast<std::uint64_t>(milliseconds) % static_cast<std::uint64_t>(span));
        LogEntry entry;
        entry.date = Date(std::chrono::milliseconds(milliseconds));
        entry.level = static_cast<LogLevel>(data[8] % 5);
        entry.processIdentifier = static_cast<int>(data[9]) - 128;
        const auto rest = input.substr(10);
        const auto firstCut = rest.size() / 4;
        const auto secondCut = rest.size() / 2;
        entry.subsystem = std::string(rest.substr(0, firstCut));
        entry.category = std::string(rest.substr(firstCut, secondCut - firstCut));
        entry.message = std::string(rest.substr(secondCut));
        checkRoundTrip(entry);
    }
    return 0;
}
