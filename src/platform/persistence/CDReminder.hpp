#pragma once

#include "platform/foundation/Date.hpp"

#include <chrono>
#include <compare>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemark {

// The identity of a stored object, given by the context when the object is inserted and
// kept for the object's whole life (also across undo and redo). 0 is no object.
struct ManagedObjectID {
    std::int64_t value = 0;

    bool isValid() const { return value > 0; }
    auto operator<=>(const ManagedObjectID&) const = default;
};

// One stored reminder as a value: the entity's six attributes and the object's identity.
// Read it from a fetch, change the copy, and hand it back to the context with `update`.
// Dates are kept to the microsecond.
struct CDReminder {
    static constexpr std::string_view entityName = "CDReminder";

    ManagedObjectID objectID;
    std::optional<Date> completionDate;
    std::optional<Date> dueDate;
    std::optional<std::string> identifier;
    bool isCompleted = false;
    std::optional<Date> startDate;
    std::optional<std::string> title;

    // The identity the reminder shows outside: its identifier, or "" without one.
    std::string identifierString() const { return identifier.value_or(std::string()); }

    bool operator==(const CDReminder&) const = default;
};

// Inserted, updated and deleted objects of one save or one round of changes, each list in
// the order of the objects' identities. Deleted objects carry their last values.
struct ChangeSet {
    std::vector<CDReminder> inserted;
    std::vector<CDReminder> updated;
    std::vector<CDReminder> deleted;

    bool empty() const { return inserted.empty() && updated.empty() && deleted.empty(); }
    bool operator==(const ChangeSet&) const = default;
};

// A date as the store keeps it: to the microsecond.
inline Date truncatedToMicroseconds(Date date)
{
    return std::chrono::floor<std::chrono::microseconds>(date);
}

// The identifiers (`identifierString`) of a list of objects, in the list's order.
std::vector<std::string> identifiersOf(const std::vector<CDReminder>& objects);

} // namespace tidemark

template <> struct std::hash<tidemark::ManagedObjectID> {
    std::size_t operator()(const tidemark::ManagedObjectID& id) const noexcept
    {
        return std::hash<std::int64_t>()(id.value);
    }
};
