#include "platform/eventstore/IcsTodo.hpp"

#include "platform/eventstore/ComponentsDate.hpp"
#include "platform/eventstore/IcsText.hpp"
#include "platform/foundation/UserDefaults.hpp"

#include <libical/ical.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>

namespace tidemark::ics {

namespace {

constexpr std::size_t none = static_cast<std::size_t>(-1);
// Real files nest three deep (a calendar, a task, an alarm); far deeper is an attack on
// the parser's recursion.
constexpr int deepestNesting = 32;

struct ComponentDeleter {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentDeleter>;

std::string takeString(char* text)
{
    std::string result = text ? text : "";
    std::free(text);
    return result;
}

std::string textOf(const char* value)
{
    return validUtf8(value ? value : "");
}

icaltimetype utcTime(Date date)
{
    const auto seconds
        = std::chrono::duration_cast<std::chrono::seconds>(date.time_since_epoch()).count();
    return icaltime_from_timet_with_zone(
        static_cast<time_t>(seconds), 0, icaltimezone_get_utc_timezone());
}

const char* tzidOf(icalproperty* property)
{
    icalparameter* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
    return tzid ? icalparameter_get_tzid(tzid) : nullptr;
}

std::string nameOf(icalproperty* property)
{
    return icalproperty_kind_to_string(icalproperty_isa(property));
}

// The date components a DTSTART, DUE or COMPLETED property names, whether a `Date` can
// hold them or not.
std::optional<DateComponents> componentsOf(
    icalproperty* property, icalcomponent* calendar, std::vector<std::string>& problems)
{
    icalvalue* value = icalproperty_get_value(property);
    if (!value)
        return std::nullopt;
    const icalvalue_kind kind = icalvalue_isa(value);
    if (kind != ICAL_DATETIME_VALUE && kind != ICAL_DATE_VALUE)
        return std::nullopt;
    icaltimetype time
        = kind == ICAL_DATE_VALUE ? icalvalue_get_date(value) : icalvalue_get_datetime(value);
    if (icaltime_is_null_time(time) || !icaltime_is_valid_time(time))
        return std::nullopt;

    DateComponents c;
    c.calendar = CalendarIdentifier::gregorian;
    if (const char* tzid = tzidOf(property); tzid && !time.is_date) {
        if (auto zone = eventstore::resolveTimeZone(tzid)) {
            c.timeZone = *zone;
        } else {
            icaltimezone* own = calendar ? icalcomponent_get_timezone(calendar, tzid) : nullptr;
            if (own) {
                time.zone = own;
                time = icaltime_convert_to_zone(time, icaltimezone_get_utc_timezone());
                problems.push_back(std::string("time zone \"") + textOf(tzid)
                    + "\" is not known here; read through the file's own definition, as UTC");
            } else {
                problems.push_back(
                    std::string("unknown time zone \"") + textOf(tzid) + "\"; read as UTC");
            }
            c.timeZone = "UTC";
        }
    } else if (icaltime_is_utc(time)) {
        c.timeZone = "UTC";
    }
    c.year = time.year;
    c.month = time.month;
    c.day = time.day;
    if (!time.is_date) {
        c.hour = time.hour;
        c.minute = time.minute;
        c.second = time.second;
    }
    return c;
}

const char* const outOfRange = "lies outside the years 1678 to 2261, which cannot be told apart";

// The same, only when the moment they name is one a `Date` holds: every reader of a start
// or due date turns it into one.
std::optional<DateComponents> placedComponentsOf(
    icalproperty* property, icalcomponent* calendar, std::vector<std::string>& problems)
{
    auto c = componentsOf(property, calendar, problems);
    // Whatever its zone, a moment of these years fits; only the years at the edges need
    // the conversion to tell (which costs a time zone lookup).
    const bool clearlyInside = c && c->year && *c->year > 1678 && *c->year < 2261;
    if (c && !clearlyInside && !eventstore::dateFromComponents(*c)) {
        problems.push_back(nameOf(property) + " " + std::to_string(c->year.value_or(0)) + " "
            + outOfRange + "; read as none");
        return std::nullopt;
    }
    return c;
}

Todo readTodo(icalcomponent* todo, icalcomponent* calendar, std::vector<std::string>& problems)
{
    Todo result;
    int uids = 0;
    for (icalproperty* p = icalcomponent_get_first_property(todo, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(todo, ICAL_ANY_PROPERTY)) {
        switch (icalproperty_isa(p)) {
        case ICAL_UID_PROPERTY:
            if (uids++ == 0 && icalproperty_get_uid(p))
                result.uid = textOf(icalproperty_get_uid(p));
            break;
        case ICAL_SUMMARY_PROPERTY:
            if (!result.title && icalproperty_get_summary(p))
                result.title = textOf(icalproperty_get_summary(p));
            break;
        case ICAL_DTSTART_PROPERTY:
            if (!result.start)
                result.start = placedComponentsOf(p, calendar, problems);
            break;
        case ICAL_DUE_PROPERTY:
            if (!result.due)
                result.due = placedComponentsOf(p, calendar, problems);
            break;
        case ICAL_COMPLETED_PROPERTY:
            if (auto c = componentsOf(p, calendar, problems)) {
                // Completed it is, also when the moment cannot be held.
                result.completionDate = eventstore::dateFromComponents(*c);
                result.completed = true;
                if (!result.completionDate)
                    problems.push_back(std::string("COMPLETED ") + outOfRange
                        + "; the task counts as completed, at no known time");
            }
            break;
        case ICAL_STATUS_PROPERTY: {
            const icalproperty_status status = icalproperty_get_status(p);
            if (status == ICAL_STATUS_COMPLETED)
                result.completed = true;
            else if (status == ICAL_STATUS_CANCELLED)
                result.cancelled = true;
            break;
        }
        case ICAL_XLICERROR_PROPERTY:
            if (const char* text = icalproperty_get_xlicerror(p))
                problems.push_back("ignored: " + textOf(text));
            break;
        default:
            break;
        }
    }
    if (uids > 1)
        problems.push_back("several UIDs in one task; the first one counts");
    for (icalcomponent* alarm = icalcomponent_get_first_component(todo, ICAL_VALARM_COMPONENT);
         alarm; alarm = icalcomponent_get_next_component(todo, ICAL_VALARM_COMPONENT)) {
        icalproperty* trigger = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
        if (!trigger)
            continue;
        const icaltriggertype t = icalproperty_get_trigger(trigger);
        if (icaltime_is_null_time(t.time))
            continue;
        const auto at = checkedDateFromTimeIntervalSince1970(static_cast<TimeInterval>(
            icaltime_as_timet_with_zone(t.time, icaltimezone_get_utc_timezone())));
        if (!at) {
            problems.push_back(std::string("an alarm ") + outOfRange + "; ignored");
            continue;
        }
        result.alarms.push_back(Alarm::withAbsoluteDate(*at));
    }
    return result;
}

bool isBlank(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t'; });
}

// How deep BEGIN lines could nest, counted so that it is never less than the parser's own
// count: every line that starts with "BEGIN" counts as one, only a plain "END:" line ends.
int nestingBound(const Document& document)
{
    int depth = 0;
    int deepest = 0;
    for (const RawLine& line : document.lines) {
        const std::string_view text = line.text;
        const std::size_t start = text.find_first_not_of(" \t");
        if (start == std::string_view::npos)
            continue;
        auto startsWith = [&](std::string_view word) {
            if (text.size() - start < word.size())
                return false;
            for (std::size_t k = 0; k < word.size(); ++k) {
                if (std::toupper(static_cast<unsigned char>(text[start + k])) != word[k])
                    return false;
            }
            return true;
        };
        if (startsWith("BEGIN"))
            deepest = std::max(deepest, ++depth);
        else if (start == 0 && startsWith("END:") && depth > 0)
            --depth;
    }
    return deepest;
}

// A component as libical's parser made it, with the lines it was made of.
struct Node {
    icalcomponent* component = nullptr;
    std::size_t begin = 0; // the BEGIN line
    std::size_t end = 0; // the END line
    std::vector<std::size_t> children; // in the parser's order
};

// The components of a file: which line belongs to which, as the parser saw them.
struct Structure {
    std::vector<Node> nodes;
    std::vector<std::size_t> owner; // per line, the innermost node it is in (none outside)
    std::vector<std::size_t> roots; // the complete top-level components
    std::vector<ComponentPtr> components; // their libical components
    bool consistent = true; // the parser's tree is the one the lines were seen to make
    bool unclosed = false; // a component is still open at the end
};

// Whether the parser's tree under `component` has the shape of the node's, pairing them.
bool pair(Structure& s, std::size_t node, icalcomponent* component)
{
    s.nodes[node].component = component;
    std::size_t k = 0;
    for (icalcomponent* child = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT);
         child; child = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT), ++k) {
        if (k >= s.nodes[node].children.size() || !pair(s, s.nodes[node].children[k], child))
            return false;
    }
    return k == s.nodes[node].children.size();
}

// Feeds the lines to libical's parser one at a time and notes, from its state after each,
// where a component begins and where it ends. So the writer works on exactly the
// components the reader reads, whatever the parser makes of odd lines.
Structure structureOf(const Document& document)
{
    Structure s;
    const auto& lines = document.lines;
    s.owner.assign(lines.size(), none);
    icalparser* parser = icalparser_new();
    const icalerrorstate errors = icalerror_get_error_state(ICAL_MALFORMEDDATA_ERROR);
    icalerror_set_error_state(ICAL_MALFORMEDDATA_ERROR, ICAL_ERROR_NONFATAL);
    std::vector<std::size_t> open;
    std::string buffer;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (isBlank(lines[i].text)) {
            s.owner[i] = open.empty() ? none : open.back();
            continue;
        }
        buffer = lines[i].text;
        icalcomponent* done = icalparser_add_line(parser, buffer.data());
        if (done)
            s.components.emplace_back(done);
        switch (icalparser_get_state(parser)) {
        case ICALPARSER_BEGIN_COMP:
            s.nodes.push_back(Node { nullptr, i, i, {} });
            open.push_back(s.nodes.size() - 1);
            s.owner[i] = open.back();
            break;
        case ICALPARSER_END_COMP:
        case ICALPARSER_SUCCESS: {
            if (open.empty()) {
                s.consistent = false;
                break;
            }
            const std::size_t closed = open.back();
            open.pop_back();
            s.nodes[closed].end = i;
            s.owner[i] = closed;
            if (!open.empty())
                s.nodes[open.back()].children.push_back(closed);
            else
                s.roots.push_back(closed);
            if (open.empty() != (done != nullptr))
                s.consistent = false;
            break;
        }
        default:
            s.owner[i] = open.empty() ? none : open.back();
            if (done)
                s.consistent = false;
            break;
        }
    }
    icalerror_set_error_state(ICAL_MALFORMEDDATA_ERROR, errors);
    icalparser_free(parser);
    s.unclosed = !open.empty();
    if (s.consistent && s.roots.size() == s.components.size()) {
        for (std::size_t k = 0; k < s.roots.size() && s.consistent; ++k)
            s.consistent = pair(s, s.roots[k], s.components[k].get());
    } else {
        s.consistent = false;
    }
    return s;
}

icalcomponent_kind kindOf(const Structure& s, std::size_t node)
{
    return icalcomponent_isa(s.nodes[node].component);
}

// The lines of a component that are its own properties: not its BEGIN and END, and not
// inside a component within it.
std::vector<std::size_t> ownLines(const Structure& s, std::size_t node)
{
    std::vector<std::size_t> own;
    const Node& n = s.nodes[node];
    for (std::size_t i = n.begin + 1; i < n.end; ++i) {
        if (s.owner[i] == node)
            own.push_back(i);
    }
    return own;
}

// A VTODO of the file: a task, or a changed occurrence of one.
struct Place {
    std::size_t node = none;
    std::size_t calendar = none; // the VCALENDAR that holds it; none for a bare VTODO
    std::string uid;
    bool override = false;
    std::optional<std::size_t> todo; // its index in `File::todos` when read as a task
};

struct Analysis {
    Document document;
    Structure structure;
    File file;
    std::vector<Place> places;
};

std::string firstUid(icalcomponent* component)
{
    icalproperty* uid = icalcomponent_get_first_property(component, ICAL_UID_PROPERTY);
    return uid ? textOf(icalproperty_get_uid(uid)) : std::string();
}

// The VTODOs of the file: those at the top, and those in a calendar at the top.
void findPlaces(Analysis& a)
{
    const Structure& s = a.structure;
    for (std::size_t root : s.roots) {
        const icalcomponent_kind kind = kindOf(s, root);
        if (kind == ICAL_VTODO_COMPONENT) {
            a.places.push_back(Place { root, none, {}, false, std::nullopt });
        } else if (kind == ICAL_VCALENDAR_COMPONENT) {
            for (std::size_t child : s.nodes[root].children) {
                const icalcomponent_kind inner = kindOf(s, child);
                if (inner == ICAL_VTODO_COMPONENT)
                    a.places.push_back(Place { child, root, {}, false, std::nullopt });
                else if (inner != ICAL_VTIMEZONE_COMPONENT)
                    a.file.holdsOtherComponents = true;
            }
        } else {
            a.file.holdsOtherComponents = true;
        }
    }
}

void readPlaces(Analysis& a)
{
    const Structure& s = a.structure;
    File& file = a.file;
    std::set<std::string> seen;
    int overrides = 0;
    for (Place& place : a.places) {
        const Node& node = s.nodes[place.node];
        for (std::size_t i : ownLines(s, place.node)) {
            if (propertyName(a.document.lines[i].text) == "RECURRENCE-ID")
                place.override = true;
        }
        if (place.override) {
            // A changed occurrence of a repeating task; the master carries the task.
            place.uid = firstUid(node.component);
            ++overrides;
            continue;
        }
        icalcomponent* calendar
            = place.calendar == none ? nullptr : s.nodes[place.calendar].component;
        Todo read = readTodo(node.component, calendar, file.problems);
        place.uid = read.uid;
        if (!seen.insert(read.uid).second) {
            file.problems.push_back(
                "a second task with UID \"" + read.uid + "\" in the same file; ignored");
            continue;
        }
        const std::string& begin = a.document.lines[node.begin].text;
        if (!isBegin(begin, "VTODO"))
            file.problems.push_back(
                "\"" + validUtf8(begin) + "\" is read as the beginning of a task");
        place.todo = file.todos.size();
        file.todos.push_back(std::move(read));
    }
    if (overrides > 0)
        file.problems.push_back("changed occurrences of a repeating task are not shown");
    if (file.todos.size() > 1)
        file.problems.push_back("several tasks in one file; each is read");
}

Analysis analyse(std::string_view bytes, bool forWriting)
{
    Analysis a;
    a.document = readDocument(bytes, forWriting);
    File& file = a.file;
    const auto& lines = a.document.lines;
    if (lines.empty()) {
        file.problems.push_back("empty file");
        return a;
    }
    if (propertyName(lines.front().text) != "BEGIN") {
        file.problems.push_back("not an iCalendar file");
        return a;
    }
    if (propertyName(lines.back().text) != "END") {
        file.problems.push_back("cut off: it does not end with END:VCALENDAR");
        return a;
    }
    if (nestingBound(a.document) > deepestNesting) {
        file.problems.push_back(
            "components nest deeper than " + std::to_string(deepestNesting) + " levels");
        return a;
    }
    a.structure = structureOf(a.document);
    if (a.structure.unclosed) {
        file.problems.push_back("cut off: a component is never closed");
        return a;
    }
    if (!a.structure.consistent) {
        file.problems.push_back("its components cannot be told apart safely");
        return a;
    }
    if (a.structure.roots.empty()) {
        file.problems.push_back("does not parse");
        return a;
    }
    file.readable = true;
    findPlaces(a);
    readPlaces(a);
    return a;
}

// The task the store means: the one with that UID, or the first one without a UID.
const Place* findTask(const Analysis& a, const std::string& uid, bool matchFirstWithoutUid)
{
    for (const Place& place : a.places) {
        if (place.todo && (place.uid == uid || (matchFirstWithoutUid && place.uid.empty())))
            return &place;
    }
    return nullptr;
}

} // namespace

