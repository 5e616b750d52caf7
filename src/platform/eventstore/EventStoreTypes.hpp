#pragma once

#include <optional>
#include <stdexcept>
#include <string>

namespace tidemark {

// What a calendar holds or what access is asked for. Only reminders are kept here;
// events exist so that callers can name them and get a clear refusal.
enum class EntityType {
    event = 0,
    reminder = 1,
};

// Whether the user let this program read and write the calendar task lists.
enum class AuthorizationStatus {
    notDetermined = 0,
    restricted = 1,
    denied = 2,
    fullAccess = 3,
    writeOnly = 4,
};

// An account that holds task lists: one folder directly under the store's root.
struct Source {
    std::string sourceIdentifier; // the folder's name
    std::string title; // its `displayname` file, else the folder's name

    bool operator==(const Source&) const = default;
};

// A task list: one folder below a source. A calendar made with `forEntityType` has no
// identifier until the store saves it.
struct EventCalendar {
    std::string calendarIdentifier; // "<source folder>/<list folder>", stable
    std::string title; // its `displayname` file, else the folder's name
    std::optional<std::string> color; // its `color` file as written there ("#RRGGBB")
    std::optional<Source> source;
    EntityType allowedEntityType = EntityType::reminder;

    static EventCalendar forEntityType(EntityType type)
    {
        EventCalendar calendar;
        calendar.allowedEntityType = type;
        return calendar;
    }

    bool operator==(const EventCalendar&) const = default;
};

// Why a save, removal, commit or access request failed.
class EventStoreError : public std::runtime_error {
public:
    enum class Code {
        accessDenied, // the user did not grant the access the operation needs
        noCalendar, // a new reminder has no list and there is no default list
        calendarNotFound, // the list named does not exist (any more)
        sourceNotFound, // a new list names no existing source
        invalidEntityType, // events are not kept by this store
        writeFailed, // the file system refused a write, rename or removal
        notWritable, // the change would leave a file that does not read back as written
        noAccessPrompt, // access is undetermined and nobody can be asked
    };

    EventStoreError(Code code, const std::string& message)
        : std::runtime_error(message)
        , m_code(code)
    {
    }
    Code code() const { return m_code; }

private:
    Code m_code;
};

} // namespace tidemark
