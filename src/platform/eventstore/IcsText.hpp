#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tidemark::ics {

// One content line of an iCalendar text: its unfolded text, and its bytes exactly as they
// stand in the file (its folds, its line end and the empty lines after it), so that a
// write can leave the lines it does not change as they were, byte for byte.
struct RawLine {
    std::string text;
    std::string bytes;
};

// An iCalendar text as its content lines.
struct Document {
    std::string head; // a byte-order mark and empty lines before the first line
    std::vector<RawLine> lines;
    std::string newline = "\r\n"; // the text's own line end, for lines a write adds
};

// Unfolds an iCalendar text: a UTF-8 byte-order mark is left out of the lines, CRLF, LF
// and CR alone all end a line, and a line that starts with a blank or a tab continues the
// one before (joined as bytes, so a fold inside a multi-byte character heals). Empty lines
// are no content lines. `serialize` of the result gives the text back unchanged; without
// `keepBytes` the lines hold their text alone (for a reader, which needs no more).
Document readDocument(std::string_view bytes, bool keepBytes = true);
std::string serialize(const Document& document);

// The texts of `readDocument`.
std::vector<std::string> contentLines(std::string_view bytes);

// The property name of a content line, upper-cased ("DUE" for "due;TZID=…:…").
std::string propertyName(std::string_view line);

// The value of a content line: everything after the first colon outside quotes.
std::string_view propertyValue(std::string_view line);

// True when the line is "BEGIN:<component>" (any case); `component` is upper case.
bool isBegin(std::string_view line, std::string_view component);
bool isEnd(std::string_view line, std::string_view component);

// A content line as it is written: folded at 75 octets, never inside a UTF-8 character,
// each physical line ended by `newline`.
std::string foldedLine(std::string_view line, std::string_view newline = "\r\n");

// The lines as an iCalendar text: each folded as `foldedLine` does, ended by CRLF.
std::string serialize(const std::vector<std::string>& lines);

} // namespace tidemark::ics