File parse(std::string_view bytes)
{
    return analyse(bytes, false).file;
}

namespace {

std::string lineOf(icalproperty* property)
{
    std::string text = takeString(icalproperty_as_ical_string_r(property));
    icalproperty_free(property);
    std::vector<std::string> lines = contentLines(text);
    return lines.empty() ? std::string() : lines.front();
}

struct TimeLine {
    std::string line;
    std::optional<std::string> tzid; // a named zone the line refers to
};

TimeLine timeLine(
    icalproperty_kind kind, const DateComponents& c, const std::optional<std::string>& fallbackZone)
{
    icaltimetype t = icaltime_null_time();
    t.year = c.year.value_or(1970);
    t.month = c.month.value_or(1);
    t.day = c.day.value_or(1);
    t.is_date = c.hour ? 0 : 1;
    if (!t.is_date) {
        t.hour = *c.hour;
        t.minute = c.minute.value_or(0);
        t.second = c.second.value_or(0);
    }
    std::optional<std::string> zone = c.timeZone ? c.timeZone : fallbackZone;
    if (zone) {
        if (auto resolved = eventstore::resolveTimeZone(*zone))
            zone = resolved;
    }
    const bool utc = zone && *zone == "UTC";
    if (utc && !t.is_date)
        t.zone = icaltimezone_get_utc_timezone();
    icalproperty* p
        = kind == ICAL_DUE_PROPERTY ? icalproperty_new_due(t) : icalproperty_new_dtstart(t);
    TimeLine result;
    if (zone && !utc && !t.is_date) {
        icalproperty_add_parameter(p, icalparameter_new_tzid(zone->c_str()));
        result.tzid = zone;
    }
    result.line = lineOf(p);
    return result;
}

// VTIMEZONE lines for an IANA zone, with its TZID exactly `tzid`, holding the rules from
// the year before `fromYear` on; empty when the zone is not known.
std::vector<std::string> timeZoneBlock(const std::string& tzid, int fromYear)
{
    icaltimezone* zone = icaltimezone_get_builtin_timezone(tzid.c_str());
    icalcomponent* builtin = zone ? icaltimezone_get_component(zone) : nullptr;
    if (!builtin)
        return {};
    ComponentPtr component(icalcomponent_new_clone(builtin));
    icaltimetype start = icaltime_null_time();
    start.year = fromYear - 1;
    start.month = 1;
    start.day = 1;
    start.zone = icaltimezone_get_utc_timezone();
    icaltimezone_truncate_vtimezone(component.get(), start, icaltime_null_time(), 1);
    std::vector<std::string> lines
        = contentLines(takeString(icalcomponent_as_ical_string_r(component.get())));
    int depth = 0;
    for (std::string& line : lines) {
        if (line.rfind("BEGIN:", 0) == 0)
            ++depth;
        else if (line.rfind("END:", 0) == 0)
            --depth;
        else if (depth == 1 && propertyName(line) == "TZID")
            line = lineOf(icalproperty_new_tzid(tzid.c_str()));
    }
    return lines;
}

std::vector<std::string> alarmBlock(Date at, const std::string& description)
{
    icaltriggertype trigger = icaltriggertype_from_int(0);
    trigger.time = utcTime(at);
    trigger.duration = icaldurationtype_null_duration();
    return { "BEGIN:VALARM", lineOf(icalproperty_new_action(ICAL_ACTION_DISPLAY)),
        lineOf(icalproperty_new_description(description.c_str())),
        lineOf(icalproperty_new_trigger(trigger)), "END:VALARM" };
}

std::vector<std::string> newCalendar(const std::string& uid, Date now)
{
    return { "BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//Tidemark//Tidemark//EN", "BEGIN:VTODO",
        lineOf(icalproperty_new_uid(uid.c_str())), lineOf(icalproperty_new_created(utcTime(now))),
        "END:VTODO", "END:VCALENDAR" };
}

// The property lines a write puts into the task, in the order in which those the task
// lacks are added; each replaces the task's lines of its name, or (none) removes them.
struct FieldLines {
    std::vector<std::pair<std::string, std::optional<std::string>>> lines;
    std::set<std::string> zones; // the named zones the new lines refer to
    int earliestYear = 9999; // the earliest year of a line in a named zone

