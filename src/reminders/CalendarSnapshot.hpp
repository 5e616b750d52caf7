#pragma once

#include "reminders/Reminder.hpp"

#include <nlohmann/json_fwd.hpp>

#include <cstdint>
#include <optional>
#include <string>

namespace tidemark::snapshot {

// The calendar store's kinds and masks are kept as their raw numbers: a value the store
// does not define reads and writes back unchanged.
using CalendarType = std::int64_t;
using SourceType = std::int64_t;
using EntityMask = std::uint64_t;
using EventAvailabilityMask = std::uint64_t;

// What the calendar store shows of an account at the moment it is asked.
struct LiveSource {
    std::string sourceIdentifier;
    SourceType sourceType = 0;
    std::string title;

    bool operator==(const LiveSource&) const = default;
};

// What the calendar store shows of a calendar at the moment it is asked.
struct LiveCalendar {
    std::string calendarIdentifier;
    std::string title;
    CalendarType type = 0;
    EntityMask allowedEntityTypes = 0;
    std::optional<LiveSource> source;
    EventAvailabilityMask supportedEventAvailabilities = 0;

    bool operator==(const LiveCalendar&) const = default;
};

// A stored picture of an account. It matches a live account with the same identifier, or
// else one of the same type and title.
struct SourceIdentifier {
    std::string sourceIdentifier;
    SourceType sourceType = 0;
    std::string title;

    bool isEqual(const LiveSource& source) const;
    bool operator==(const SourceIdentifier&) const = default;
};

// A stored picture of a calendar. It matches a live calendar with the same identifier, or
// else one that agrees in title, type, entity types, account and availabilities, so a
// calendar that came back under a new identifier is still recognised. A live calendar
// without an account matches only by identifier.
struct CalendarIdentifier {
    std::string title;
    CalendarType type = 0;
    EntityMask allowedEntityTypes = 0;
    SourceIdentifier source;
    EventAvailabilityMask supportedEventAvailabilities = 0;
    std::string calendarIdentifier;

    bool isEqual(const LiveCalendar& calendar) const;
    bool operator==(const CalendarIdentifier&) const = default;
};

// Keyed objects, every key required: "sourceIdentifier", "sourceType", "title" and
// "title", "type", "allowedEntityTypes", "source", "supportedEventAvailabilities",
// "calendarIdentifier". Kinds are signed and masks unsigned 64-bit integers; a missing
// key or a value of another kind throws nlohmann::json::exception. The ordered form
// keeps the keys in the order above.
void to_json(nlohmann::json& json, const SourceIdentifier& source);
void to_json(nlohmann::ordered_json& json, const SourceIdentifier& source);
void from_json(const nlohmann::json& json, SourceIdentifier& source);
void from_json(const nlohmann::ordered_json& json, SourceIdentifier& source);
void to_json(nlohmann::json& json, const CalendarIdentifier& calendar);
void to_json(nlohmann::ordered_json& json, const CalendarIdentifier& calendar);
void from_json(const nlohmann::json& json, CalendarIdentifier& calendar);
void from_json(const nlohmann::ordered_json& json, CalendarIdentifier& calendar);

} // namespace tidemark::snapshot

namespace tidemark {

// A list as an object with identity, for places that hold on to one and let subclasses
// change how its fields are read or written.
class AnyListObjectWrapper {
public:
    AnyListObjectWrapper(std::string id, std::string title);
    virtual ~AnyListObjectWrapper() = default;

    virtual std::string id() const;
    virtual void setId(std::string id);
    virtual std::string title() const;
    virtual void setTitle(std::string title);

    // The list as a value, read through the accessors above.
    AnyList toAnyList() const;

private:
    std::string m_id;
    std::string m_title;
};

} // namespace tidemark
