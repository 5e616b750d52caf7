#include "reminders/middleware/PersistentRemindersMiddleware.hpp"

#include "core/Action.hpp"
#include "core/Overloaded.hpp"
#include "platform/logging/LogCategories.hpp"
#include "reminders/ReminderMerge.hpp"

#include <exception>
#include <iostream>

namespace tidemark {

namespace {

using Items = RemindersItemsAction;
using Sources = RemindersSourcesAction;

rx::Publisher<AppAction> answer(AppAction action)
{
    return rx::Just(std::move(action));
}

rx::Publisher<AppAction> nothing()
{
    return rx::Empty<AppAction>();
}

// Runs one request. A thrown error is written to the standard output (as a debug line) and
// to the log, and becomes the failure the request is answered with.
template <class Output, class Call> RequestResult<Output> attempt(Call call)
{
    std::string failure;
    try {
        return RequestResult<Output>::success(call());
    } catch (const std::exception& error) {
        failure = error.what();
    } catch (...) {
        failure = "unknown error";
    }
    std::cout << debugDescription("Unresolved error " + failure) << std::endl;
    appLogger(logcategory::reminders).error("Unresolved error " + failure);
    return RequestResult<Output>::failure(Error(failure));
}

rx::Publisher<AppAction> performRequest(PersistentRemindersStorable& service,
    const LastReadReminders& lastRead, const AppAction& action)
{
    auto store = caseOf<AppAction::RemindersStore>(action);
    if (!store)
        return nothing();

    if (auto sources = caseOf<RemindersStoreAction::Sources>(store->action)) {
        auto read = sources->action.asRead();
        if (!read || !read->asSubmit())
            return nothing();
        // The local store holds no lists: its sources are present and empty.
        return answer(actions::sourcesAction(
            Sources::read(Sources::ReadAction::success(std::set<AnySource> {}))));
    }

    auto items = caseOf<RemindersStoreAction::Items>(store->action);
    if (!items)
        return nothing();
    const auto& request = items->action;
    if (auto create = request.asCreate(); create && create->asSubmit()) {
        const auto& reminders = create->asSubmit()->input;
        auto result = attempt<RemindersStore::Items>([&] { return service.create(reminders); });
        return answer(
            actions::itemsAction(Items::create(Items::CreateAction::result(std::move(result)))));
    }
    if (auto read = request.asRead(); read && read->asSubmit()) {
        auto result = attempt<RemindersStore::Items>([&] { return service.read(); });
        return answer(
            actions::itemsAction(Items::read(Items::ReadAction::result(std::move(result)))));
    }
    if (auto update = request.asUpdate(); update && update->asSubmit()) {
        const auto& reminders = update->asSubmit()->input;
        auto result = attempt<EquatableVoid>([&] {
            service.update(reminders, lastRead.versionsOf(reminders));
            return EquatableVoid {};
        });
        return answer(
            actions::itemsAction(Items::update(Items::UpdateAction::result(std::move(result)))));
    }
    if (auto remove = request.asDelete(); remove && remove->asSubmit()) {
        const auto& identifiers = remove->asSubmit()->input;
        auto result = attempt<EquatableVoid>([&] {
            service.delete_(identifiers);
            return EquatableVoid {};
        });
        return answer(
            actions::itemsAction(Items::delete_(Items::DeleteAction::result(std::move(result)))));
    }
    return nothing();
}

} // namespace

Store<AppState, AppAction>::Middleware persistentRemindersMiddleware(
    std::shared_ptr<PersistentRemindersStorable> service)
{
    // The reminders as the state last read them, so that an update writes only what the
    // user changed (another process may have written the store meanwhile).
    auto lastRead = std::make_shared<LastReadReminders>();
    return [service, lastRead](const AppState& state,
               const AppAction& action) -> std::optional<rx::Publisher<AppAction>> {
        if (auto chosen = caseAt<AppAction::Reminders, RemindersAction::Services,
                RemindersServicesAction::DataSource>(action)) {
            lastRead->clear();
            if (chosen->dataSource == RemindersDataSource::local)
                return observeLocalReminderChanges(service);
            // Another data source: the local steps could only change a store no longer
            // shown, so they go, and the store is no longer observed.
            if (auto manager = service->undoManager())
                manager->removeAllActions(service->undoTarget());
            service->setUndoManager(nullptr);
            service->stopObserving();
        } else if (auto given
            = caseAt<AppAction::UndoManager, UndoManagerAction::SetManager>(action)) {
            if (state.reminders.services.dataSource == RemindersDataSource::local)
                service->setUndoManager(given->manager);
        } else if (auto read = caseAt<AppAction::Settings, SettingsAction::Read>(action)) {
            auto stored = read->action.successValue();
            if (stored && stored->reminders.dataSource == RemindersDataSource::local)
                return observeLocalReminderChanges(service);
        }

        if (state.reminders.services.dataSource != RemindersDataSource::local)
            return nothing();
        auto answer = performRequest(*service, *lastRead, action);
        if (auto items = caseAt<AppAction::RemindersStore, RemindersStoreAction::Items>(action))
            lastRead->observe(items->action);
        return answer;
    };
}

rx::Publisher<AppAction> observeLocalReminderChanges(
    const std::shared_ptr<PersistentRemindersStorable>& service)
{
    const AppAction readRequest
        = actions::itemsAction(Items::read(Items::ReadAction::submit(EquatableVoid {})));
    return rx::merge(answer(readRequest),
        service->changes().map([readRequest](const rx::Unit&) { return readRequest; }));
}

std::string debugDescription(const std::string& text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            quoted += "\\\"";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '\n':
            quoted += "\\n";
            break;
        case '\t':
            quoted += "\\t";
            break;
        default:
            quoted += c;
        }
    }
    return quoted + "\"";
}

} // namespace tidemark
