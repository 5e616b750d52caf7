#include "notifications/UserNotificationsService.hpp"

#include "notifications/ReminderDateResolver.hpp"
#include "platform/foundation/DateComponentsFormatter.hpp"
#include "platform/foundation/StringTables.hpp"
#include "platform/logging/LogCategories.hpp"
#include "platform/usernotifications/UNUserNotificationCenter.hpp"
#include "platform/usernotifications/UNUserNotificationCenterGuard.hpp"

#include <cassert>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

namespace tidemark {

namespace {

constexpr std::string_view titleTable = "Localizable";
constexpr std::string_view notificationTitleKey = "reminder_notification_title";

std::string notificationTitle()
{
    return hasLocalizedString(titleTable, notificationTitleKey)
        ? localized(titleTable, notificationTitleKey)
        : std::string();
}

UNNotificationRequest makeRequestTitled(const std::string& identifier, const std::string& body,
    TimeInterval timeInterval, const UNNotificationSound& sound, const std::string& title)
{
    UNNotificationRequest request;
    request.identifier = identifier;
    request.content.title = title;
    request.content.body = body;
    request.content.sound = sound;
    request.content.interruptionLevel = UNNotificationInterruptionLevel::timeSensitive;
    request.content.categoryIdentifier = std::string(UserNotificationsService::categoryIdentifier);
    request.trigger = UNTimeIntervalNotificationTrigger { timeInterval, false };
    return request;
}

// Writes the bodies of one sync. Untitled reminders read as their span; a formatter that
// counts nothing larger than days (whose lengths are fixed) gives the same text for the
// same length of span, so each length is formatted once.
class BodyWriter {
public:
    explicit BodyWriter(const DateComponentsFormatter* formatter)
        : m_formatter(formatter)
    {
        if (!formatter)
            return;
        const auto units = formatter->allowedUnits();
        using Unit = DateComponentsFormatter::Unit;
        m_byLength
            = !units.isEmpty() && !units.contains(Unit::year) && !units.contains(Unit::month);
    }

    std::string body(
        const AnyReminder& reminder, std::optional<Date> due, ReminderDateResolver& dates)
    {
        if (!reminder.title.empty())
            return reminder.title;
        if (!m_formatter || !due)
            return {};
        const auto start = dates.date(reminder.startDateComponents);
        if (!start)
            return {};
        if (!m_byLength)
            return m_formatter->string(*start, *due).value_or(std::string());
        const auto length = (*due - *start).count();
        auto found = m_texts.find(length);
        if (found == m_texts.end())
            found
                = m_texts.emplace(length, m_formatter->string(*start, *due).value_or(std::string()))
                      .first;
        return found->second;
    }

private:
    const DateComponentsFormatter* m_formatter;
    bool m_byLength = false;
    std::unordered_map<Date::rep, std::string> m_texts;
};

} // namespace

struct UserNotificationsService::Impl : std::enable_shared_from_this<Impl> {
    struct Job {
        std::set<AnyReminder> reminders;
        std::shared_ptr<const DateComponentsFormatter> formatter;
        bool prune = true;
        SyncCompletion completion;
    };
    // One job's progress while its requests are being added.
    struct Progress {
        Job job;
        NotificationSyncReport report;
        std::size_t outstanding = 1; // held by the loop until every request is handed over
    };

    UNUserNotificationCenterGuard center;
    std::shared_ptr<const Clock> clock;
    std::shared_ptr<UserNotificationDelegateService> delegate
        = std::make_shared<UserNotificationDelegateService>();

    std::mutex mutex;
    bool running = false;
    std::optional<Job> waiting;

    void request(Job job)
    {
        std::optional<Job> superseded;
        bool start = false;
        {
            std::lock_guard lock(mutex);
            if (running) {
                superseded = std::exchange(waiting, std::move(job));
            } else {
                running = true;
                start = true;
            }
        }
        if (superseded && superseded->completion)
            superseded->completion(NotificationSyncReport { .superseded = true });
        if (start)
            run(std::move(job));
    }

