#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tidemark::ics {

// The content lines of an iCalendar text, unfolded: a UTF-8 byte-order mark is dropped,
// CRLF, LF and CR alone all end a line, and a line that starts with a blank or a tab
// continues the one before (joined as bytes, so a fold inside a multi-byte character
// heals). Empty lines are dropped.
std::vector<std::string> contentLines(std::string_view bytes);

// The property name of a content line, upper-cased ("DUE" for "due;TZID=…:…").
std::string propertyName(std::string_view line);

// The value of a content line: everything after the first colon outside quotes.
std::string_view propertyValue(std::string_view line);

// True when the line is "BEGIN:<component>" (any case); `component` is upper case.
bool isBegin(std::string_view line, std::string_view component);
bool isEnd(std::string_view line, std::string_view component);

// The lines as an iCalendar text: each folded at 75 octets, never inside a UTF-8
// character, ended by CRLF.
std::string serialize(const std::vector<std::string>& lines);

} // namespace tidemark::ics