    void set(std::string name, std::optional<std::string> line)
    {
        lines.emplace_back(std::move(name), std::move(line));
    }
};

// A UID when there is none, DTSTAMP and LAST-MODIFIED of now, SEQUENCE one higher.
void addStampLines(
    const std::vector<std::string>& own, const TodoChanges& changes, FieldLines& fields)
{
    bool hasUid = false;
    std::optional<int> sequence;
    for (const std::string& line : own) {
        const std::string name = propertyName(line);
        if (name == "UID")
            hasUid = true;
        if (name == "SEQUENCE" && !sequence)
            sequence = std::atoi(std::string(propertyValue(line)).c_str());
    }
    if (!hasUid)
        fields.set("UID", lineOf(icalproperty_new_uid(changes.uid.c_str())));
    fields.set("DTSTAMP", lineOf(icalproperty_new_dtstamp(utcTime(changes.now))));
    fields.set("LAST-MODIFIED", lineOf(icalproperty_new_lastmodified(utcTime(changes.now))));
    if (sequence)
        fields.set("SEQUENCE", lineOf(icalproperty_new_sequence(*sequence + 1)));
}

// DTSTART or DUE: the new value, or none to remove it.
void addTimeLine(icalproperty_kind kind, const char* name,
    const std::optional<DateComponents>& value, const std::optional<std::string>& fallbackZone,
    FieldLines& fields)
{
    if (!value) {
        fields.set(name, std::nullopt);
        return;
    }
    TimeLine line = timeLine(kind, *value, fallbackZone);
    fields.set(name, line.line);
    if (line.tzid) {
        fields.zones.insert(*line.tzid);
        fields.earliestYear = std::min(fields.earliestYear, value->year.value_or(1970));
    }
}

// STATUS and COMPLETED, and PERCENT-COMPLETE where it would contradict them.
void addCompletionLines(const std::vector<std::string>& own,
    const std::pair<bool, std::optional<Date>>& completion, Date now, FieldLines& fields)
{
    const auto& [completed, date] = completion;
    if (completed) {
        fields.set("STATUS", lineOf(icalproperty_new_status(ICAL_STATUS_COMPLETED)));
        fields.set("COMPLETED", lineOf(icalproperty_new_completed(utcTime(date.value_or(now)))));
        fields.set("PERCENT-COMPLETE", lineOf(icalproperty_new_percentcomplete(100)));
        return;
    }
    fields.set("STATUS", lineOf(icalproperty_new_status(ICAL_STATUS_NEEDSACTION)));
    fields.set("COMPLETED", std::nullopt);
    for (const std::string& line : own) {
        if (propertyName(line) == "PERCENT-COMPLETE" && propertyValue(line) == "100") {
            fields.set("PERCENT-COMPLETE", std::nullopt);
            break;
        }
    }
}

FieldLines changedFieldLines(const std::vector<std::string>& own, const TodoChanges& changes)
{
    FieldLines fields;
    addStampLines(own, changes, fields);
    if (changes.title) {
        fields.set("SUMMARY",
            *changes.title
                ? std::optional(lineOf(icalproperty_new_summary((*changes.title)->c_str())))
                : std::nullopt);
    }
    if (changes.start)
        addTimeLine(ICAL_DTSTART_PROPERTY, "DTSTART", *changes.start, changes.timeZone, fields);
    if (changes.due)
        addTimeLine(ICAL_DUE_PROPERTY, "DUE", *changes.due, changes.timeZone, fields);
    if (changes.completion)
        addCompletionLines(own, *changes.completion, changes.now, fields);
    return fields;
}

// The alarm at the due date, described by the title; none without a due date.
std::vector<std::string> dueAlarm(const std::optional<DateComponents>& due,
    const std::optional<std::string>& title, const std::optional<std::string>& timeZone)
{
    if (!due)
        return {};
    DateComponents dueInZone = *due;
    if (!dueInZone.timeZone && dueInZone.hour)
        dueInZone.timeZone = timeZone;
    if (auto at = eventstore::dateFromComponents(dueInZone))
        return alarmBlock(*at, title && !title->empty() ? *title : std::string("Reminder"));
    return {};
}

// An alarm the reader lists: one at a fixed moment.
bool isAbsoluteAlarm(const Structure& s, std::size_t node)
{
    icalcomponent* alarm = s.nodes[node].component;
    if (icalcomponent_isa(alarm) != ICAL_VALARM_COMPONENT)
        return false;
    icalproperty* trigger = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
    return trigger && !icaltime_is_null_time(icalproperty_get_trigger(trigger).time);
}

// Changes to a document's lines: lines replaced (none: removed) and lines put before one.
struct Edits {
    std::map<std::size_t, std::optional<std::string>> replaced;
    std::map<std::size_t, std::vector<std::string>> before;