    void run(Job job)
    {
        auto progress = std::make_shared<Progress>();
        progress->job = std::move(job);
        std::weak_ptr<Impl> weak = weak_from_this();
        const auto start = clock->now();
        ReminderDateResolver dates;
        BodyWriter bodies(progress->job.formatter.get());
        const auto title = notificationTitle();
        const auto sound = UNNotificationSound::defaultSound();
        for (const auto& reminder : progress->job.reminders) {
            const auto due = dates.date(reminder.dueDateComponents);
            if (!due) {
                // A debug line about a reminder left out: in the log file, not on the terminal.
                appLogger(logcategory::notifications)
                    .debug("item.id: " + reminder.id + "\ndueDate: nil");
                ++progress->report.skipped;
                continue;
            }
            if (!(*due > start)) {
                ++progress->report.skipped;
                continue;
            }
            auto text = bodies.body(reminder, due, dates);
            // Taken now rather than at the comparison above, so that a long sync does not
            // push its last requests late.
            const auto interval = timeIntervalBetween(clock->now(), *due);
            if (!(interval > 0)) {
                ++progress->report.skipped;
                continue;
            }
            if (!center)
                break;
            ++progress->outstanding;
            auto request = makeRequestTitled(reminder.id, {}, interval, sound, title);
            request.content.body = std::move(text);
            center->addNotificationRequest(
                std::move(request), [weak, progress](std::optional<UNError> error) {
                    ++(error ? progress->report.refused : progress->report.scheduled);
                    if (auto self = weak.lock())
                        self->requestDone(progress);
                });
        }
        requestDone(progress);
    }

    void requestDone(const std::shared_ptr<Progress>& progress)
    {
        if (--progress->outstanding > 0)
            return;
        if (!progress->job.prune) {
            finish(progress);
            return;
        }
        std::weak_ptr<Impl> weak = weak_from_this();
        removeStale(progress->job.reminders, [weak, progress](std::size_t removed) {
            progress->report.removed = removed;
            if (auto self = weak.lock())
                self->finish(progress);
        });
    }

    void finish(const std::shared_ptr<Progress>& progress)
    {
        if (progress->job.completion)
            progress->job.completion(progress->report);
        std::optional<Job> next;
        {
            std::lock_guard lock(mutex);
            next = std::exchange(waiting, std::nullopt);
            running = next.has_value();
        }
        if (next)
            run(std::move(*next));
    }

