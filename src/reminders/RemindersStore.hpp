#pragma once

#include "core/Action.hpp"
#include "core/Submittable.hpp"
#include "reminders/Reminder.hpp"

#include <optional>
#include <set>
#include <string>
#include <variant>

namespace tidemark {

// The reminders and the accounts with their lists as last read from the data source in
// use, with the progress of every request on them. The sources stay none until a first
// read succeeds, so a view can tell "never read" from "no accounts".
struct RemindersStore {
    using Items = std::set<AnyReminder>;
    using Sources = std::optional<std::set<AnySource>>;

    SubmittableValueState<Items> items;
    SubmittableValueState<Sources> sources;

    bool operator==(const RemindersStore&) const = default;
};

// A model operation on the reminders (identified by their `id`) or on the sources.
using RemindersItemsAction
    = ModelOperationAction<RemindersStore::Items, EquatableVoid, std::string>;
using RemindersSourcesAction
    = ModelOperationAction<RemindersStore::Sources, EquatableVoid, std::string>;

struct RemindersStoreActionCases {
    struct Items {
        RemindersItemsAction action;
        bool operator==(const Items&) const = default;
    };
    struct Sources {
        RemindersSourcesAction action;
        bool operator==(const Sources&) const = default;
    };
    using Variant = std::variant<Items, Sources>;
};

struct RemindersStoreAction : ActionOf<RemindersStoreActionCases> {
    using ActionOf::ActionOf;
};

// Folds a request step into the slice. Reminders: status, then the submitted sets, then
// the removal of the old versions of updated reminders, then a read's new value. Sources:
// status, then a read's new value (submitted sources are not recorded).
void remindersStoreReducer(RemindersStore& state, const RemindersStoreAction& action);

} // namespace tidemark