    void removeLines(std::size_t from, std::size_t to)
    {
        for (std::size_t i = from; i <= to; ++i)
            replaced[i] = std::nullopt;
    }
    void insert(std::size_t at, const std::vector<std::string>& lines)
    {
        auto& slot = before[at];
        slot.insert(slot.end(), lines.begin(), lines.end());
    }
};

std::string applied(const Document& document, const Edits& edits)
{
    Document out;
    out.head = document.head;
    out.newline = document.newline;
    auto add = [&out](const std::string& text) {
        out.lines.push_back(RawLine { text, foldedLine(text, out.newline) });
    };
    for (std::size_t i = 0; i < document.lines.size(); ++i) {
        if (auto inserted = edits.before.find(i); inserted != edits.before.end()) {
            for (const std::string& text : inserted->second)
                add(text);
        }
        if (auto replaced = edits.replaced.find(i); replaced != edits.replaced.end()) {
            if (replaced->second)
                add(*replaced->second);
            continue;
        }
        out.lines.push_back(document.lines[i]);
    }
    return serialize(out);
}

// Where a component's first inner component begins; its END line when it has none.
std::size_t firstInnerLine(const Structure& s, std::size_t node)
{
    std::size_t at = s.nodes[node].end;
    for (std::size_t child : s.nodes[node].children)
        at = std::min(at, s.nodes[child].begin);
    return at;
}

// Each property is replaced where it stands (its further lines of the same name go);
// those the task lacks come after its other properties.
void editProperties(const Analysis& a, std::size_t node, const std::vector<std::size_t>& own,
    const FieldLines& fields, Edits& edits)
{
    std::vector<std::string> added;
    for (const auto& [name, line] : fields.lines) {
        bool first = true;
        for (std::size_t i : own) {
            if (propertyName(a.document.lines[i].text) != name)
                continue;
            edits.replaced[i] = first ? line : std::nullopt;
            first = false;
        }
        if (first && line)
            added.push_back(*line);
    }
    edits.insert(firstInnerLine(a.structure, node), added);
}

// The absolute alarms go; the new one takes the place of the first of them.
void editAlarms(
    const Analysis& a, std::size_t node, const std::vector<std::string>& alarm, Edits& edits)
{
    const Structure& s = a.structure;
    std::optional<std::size_t> at;
    for (std::size_t child : s.nodes[node].children) {
        if (!isAbsoluteAlarm(s, child))
            continue;
        at = std::min(at.value_or(s.nodes[child].begin), s.nodes[child].begin);
        edits.removeLines(s.nodes[child].begin, s.nodes[child].end);
    }
    edits.insert(at.value_or(s.nodes[node].end), alarm);
}

// Each named zone the task now refers to gets its definition when its calendar lacks one.
void editTimeZones(const Analysis& a, std::size_t calendar, const FieldLines& fields, Edits& edits)
{
    if (calendar == none)
        return;
    const Structure& s = a.structure;
    for (const std::string& zone : fields.zones) {
        bool defined = false;
        for (std::size_t child : s.nodes[calendar].children) {
            if (kindOf(s, child) != ICAL_VTIMEZONE_COMPONENT)
                continue;
            for (std::size_t i : ownLines(s, child)) {
                const std::string& line = a.document.lines[i].text;
                if (propertyName(line) == "TZID" && propertyValue(line) == zone)
                    defined = true;
            }
        }
        if (!defined)
            edits.insert(firstInnerLine(s, calendar), timeZoneBlock(zone, fields.earliestYear));
    }
}

// What the new lines read as, alone in a task of their own.
Todo readBack(const FieldLines& fields, const std::vector<std::string>& alarm)
{
    std::vector<std::string> lines { "BEGIN:VCALENDAR", "VERSION:2.0", "BEGIN:VTODO" };
    for (const auto& [name, line] : fields.lines) {
        if (line)
            lines.push_back(*line);
    }
    lines.insert(lines.end(), alarm.begin(), alarm.end());
    lines.insert(lines.end(), { "END:VTODO", "END:VCALENDAR" });
    const File file = parse(serialize(lines));
    return file.todos.empty() ? Todo {} : file.todos.front();
}

// Refuses a result that does not read back as the tasks expected.
void check(std::string_view result, const std::vector<Todo>& expected, const std::string& uid)
{
    const File back = parse(result);
    if (!back.readable || back.todos != expected)
        throw WriteError("the file would not read back as written (the task \"" + validUtf8(uid)
            + "\" or another one in it would change or go); it was left as it is");
}

} // namespace