    // `keeping` must outlive the completion (the running job holds it).
    void removeStale(const std::set<AnyReminder>& keeping, std::function<void(std::size_t)> done)
    {
        if (!center) {
            if (done)
                done(0);
            return;
        }
        auto kept = std::make_shared<std::unordered_set<std::string_view>>();
        kept->reserve(keeping.size());
        for (const auto& reminder : keeping)
            kept->insert(reminder.id);
        UNUserNotificationCenterGuard centre = center;
        centre->getPendingNotificationRequests(
            [centre, kept, done](std::vector<UNNotificationRequest> pending) {
                auto stale = std::make_shared<std::unordered_set<std::string>>();
                for (const auto& request : pending) {
                    if (!kept->contains(request.identifier))
                        stale->insert(request.identifier);
                }
                if (!centre) {
                    if (done)
                        done(0);
                    return;
                }
                centre->getDeliveredNotifications(
                    [centre, kept, stale, done](std::vector<UNNotification> delivered) {
                        for (const auto& notification : delivered) {
                            if (!kept->contains(notification.request.identifier))
                                stale->insert(notification.request.identifier);
                        }
                        const std::vector<std::string> identifiers(stale->begin(), stale->end());
                        if (centre && !identifiers.empty()) {
                            centre->removePendingNotificationRequests(identifiers);
                            centre->removeDeliveredNotifications(identifiers);
                        }
                        if (done)
                            done(identifiers.size());
                    });
            });
    }
};

UserNotificationsService::UserNotificationsService(
    UNUserNotificationCenter& center, std::shared_ptr<const Clock> clock)
    : m_impl(std::make_shared<Impl>())
{
    m_impl->center = &center;
    m_impl->clock = clock ? std::move(clock) : Clock::system();
    center.setNotificationCategories({ makeCategory() });
}

UserNotificationsService::UserNotificationsService()
    : UserNotificationsService(UNUserNotificationCenter::current())
{
}

UserNotificationsService::~UserNotificationsService() = default;

UNUserNotificationCenter& UserNotificationsService::center() const
{
    assert(m_impl->center && "the centre is gone");
    return *m_impl->center;
}

const std::shared_ptr<UserNotificationDelegateService>&
UserNotificationsService::userNotificationDelegateService() const
{
    return m_impl->delegate;
}

void UserNotificationsService::attachNotificationDelegate()
{
    if (m_impl->center)
        m_impl->center->setDelegate(m_impl->delegate);
}

void UserNotificationsService::getNotificationSettings(SettingsCompletion completion)
{
    if (!completion)
        completion = [](UNNotificationSettings) {};
    if (m_impl->center)
        m_impl->center->getNotificationSettings(std::move(completion));
    else
        completion(UNNotificationSettings {});
}

void UserNotificationsService::requestAuthorization(
    UNAuthorizationOptions options, AuthorizationCompletion completion)
{
    if (!completion)
        completion = [](bool, std::optional<UNError>) {};
    if (m_impl->center)
        m_impl->center->requestAuthorization(options, std::move(completion));
    else
        completion(
            false, UNError { UNError::Code::invalidRequest, "the notification centre is gone" });
}

void UserNotificationsService::resetAuthorization()
{
    if (m_impl->center)
        m_impl->center->resetAuthorization();
}

rx::Publisher<UserNotificationResponse> UserNotificationsService::receiveResponsePublisher()
{
    return m_impl->delegate->receiveResponsePublisher();
}

void UserNotificationsService::finishResponsePublisher()
{
    m_impl->delegate->finishResponsePublisher();
}

void UserNotificationsService::syncNotifications(std::set<AnyReminder> reminders,
    std::shared_ptr<const DateComponentsFormatter> titleFormatter, SyncCompletion completion)
{
    m_impl->request(
        { std::move(reminders), std::move(titleFormatter), true, std::move(completion) });
}

void UserNotificationsService::scheduleNotifications(std::set<AnyReminder> reminders,
    std::shared_ptr<const DateComponentsFormatter> titleFormatter, SyncCompletion completion)
{
    m_impl->request(
        { std::move(reminders), std::move(titleFormatter), false, std::move(completion) });
}

void UserNotificationsService::addNotification(const std::string& identifier,
    const std::string& body, TimeInterval timeInterval, const UNNotificationSound& sound,
    AddCompletion completion)
{
    if (!m_impl->center) {
        if (completion)
            completion(
                UNError { UNError::Code::invalidRequest, "the notification centre is gone" });
        return;
    }
    m_impl->center->addNotificationRequest(
        makeRequest(identifier, body, timeInterval, sound), std::move(completion));
}

void UserNotificationsService::removeStaleNotifications(
    const std::set<AnyReminder>& keeping, std::function<void(std::size_t)> completion)
{
    auto held = std::make_shared<const std::set<AnyReminder>>(keeping);
    m_impl->removeStale(*held, [held, completion = std::move(completion)](std::size_t removed) {
        if (completion)
            completion(removed);
    });
}

void UserNotificationsService::removePendingNotifications()
{
    if (m_impl->center)
        m_impl->center->removeAllPendingNotificationRequests();
}

UNNotificationRequest UserNotificationsService::makeRequest(const std::string& identifier,
    const std::string& body, TimeInterval timeInterval, const UNNotificationSound& sound)
{
    return makeRequestTitled(identifier, body, timeInterval, sound, notificationTitle());
}

UNNotificationCategory UserNotificationsService::makeCategory()
{
    return UNNotificationCategory {
        std::string(categoryIdentifier),
        makeSnoozeActions(),
        {},
        "",
        "",
        UNNotificationCategoryOptions::customDismissAction
            | UNNotificationCategoryOptions::hiddenPreviewsShowTitle
            | UNNotificationCategoryOptions::hiddenPreviewsShowSubtitle,
    };
}

std::string UserNotificationsService::body(
    const AnyReminder& reminder, const DateComponentsFormatter* titleFormatter)
{
    if (!reminder.title.empty())
        return reminder.title;
    return titleFormatter ? durationString(reminder, *titleFormatter) : std::string();
}

} // namespace tidemark
