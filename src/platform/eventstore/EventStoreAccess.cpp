#include "platform/eventstore/EventStorePrivate.hpp"

#include "platform/reactive/Scheduler.hpp"

#include <cerrno>
#include <cstdio>
#include <mutex>

#include <unistd.h>

namespace fs = std::filesystem;

namespace tidemark {

using namespace eventstore;

namespace {

const char* statusName(AuthorizationStatus status)
{
    switch (status) {
    case AuthorizationStatus::notDetermined:
        return "notDetermined";
    case AuthorizationStatus::restricted:
        return "restricted";
    case AuthorizationStatus::denied:
        return "denied";
    case AuthorizationStatus::fullAccess:
        return "fullAccess";
    case AuthorizationStatus::writeOnly:
        return "writeOnly";
    }
    return "notDetermined";
}

} // namespace

void AccessState::load()
{
    if (file.isEmpty())
        return;
    const auto text = readSmallFile(file.toStdString());
    if (!text)
        return;
    for (auto status : { AuthorizationStatus::denied, AuthorizationStatus::fullAccess,
             AuthorizationStatus::writeOnly, AuthorizationStatus::restricted }) {
        if (*text == std::string("reminders=") + statusName(status)) {
            reminders = status;
            return;
        }
    }
    eventstore::logger().error(
        "unreadable access answer in " + file.toStdString() + "; asking again");
}

void AccessState::save()
{
    if (file.isEmpty())
        return;
    const fs::path path = file.toStdString();
    try {
        fs::create_directories(path.parent_path());
        const fs::path temp
            = writeTemporary(path, std::string("reminders=") + statusName(reminders) + "\n");
        if (::rename(temp.c_str(), path.c_str()) != 0) {
            ::unlink(temp.c_str());
            failWrite("cannot rename to", path, errno);
        }
    } catch (const std::exception& error) {
        eventstore::logger().error(std::string("cannot keep the access answer: ") + error.what());
    }
}

bool EventStore::Private::canRead() const
{
    std::lock_guard lock(access->mutex);
    return access->reminders == AuthorizationStatus::fullAccess;
}

void EventStore::Private::requireWrite() const
{
    std::lock_guard lock(access->mutex);
    if (access->reminders != AuthorizationStatus::fullAccess
        && access->reminders != AuthorizationStatus::writeOnly)
        throw EventStoreError(EventStoreError::Code::accessDenied,
            "Tidemark may not change the calendar task lists: access was not granted");
}

AuthorizationStatus EventStore::authorizationStatus(EntityType type) const
{
    if (type != EntityType::reminder)
        return AuthorizationStatus::restricted;
    std::lock_guard lock(d->access->mutex);
    return d->access->reminders;
}

void EventStore::requestFullAccessToReminders(AccessCompletion completion)
{
    requestAccessToEntityType(EntityType::reminder, std::move(completion));
}

void EventStore::requestAccessToEntityType(EntityType type, AccessCompletion completion)
{
    if (type != EntityType::reminder) {
        completion(false,
            EventStoreError(
                EventStoreError::Code::invalidEntityType, "only task lists are kept here"));
        return;
    }
    std::shared_ptr<AccessState> access = d->access;
    std::unique_lock lock(access->mutex);
    if (access->reminders != AuthorizationStatus::notDetermined) {
        const bool granted = access->reminders == AuthorizationStatus::fullAccess;
        lock.unlock();
        completion(granted, std::nullopt);
        return;
    }
    if (!d->options.accessPrompt) {
        lock.unlock();
        completion(false,
            EventStoreError(EventStoreError::Code::noAccessPrompt,
                "access to the calendar task lists cannot be asked for here"));
        return;
    }
    access->waiting.push_back(std::move(completion));
    if (access->asking)
        return; // one question at a time; everyone waiting gets its answer
    access->asking = true;
    lock.unlock();
    rx::mainQueue().post([access, prompt = d->options.accessPrompt] {
        auto answered = std::make_shared<std::once_flag>();
        prompt(EntityType::reminder, [access, answered](bool granted) {
            std::call_once(*answered, [&] {
                std::vector<AccessCompletion> waiting;
                {
                    std::lock_guard lock(access->mutex);
                    access->reminders
                        = granted ? AuthorizationStatus::fullAccess : AuthorizationStatus::denied;
                    access->asking = false;
                    access->save();
                    waiting.swap(access->waiting);
                }
                for (auto& done : waiting)
                    done(granted, std::nullopt);
            });
        });
    });
}

} // namespace tidemark
