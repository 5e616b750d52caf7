#pragma once

#include "platform/persistence/CDReminder.hpp"

#include <memory>
#include <set>
#include <string>
#include <variant>
#include <vector>

namespace tidemark {

// The attributes of a stored reminder, by the names the store gives its columns.
enum class ReminderAttribute { completionDate, dueDate, identifier, isCompleted, startDate, title };

std::string_view attributeName(ReminderAttribute attribute);

// A value to compare an attribute with; std::monostate stands for "no value".
using AttributeValue = std::variant<std::monostate, std::string, Date, bool>;

AttributeValue attributeValue(const CDReminder& object, ReminderAttribute attribute);

// A condition on stored reminders, evaluated alike by the store (as SQL) and by the
// context (on objects whose changes are not saved yet). Comparisons are two-valued: an
// attribute without a value equals only "no value" and differs from everything else.
class Predicate {
public:
    // Matches every object, or none.
    static Predicate truePredicate();
    static Predicate falsePredicate();
    // "attribute = value", "attribute != value".
    static Predicate equal(ReminderAttribute attribute, AttributeValue value);
    static Predicate notEqual(ReminderAttribute attribute, AttributeValue value);
    // "attribute IN values": false for an object without a value and for an empty list.
    static Predicate in(ReminderAttribute attribute, std::vector<AttributeValue> values);
    // An OR of no predicates matches nothing, an AND of none matches everything.
    static Predicate anyOf(std::vector<Predicate> predicates);
    static Predicate allOf(std::vector<Predicate> predicates);
    static Predicate negation(Predicate predicate);

    // Reminders whose identifier is one of the given ones (none for an empty set).
    static Predicate identifierIn(const std::set<std::string>& identifiers);
    // "isCompleted != true": the reminders still open.
    static Predicate notCompleted();

    bool evaluate(const CDReminder& object) const;
    // A readable form, such as `isCompleted != true`.
    std::string description() const;

    // The SQL condition, appending the values to bind in order.
    std::string sql(std::vector<AttributeValue>& bindings) const;
    // How many values `sql` binds.
    std::size_t bindingCount() const;

private:
    struct Node;
    explicit Predicate(std::shared_ptr<const Node> node);
    std::shared_ptr<const Node> m_node;
};

struct SortDescriptor {
    ReminderAttribute key;
    bool ascending = true;

    bool operator==(const SortDescriptor&) const = default;
};

// What to fetch: every object of the entity that matches the predicate (all without
// one), sorted by the descriptors and then by identity. With `includesPendingChanges`
// (the default) the result shows the context's unsaved inserts, updates and deletes.
struct FetchRequest {
    std::string entityName = std::string(CDReminder::entityName);
    std::optional<Predicate> predicate;
    std::vector<SortDescriptor> sortDescriptors;
    std::optional<std::size_t> fetchLimit;
    bool includesPendingChanges = true;
};

// Deletes in the store, in one statement, every object that the fetch request's
// predicate matches; it bypasses the context (and so undo), which learns of the deletions
// when the result is merged (`ManagedObjectContext::mergeChanges`).
struct BatchDeleteRequest {
    FetchRequest fetchRequest;
};

struct BatchDeleteResult {
    // The deleted objects with the values they had, in the order of their identities.
    std::vector<CDReminder> deletedObjects;

    std::vector<ManagedObjectID> deletedObjectIDs() const;
    // The changes to merge into a context.
    ChangeSet changes() const { return ChangeSet { {}, {}, deletedObjects }; }
};

} // namespace tidemark