std::optional<std::string> write(
    std::string_view original, const TodoChanges& changes, bool matchFirstWithoutUid)
{
    const std::string fresh
        = original.empty() ? serialize(newCalendar(changes.uid, changes.now)) : std::string();
    const Analysis a = analyse(original.empty() ? std::string_view(fresh) : original, true);
    const Place* place = findTask(a, changes.uid, matchFirstWithoutUid);
    if (!place)
        return std::nullopt;
    const Todo& current = a.file.todos[*place->todo];

    std::vector<std::size_t> own = ownLines(a.structure, place->node);
    std::vector<std::string> ownTexts;
    for (std::size_t i : own)
        ownTexts.push_back(a.document.lines[i].text);
    const FieldLines fields = changedFieldLines(ownTexts, changes);

    Edits edits;
    editProperties(a, place->node, own, fields, edits);
    const bool alarmsChange = changes.title || changes.due;
    std::vector<std::string> alarm;
    if (alarmsChange) {
        alarm = dueAlarm(changes.due ? *changes.due : current.due,
            changes.title ? *changes.title : current.title, changes.timeZone);
        editAlarms(a, place->node, alarm, edits);
    }
    editTimeZones(a, place->calendar, fields, edits);
    std::string result = applied(a.document, edits);

    // What the task must read as now: the new lines' values, and the rest as it was.
    const Todo written = readBack(fields, alarm);
    Todo expected = current;
    if (expected.uid.empty())
        expected.uid = written.uid;
    if (changes.title)
        expected.title = written.title;
    if (changes.start)
        expected.start = written.start;
    if (changes.due)
        expected.due = written.due;
    if (changes.completion) {
        expected.completed = written.completed;
        expected.completionDate = written.completionDate;
        expected.cancelled = written.cancelled;
    }
    if (alarmsChange)
        expected.alarms = written.alarms;
    std::vector<Todo> todos = a.file.todos;
    todos[*place->todo] = expected;
    check(result, todos, changes.uid);
    return result;
}

