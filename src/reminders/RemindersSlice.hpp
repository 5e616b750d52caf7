#pragma once

#include "core/Action.hpp"
#include "core/Submittable.hpp"
#include "platform/foundation/Calendar.hpp"
#include "reminders/AutomaticRemoval.hpp"
#include "reminders/Reminder.hpp"

#include <optional>
#include <set>
#include <string>
#include <variant>

namespace tidemark {

// How the remove commands take reminders away: `archive` completes them (they stay in the
// data source), `delete` deletes them. No action changes it, so it stays `archive`.
enum class ReminderRemovalMode {
    delete_,
    archive,
};

// The request for access to the user's reminder lists on the calendar store.
struct AppleRemindersState {
    SubmittableState requestAuthorization;

    bool operator==(const AppleRemindersState&) const = default;
};

struct RemindersServicesState {
    RemindersDataSource dataSource = RemindersDataSource::local;
    AppleRemindersState appleReminders;

    bool operator==(const RemindersServicesState&) const = default;
};

// The working context around the reminders: what is selected and edited, the list in use,
// how reminders are removed, the data source, and the automatic removal's settings.
struct RemindersState {
    AutomaticRemovalState automaticRemoval;
    std::optional<std::set<AnyReminder>> editing;
    ReminderRemovalMode removalMode = ReminderRemovalMode::archive;
    std::optional<AnyList> selectedList;
    std::set<std::string> selection;
    RemindersServicesState services;

    // The state at launch: automatic removal off at 04:00 of the day of `now` with an
    // interval of 480 seconds, nothing selected or edited, the local data source.
    static RemindersState initial(Date now, const Calendar& calendar);

    bool operator==(const RemindersState&) const = default;
};

using AuthorizationRequestAction = SubmittableAction<EquatableVoid, EquatableVoid>;

struct AppleRemindersActionCases {
    struct RequestAuthorization {
        AuthorizationRequestAction action;
        bool operator==(const RequestAuthorization&) const = default;
    };
    using Variant = std::variant<RequestAuthorization>;
};

struct AppleRemindersAction : ActionOf<AppleRemindersActionCases> {
    using ActionOf::ActionOf;
};

struct RemindersServicesActionCases {
    struct AppleReminders {
        AppleRemindersAction action;
        bool operator==(const AppleReminders&) const = default;
    };
    // Also sent with the data source already in use: the storage middlewares react to it.
    struct DataSource {
        RemindersDataSource dataSource = RemindersDataSource::local;
        bool operator==(const DataSource&) const = default;
    };
    using Variant = std::variant<AppleReminders, DataSource>;
};

struct RemindersServicesAction : ActionOf<RemindersServicesActionCases> {
    using ActionOf::ActionOf;
};

struct RemindersActionCases {
    struct AutomaticRemoval {
        AutomaticRemovalAction action;
        bool operator==(const AutomaticRemoval&) const = default;
    };
    // Handled by the root reducer, which keeps only the reminders whose edits differ.
    struct Editing {
        std::optional<std::set<AnyReminder>> editing;
        bool operator==(const Editing&) const = default;
    };
    struct SelectedList {
        std::optional<AnyList> list;
        bool operator==(const SelectedList&) const = default;
    };
    struct Selection {
        std::set<std::string> selection;
        bool operator==(const Selection&) const = default;
    };
    // Handled by the root reducer, which selects the id of every stored reminder.
    struct SelectAll {
        bool operator==(const SelectAll&) const = default;
    };
    struct Services {
        RemindersServicesAction action;
        bool operator==(const Services&) const = default;
    };
    using Variant
        = std::variant<AutomaticRemoval, Editing, SelectedList, Selection, SelectAll, Services>;
};

struct RemindersAction : ActionOf<RemindersActionCases> {
    using ActionOf::ActionOf;
};

// The access request's step alone.
void appleRemindersReducer(AppleRemindersState& state, const AppleRemindersAction& action);

// Applies one action; `editing` is left to the root reducer.
void remindersReducer(RemindersState& state, const RemindersAction& action);

} // namespace tidemark
