#include "reminders/applereminders/middleware/AppleRemindersMiddleware.hpp"

#include "core/Action.hpp"
#include "core/AsyncPublisher.hpp"
#include "platform/reactive/Executor.hpp"
#include "platform/reactive/Future.hpp"
#include "reminders/ReminderMerge.hpp"

namespace tidemark {

namespace {

using Formatter = AppleRemindersServicable::Formatter;
using Queue = std::shared_ptr<rx::SerialQueue>;
using ItemsRead = RemindersItemsAction::ReadAction;
using SourcesRead = RemindersSourcesAction::ReadAction;

AppAction authorizationAction(AuthorizationRequestAction action)
{
    return AppAction::Reminders { RemindersAction::Services {
        RemindersServicesAction::AppleReminders {
            AppleRemindersAction::RequestAuthorization { std::move(action) } } } };
}

AppAction sourcesReadSubmit()
{
    return actions::sourcesAction(RemindersSourcesAction::read(SourcesRead::submit({})));
}

// The formatter is not synchronised: each request gets a copy of its own, made here on
// the main thread.
Formatter copyOf(const std::shared_ptr<DateComponentsFormatter>& shared)
{
    if (!shared)
        return nullptr;
    auto copy = std::make_shared<DateComponentsFormatter>();
    copy->setAllowedUnits(shared->allowedUnits());
    copy->setUnitsStyle(shared->unitsStyle());
    copy->setMaximumUnitCount(shared->maximumUnitCount());
    copy->setZeroFormattingBehavior(shared->zeroFormattingBehavior());
    copy->setAllowsFractionalUnits(shared->allowsFractionalUnits());
    copy->setCollapsesLargestUnit(shared->collapsesLargestUnit());
    copy->setIncludesApproximationPhrase(shared->includesApproximationPhrase());
    copy->setIncludesTimeRemainingPhrase(shared->includesTimeRemainingPhrase());
    copy->setFormattingContext(shared->formattingContext());
    copy->setCalendar(shared->calendar());
    copy->setLocale(shared->locale());
    return copy;
}

// One service call on the queue, answered by exactly one action.
template <class T, class Call, class Answer>
rx::Publisher<AppAction> request(const Queue& queue, Call call, Answer answer)
{
    auto work = makeAsyncPublisher<T>([call](std::stop_token) { return call(); }, *queue);
    // The publisher keeps the queue alive as long as anyone can subscribe to it.
    rx::Publisher<T, Error> kept([work, queue](rx::Subscriber<T, Error> subscriber) {
        return work.subscribe(std::move(subscriber));
    });
    return rx::mapResult(
        kept, [answer](const RequestResult<T>& result) -> AppAction { return answer(result); });
}

// The answer of a request that gives no value, in the operation's case.
template <class Case> AppAction voidAnswer(const RequestResult<EquatableVoid>& result)
{
    Case operation { result.isSuccess() ? decltype(Case::action)::success(EquatableVoid {})
                                        : decltype(Case::action)::failure(result.error()) };
    return AppAction::RemindersStore { RemindersStoreAction::Items {
        RemindersItemsAction(operation) } };
}

rx::Publisher<AppAction> listRead(const std::shared_ptr<AppleRemindersServicable>& service,
    const Queue& queue, const std::optional<AnyList>& list, Formatter formatter)
{
    std::vector<std::string> listIDs;
    if (list)
        listIDs.push_back(list->id);
    return request<std::set<AnyReminder>>(
        queue,
        [service, listIDs, formatter] { return service->fetchReminders(listIDs, formatter); },
        [](const RequestResult<std::set<AnyReminder>>& result) {
            return actions::itemsAction(RemindersItemsAction::read(ItemsRead::result(result)));
        });
}

std::optional<rx::Publisher<AppAction>> sourcesStep(
    const std::shared_ptr<AppleRemindersServicable>& service, const Queue& queue,
    const AppState& state, const AppAction& action)
{
    auto sources = caseAt<AppAction::RemindersStore, RemindersStoreAction::Sources>(action);
    auto read = sources ? sources->action.asRead() : nullptr;
    if (!read)
        return std::nullopt;
    if (read->asSubmit()) {
        return request<std::set<AnySource>>(
            queue, [service] { return service->sources(); },
            [](const RequestResult<std::set<AnySource>>& result) {
                auto answer = result.isSuccess()
                    ? SourcesRead::success(RemindersStore::Sources(result.value()))
                    : SourcesRead::failure(result.error());
                return actions::sourcesAction(RemindersSourcesAction::read(answer));
            });
    }
    if (read->successValue() && state.reminders.selectedList)
        return rx::Just(actions::itemsAction(RemindersItemsAction::read(ItemsRead::submit({}))));
    return std::nullopt;
}

std::optional<rx::Publisher<AppAction>> itemsStep(
    const std::shared_ptr<AppleRemindersServicable>& service, const Queue& queue,
    const LastReadReminders& lastRead, const AppState& state, const AppAction& action)
{
    auto found = caseAt<AppAction::RemindersStore, RemindersStoreAction::Items>(action);
    if (!found)
        return std::nullopt;
    const RemindersItemsAction* items = &found->action;
    using Void = RequestResult<EquatableVoid>;
    if (auto create = items->asCreate(); create && create->asSubmit()) {
        return request<std::set<AnyReminder>>(
            queue,
            [service, reminders = create->asSubmit()->input,
                formatter = copyOf(state.notifications.defaultTitleFormatter)] {
                return service->create(reminders, formatter);
            },
            [](const RequestResult<std::set<AnyReminder>>& result) {
                return actions::itemsAction(RemindersItemsAction::create(
                    RemindersItemsAction::CreateAction::result(result)));
            });
    }
    if (auto read = items->asRead(); read && read->asSubmit())
        return listRead(service, queue, state.reminders.selectedList,
            copyOf(state.notifications.defaultTitleFormatter));
    if (auto update = items->asUpdate(); update && update->asSubmit()) {
        return request<EquatableVoid>(
            queue,
            [service, reminders = update->asSubmit()->input,
                read = lastRead.versionsOf(update->asSubmit()->input),
                formatter = copyOf(state.notifications.defaultTitleFormatter)] {
                service->update(reminders, read, formatter);
                return EquatableVoid {};
            },
            [](const Void& result) { return voidAnswer<RemindersItemsAction::Update>(result); });
    }
    if (auto remove = items->asDelete(); remove && remove->asSubmit()) {
        return request<EquatableVoid>(
            queue,
            [service, identifiers = remove->asSubmit()->input,
                formatter = copyOf(state.notifications.defaultTitleFormatter)] {
                service->delete_(identifiers, formatter);
                return EquatableVoid {};
            },
            [](const Void& result) { return voidAnswer<RemindersItemsAction::Delete>(result); });
    }
    return std::nullopt;
}

// The requests, while the calendar task lists are the data source.
rx::Publisher<AppAction> requests(const std::shared_ptr<AppleRemindersServicable>& service,
    const Queue& queue, const LastReadReminders& lastRead, const AppState& state,
    const AppAction& action)
{
    if (state.reminders.services.dataSource != RemindersDataSource::appleReminders)
        return rx::Empty<AppAction>();
    if (auto answer = sourcesStep(service, queue, state, action))
        return *answer;
    if (auto selected = caseAt<AppAction::Reminders, RemindersAction::SelectedList>(action);
        selected && selected->list)
        return listRead(
            service, queue, selected->list, copyOf(state.notifications.defaultTitleFormatter));
    if (auto answer = itemsStep(service, queue, lastRead, state, action))
        return *answer;
    return rx::Empty<AppAction>();
}

// What the middleware does with one action, before it notes what the state read.
std::optional<rx::Publisher<AppAction>> respond(
    const std::shared_ptr<AppleRemindersServicable>& service, const Queue& queue,
    LastReadReminders& lastRead, const AppState& state, const AppAction& action)
{
    if (auto choice = caseAt<AppAction::Reminders, RemindersAction::Services,
            RemindersServicesAction::DataSource>(action)) {
        lastRead.clear();
        if (choice->dataSource == RemindersDataSource::appleReminders)
            return observeAppleReminderChanges(service);
        // Another data source: the undo steps aimed at the lists go, and so does
        // the observation.
        if (auto manager = service->undoManager())
            manager->removeAllActions(service->undoTarget());
        service->setUndoManager(nullptr);
        service->stopObserving();
        return requests(service, queue, lastRead, state, action);
    }
    if (auto authorization = caseAt<AppAction::Reminders, RemindersAction::Services,
            RemindersServicesAction::AppleReminders, AppleRemindersAction::RequestAuthorization>(
            action);
        authorization && authorization->action.asSubmit()) {
        return rx::mapResult(
            service->requestAccess(), [](const RequestResult<EquatableVoid>& result) {
                return authorizationAction(AuthorizationRequestAction::result(result));
            });
    }
    if (auto set = caseAt<AppAction::UndoManager, UndoManagerAction::SetManager>(action);
        set && state.reminders.services.dataSource == RemindersDataSource::appleReminders)
        service->setUndoManager(set->manager);
    if (auto read = caseAt<AppAction::Settings, SettingsAction::Read>(action)) {
        if (auto stored = read->action.successValue();
            stored && stored->reminders.dataSource == RemindersDataSource::appleReminders)
            return observeAppleReminderChanges(service);
    }
    return requests(service, queue, lastRead, state, action);
}

} // namespace

rx::Publisher<AppAction> observeAppleReminderChanges(
    std::shared_ptr<AppleRemindersServicable> service)
{
    auto changes
        = service->changes().share().map([](const rx::Unit&) { return sourcesReadSubmit(); });
    auto access = rx::mapResult(
        service->requestAccess(), [](const RequestResult<EquatableVoid>& result) -> AppAction {
            if (result.isSuccess())
                return sourcesReadSubmit();
            return actions::sourcesAction(
                RemindersSourcesAction::read(SourcesRead::failure(result.error())));
        });
    return rx::merge(changes, access);
}

Store<AppState, AppAction>::Middleware appleRemindersMiddleware(
    std::shared_ptr<AppleRemindersServicable> service)
{
    auto queue = std::make_shared<rx::SerialQueue>(rx::backgroundQueue());
    // Only touched on the main thread, inside the store's dispatch.
    auto lastRead = std::make_shared<LastReadReminders>();
    return [service, queue, lastRead](const AppState& state,
               const AppAction& action) -> std::optional<rx::Publisher<AppAction>> {
        auto answer = respond(service, queue, *lastRead, state, action);
        if (state.reminders.services.dataSource == RemindersDataSource::appleReminders) {
            if (auto items = caseAt<AppAction::RemindersStore, RemindersStoreAction::Items>(action))
                lastRead->observe(items->action);
        }
        return answer;
    };
}

} // namespace tidemark