std::optional<std::string> remove(
    std::string_view original, const std::string& uid, bool matchFirstWithoutUid)
{
    const Analysis a = analyse(original, true);
    const Place* place = findTask(a, uid, matchFirstWithoutUid);
    if (!place)
        return std::nullopt;
    const Structure& s = a.structure;
    Edits edits;
    std::set<std::size_t> removed;
    for (const Place& other : a.places) {
        // Its changed occurrences, and copies the reader passed over, go with it.
        const bool sameTask = !place->uid.empty() && other.uid == place->uid;
        if (&other != place && !sameTask)
            continue;
        removed.insert(other.node);
        edits.removeLines(s.nodes[other.node].begin, s.nodes[other.node].end);
    }

    bool rest = false;
    for (std::size_t root : s.roots) {
        if (kindOf(s, root) != ICAL_VCALENDAR_COMPONENT) {
            rest = rest || !removed.count(root);
            continue;
        }
        for (std::size_t child : s.nodes[root].children) {
            if (!removed.count(child) && kindOf(s, child) != ICAL_VTIMEZONE_COMPONENT)
                rest = true;
        }
    }
    if (!rest)
        return std::string();
    std::string result = applied(a.document, edits);
    std::vector<Todo> todos = a.file.todos;
    todos.erase(todos.begin() + std::ptrdiff_t(*place->todo));
    check(result, todos, uid);
    return result;
}

} // namespace tidemark::ics
