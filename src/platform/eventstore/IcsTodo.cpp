#include "platform/eventstore/IcsTodo.hpp"

#include "platform/eventstore/ComponentsDate.hpp"
#include "platform/eventstore/IcsText.hpp"

#include <libical/ical.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>

namespace tidemark::ics {

namespace {

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

Date dateFromTimeT(time_t t)
{
    return Date(std::chrono::seconds(t));
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

// The date components a DTSTART, DUE or COMPLETED property names.
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
                problems.push_back(std::string("time zone \"") + tzid
                    + "\" is not known here; read through the file's own definition, as UTC");
            } else {
                problems.push_back(std::string("unknown time zone \"") + tzid + "\"; read as UTC");
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

Todo readTodo(icalcomponent* todo, icalcomponent* calendar, std::vector<std::string>& problems)
{
    Todo result;
    int uids = 0;
    for (icalproperty* p = icalcomponent_get_first_property(todo, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(todo, ICAL_ANY_PROPERTY)) {
        switch (icalproperty_isa(p)) {
        case ICAL_UID_PROPERTY:
            if (uids++ == 0 && icalproperty_get_uid(p))
                result.uid = icalproperty_get_uid(p);
            break;
        case ICAL_SUMMARY_PROPERTY:
            if (!result.title && icalproperty_get_summary(p))
                result.title = icalproperty_get_summary(p);
            break;
        case ICAL_DTSTART_PROPERTY:
            if (!result.start)
                result.start = componentsOf(p, calendar, problems);
            break;
        case ICAL_DUE_PROPERTY:
            if (!result.due)
                result.due = componentsOf(p, calendar, problems);
            break;
        case ICAL_COMPLETED_PROPERTY:
            if (auto c = componentsOf(p, calendar, problems)) {
                result.completionDate = eventstore::dateFromComponents(*c);
                result.completed = true;
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
                problems.push_back(std::string("ignored: ") + text);
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
        result.alarms.push_back(Alarm::withAbsoluteDate(
            dateFromTimeT(icaltime_as_timet_with_zone(t.time, icaltimezone_get_utc_timezone()))));
    }
    return result;
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    std::size_t size = 0;
    for (const auto& l : lines)
        size += l.size() + 1;
    text.reserve(size);
    for (const auto& l : lines) {
        text += l;
        text += '\n';
    }
    return text;
}

} // namespace

File parse(std::string_view bytes)
{
    File file;
    const std::vector<std::string> lines = contentLines(bytes);
    if (lines.empty()) {
        file.problems.push_back("empty file");
        return file;
    }
    const bool wrapped = isBegin(lines.front(), "VCALENDAR");
    if (!wrapped && !isBegin(lines.front(), "VTODO")) {
        file.problems.push_back("not an iCalendar file");
        return file;
    }
    if (!isEnd(lines.back(), wrapped ? "VCALENDAR" : "VTODO")) {
        file.problems.push_back("cut off: it does not end with END:VCALENDAR");
        return file;
    }
    ComponentPtr root(icalparser_parse_string(joined(lines).c_str()));
    if (!root) {
        file.problems.push_back("does not parse");
        return file;
    }
    file.readable = true;
    icalcomponent* calendar = wrapped ? root.get() : nullptr;

    std::vector<icalcomponent*> todos;
    if (!wrapped) {
        todos.push_back(root.get());
    } else {
        for (icalcomponent* c = icalcomponent_get_first_component(root.get(), ICAL_ANY_COMPONENT);
             c; c = icalcomponent_get_next_component(root.get(), ICAL_ANY_COMPONENT)) {
            const icalcomponent_kind kind = icalcomponent_isa(c);
            if (kind == ICAL_VTODO_COMPONENT)
                todos.push_back(c);
            else if (kind != ICAL_VTIMEZONE_COMPONENT)
                file.holdsOtherComponents = true;
        }
    }
    std::set<std::string> seen;
    int overrides = 0;
    for (icalcomponent* todo : todos) {
        if (icalcomponent_get_first_property(todo, ICAL_RECURRENCEID_PROPERTY)) {
            ++overrides;
            continue; // an override of one occurrence; the master carries the task
        }
        Todo read = readTodo(todo, calendar, file.problems);
        if (!seen.insert(read.uid).second) {
            file.problems.push_back(
                "a second task with UID \"" + read.uid + "\" in the same file; ignored");
            continue;
        }
        file.todos.push_back(std::move(read));
    }
    if (overrides > 0)
        file.problems.push_back("changed occurrences of a repeating task are not shown");
    if (file.todos.size() > 1)
        file.problems.push_back("several tasks in one file; each is read");
    return file;
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

std::string unescapeText(std::string_view value)
{
    std::string text;
    text.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char next = value[++i];
            text += (next == 'n' || next == 'N') ? '\n' : next;
        } else {
            text += value[i];
        }
    }
    return text;
}

struct Block {
    std::size_t begin = 0; // index of BEGIN:VTODO
    std::size_t end = 0; // index of END:VTODO
};

// The VTODO block of that UID (or the first one without a UID).
std::optional<Block> findTodo(
    const std::vector<std::string>& lines, const std::string& uid, bool matchFirstWithoutUid)
{
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!isBegin(lines[i], "VTODO"))
            continue;
        int depth = 0;
        std::optional<std::string> found;
        bool override = false;
        std::size_t j = i;
        for (; j < lines.size(); ++j) {
            const std::string name = propertyName(lines[j]);
            if (name == "BEGIN")
                ++depth;
            else if (name == "END" && --depth == 0)
                break;
            else if (depth == 1 && name == "UID" && !found)
                found = unescapeText(propertyValue(lines[j]));
            else if (depth == 1 && name == "RECURRENCE-ID")
                override = true;
        }
        if (j >= lines.size())
            return std::nullopt;
        if (!override && ((found && *found == uid) || (!found && matchFirstWithoutUid)))
            return Block { i, j };
        i = j;
    }
    return std::nullopt;
}

bool isAbsoluteAlarm(const std::vector<std::string>& lines, std::size_t begin, std::size_t end)
{
    for (std::size_t k = begin + 1; k < end; ++k) {
        if (propertyName(lines[k]) != "TRIGGER")
            continue;
        std::string head(lines[k].substr(0, lines[k].size() - propertyValue(lines[k]).size()));
        std::transform(head.begin(), head.end(), head.begin(),
            [](unsigned char ch) { return std::toupper(ch); });
        return head.find("VALUE=DATE-TIME") != std::string::npos;
    }
    return false;
}

std::vector<std::string> newCalendar(const std::string& uid, Date now)
{
    return { "BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//Tidemark//Tidemark//EN", "BEGIN:VTODO",
        lineOf(icalproperty_new_uid(uid.c_str())), lineOf(icalproperty_new_created(utcTime(now))),
        "END:VTODO", "END:VCALENDAR" };
}

// The fields of the VTODO as they stand, for what the changes leave alone.
Todo currentTodo(std::string_view original, const TodoChanges& changes, bool matchFirstWithoutUid)
{
    Todo current;
    if (!original.empty()) {
        const File file = parse(original);
        for (const Todo& todo : file.todos) {
            if (todo.uid == changes.uid || (matchFirstWithoutUid && todo.uid.empty())) {
                current = todo;
                break;
            }
        }
    }
    return current;
}

// The lines a write puts into the VTODO, and the names of the lines they replace.
struct FieldLines {
    std::set<std::string> replaced = { "DTSTAMP", "LAST-MODIFIED" };
    std::vector<std::string> added;
    std::set<std::string> zones; // the named zones the new lines refer to
    int earliestYear = 9999; // the earliest year of a line in a named zone
};

// A UID when there is none, DTSTAMP and LAST-MODIFIED of now, SEQUENCE one higher.
void addStampLines(const std::vector<std::string>& lines, const Block& block,
    const TodoChanges& changes, FieldLines& fields)
{
    bool hasUid = false;
    bool hasSequence = false;
    int sequence = 0;
    for (std::size_t k = block.begin + 1; k < block.end; ++k) {
        const std::string name = propertyName(lines[k]);
        if (name == "UID")
            hasUid = true;
        if (name == "SEQUENCE") {
            hasSequence = true;
            sequence = std::atoi(std::string(propertyValue(lines[k])).c_str());
        }
    }
    if (!hasUid)
        fields.added.push_back(lineOf(icalproperty_new_uid(changes.uid.c_str())));
    fields.added.push_back(lineOf(icalproperty_new_dtstamp(utcTime(changes.now))));
    fields.added.push_back(lineOf(icalproperty_new_lastmodified(utcTime(changes.now))));
    if (hasSequence) {
        fields.replaced.insert("SEQUENCE");
        fields.added.push_back(lineOf(icalproperty_new_sequence(sequence + 1)));
    }
}

// DTSTART or DUE: replaced by the new value, or removed when there is none.
void addTimeLine(icalproperty_kind kind, const char* name,
    const std::optional<DateComponents>& value, const std::optional<std::string>& fallbackZone,
    FieldLines& fields)
{
    fields.replaced.insert(name);
    if (!value)
        return;
    TimeLine line = timeLine(kind, *value, fallbackZone);
    fields.added.push_back(line.line);
    if (line.tzid) {
        fields.zones.insert(*line.tzid);
        fields.earliestYear = std::min(fields.earliestYear, value->year.value_or(1970));
    }
}

// STATUS and COMPLETED, and PERCENT-COMPLETE where it would contradict them.
void addCompletionLines(const std::vector<std::string>& lines, const Block& block,
    const std::pair<bool, std::optional<Date>>& completion, Date now, FieldLines& fields)
{
    const auto& [completed, date] = completion;
    fields.replaced.insert({ "COMPLETED", "STATUS" });
    if (completed) {
        fields.added.push_back(lineOf(icalproperty_new_status(ICAL_STATUS_COMPLETED)));
        fields.added.push_back(lineOf(icalproperty_new_completed(utcTime(date.value_or(now)))));
        fields.replaced.insert("PERCENT-COMPLETE");
        fields.added.push_back(lineOf(icalproperty_new_percentcomplete(100)));
        return;
    }
    fields.added.push_back(lineOf(icalproperty_new_status(ICAL_STATUS_NEEDSACTION)));
    for (std::size_t k = block.begin + 1; k < block.end; ++k) {
        if (propertyName(lines[k]) == "PERCENT-COMPLETE" && propertyValue(lines[k]) == "100")
            fields.replaced.insert("PERCENT-COMPLETE");
    }
}

FieldLines changedFieldLines(
    const std::vector<std::string>& lines, const Block& block, const TodoChanges& changes)
{
    FieldLines fields;
    addStampLines(lines, block, changes, fields);
    if (changes.title) {
        fields.replaced.insert("SUMMARY");
        if (*changes.title)
            fields.added.push_back(lineOf(icalproperty_new_summary((*changes.title)->c_str())));
    }
    if (changes.start)
        addTimeLine(ICAL_DTSTART_PROPERTY, "DTSTART", *changes.start, changes.timeZone, fields);
    if (changes.due)
        addTimeLine(ICAL_DUE_PROPERTY, "DUE", *changes.due, changes.timeZone, fields);
    if (changes.completion)
        addCompletionLines(lines, block, *changes.completion, changes.now, fields);
    return fields;
}

// The VTODO's new inside: its lines that stay, the new field lines, then its nested
// components but its absolute alarms (the alarm at the due date is made anew).
std::vector<std::string> rebuiltBody(
    const std::vector<std::string>& lines, const Block& block, const FieldLines& fields)
{
    std::vector<std::string> body;
    std::vector<std::string> nested;
    for (std::size_t k = block.begin + 1; k < block.end; ++k) {
        if (propertyName(lines[k]) == "BEGIN") {
            int depth = 0;
            std::size_t end = k;
            for (; end < block.end; ++end) {
                const std::string name = propertyName(lines[end]);
                if (name == "BEGIN")
                    ++depth;
                else if (name == "END" && --depth == 0)
                    break;
            }
            const bool drop = isBegin(lines[k], "VALARM") && isAbsoluteAlarm(lines, k, end);
            if (!drop)
                nested.insert(nested.end(), lines.begin() + std::ptrdiff_t(k),
                    lines.begin() + std::ptrdiff_t(end) + 1);
            k = end;
            continue;
        }
        if (!fields.replaced.count(propertyName(lines[k])))
            body.push_back(lines[k]);
    }
    body.insert(body.end(), fields.added.begin(), fields.added.end());
    body.insert(body.end(), nested.begin(), nested.end());
    return body;
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

// Each named zone the task now refers to gets its definition when the file lacks one.
void addMissingTimeZones(std::vector<std::string>& result, const FieldLines& fields)
{
    for (const std::string& zone : fields.zones) {
        bool defined = false;
        for (std::size_t k = 0; k + 1 < result.size() && !defined; ++k) {
            if (isBegin(result[k], "VTIMEZONE")) {
                for (std::size_t m = k + 1; m < result.size() && !isEnd(result[m], "VTIMEZONE");
                     ++m) {
                    if (propertyName(result[m]) == "TZID" && propertyValue(result[m]) == zone)
                        defined = true;
                }
            }
        }
        if (defined || !isBegin(result.front(), "VCALENDAR"))
            continue;
        std::vector<std::string> definition = timeZoneBlock(zone, fields.earliestYear);
        std::size_t at = 1;
        while (at < result.size() && propertyName(result[at]) != "BEGIN"
            && propertyName(result[at]) != "END")
            ++at;
        result.insert(result.begin() + std::ptrdiff_t(at), definition.begin(), definition.end());
    }
}

} // namespace

std::optional<std::string> write(
    std::string_view original, const TodoChanges& changes, bool matchFirstWithoutUid)
{
    std::vector<std::string> lines
        = original.empty() ? newCalendar(changes.uid, changes.now) : contentLines(original);
    const auto block = findTodo(lines, changes.uid, matchFirstWithoutUid);
    if (!block)
        return std::nullopt;

    const Todo current = currentTodo(original, changes, matchFirstWithoutUid);
    const std::optional<std::string> title = changes.title ? *changes.title : current.title;
    const std::optional<DateComponents> due = changes.due ? *changes.due : current.due;

    const FieldLines fields = changedFieldLines(lines, *block, changes);
    std::vector<std::string> body = rebuiltBody(lines, *block, fields);
    const auto alarm = dueAlarm(due, title, changes.timeZone);
    body.insert(body.end(), alarm.begin(), alarm.end());

    std::vector<std::string> result(
        lines.begin(), lines.begin() + std::ptrdiff_t(block->begin) + 1);
    result.insert(result.end(), body.begin(), body.end());
    result.insert(result.end(), lines.begin() + std::ptrdiff_t(block->end), lines.end());
    addMissingTimeZones(result, fields);
    return serialize(result);
}

std::optional<std::string> remove(
    std::string_view original, const std::string& uid, bool matchFirstWithoutUid)
{
    std::vector<std::string> lines = contentLines(original);
    const auto block = findTodo(lines, uid, matchFirstWithoutUid);
    if (!block)
        return std::nullopt;
    lines.erase(lines.begin() + std::ptrdiff_t(block->begin),
        lines.begin() + std::ptrdiff_t(block->end) + 1);
    int depth = 0;
    bool otherComponents = false;
    for (const std::string& line : lines) {
        const std::string name = propertyName(line);
        if (name == "BEGIN" && ++depth == 2 && !isBegin(line, "VTIMEZONE"))
            otherComponents = true;
        else if (name == "END")
            --depth;
    }
    if (!otherComponents)
        return std::string();
    return serialize(lines);
}

} // namespace tidemark::ics
