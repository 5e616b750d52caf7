#include "reminders/Reminder.hpp"

#include "platform/foundation/DateComponentsFormatter.hpp"
#include "platform/foundation/Uuid.hpp"

#include <nlohmann/json.hpp>

namespace tidemark {

std::string rawValue(RemindersDataSource source)
{
    switch (source) {
    case RemindersDataSource::local:
        return "local";
    case RemindersDataSource::appleReminders:
        return "appleReminders";
    }
    return "local";
}

std::optional<RemindersDataSource> remindersDataSourceFromRaw(const std::string& raw)
{
    if (raw == "local")
        return RemindersDataSource::local;
    if (raw == "appleReminders")
        return RemindersDataSource::appleReminders;
    return std::nullopt;
}

void to_json(nlohmann::json& json, const RemindersDataSource& source)
{
    json = rawValue(source);
}

void from_json(const nlohmann::json& json, RemindersDataSource& source)
{
    auto parsed = remindersDataSourceFromRaw(json.get<std::string>());
    if (!parsed)
        throw nlohmann::json::type_error::create(
            302, "not a reminders data source: " + json.dump(), &json);
    source = *parsed;
}

void to_json(nlohmann::json& json, const AnyList& list)
{
    json = nlohmann::json::object();
    json["id"] = list.id;
    json["title"] = list.title;
}

void from_json(const nlohmann::json& json, AnyList& list)
{
    list.id = json.at("id").get<std::string>();
    list.title = json.at("title").get<std::string>();
}

CalendarComponents RemindableConstants::components()
{
    return { CalendarComponent::second, CalendarComponent::minute, CalendarComponent::hour,
        CalendarComponent::day, CalendarComponent::month, CalendarComponent::year,
        CalendarComponent::timeZone, CalendarComponent::calendar };
}

const Calendar& RemindableConstants::calendar()
{
    // A function-local static: made exactly once, also when first asked from two threads.
    static const Calendar calendar = Calendar::current();
    return calendar;
}

DateComponents reminderComponents(Date date)
{
    return reminderComponents(date, RemindableConstants::calendar());
}

DateComponents reminderComponents(Date date, const Calendar& calendar)
{
    return calendar.dateComponents(RemindableConstants::components(), date);
}

std::optional<Date> reminderDate(const std::optional<DateComponents>& components)
{
    if (!components)
        return std::nullopt;
    return dateFromComponents(*components);
}

std::string durationString(const AnyReminder& reminder, const DateComponentsFormatter& formatter)
{
    const auto start = startDate(reminder);
    if (!start)
        return {};
    const auto due = dueDate(reminder);
    if (!due)
        return {};
    return formatter.string(*start, *due).value_or(std::string());
}

std::optional<std::string> AnyReminder::optionalTitle() const
{
    if (title.empty())
        return std::nullopt;
    return title;
}

void AnyReminder::setOptionalTitle(const std::optional<std::string>& value)
{
    title = value.value_or(std::string());
}

CreateReminder::CreateReminder()
    : id(Uuid::make())
{
}

CreateReminder::CreateReminder(std::optional<Date> startDate, std::optional<TimeInterval> interval,
    std::optional<std::string> title, std::optional<std::string> listID,
    std::optional<Date> completionDate)
    : CreateReminder()
{
    setStartDate(*this, startDate);
    setDuration(*this, interval);
    this->title = std::move(title);
    this->listID = std::move(listID);
    setCompletionDate(*this, completionDate);
}

AnyReminder CreateReminder::toAnyReminder() const
{
    return AnyReminder { id, startDateComponents, dueDateComponents, title.value_or(std::string()),
        listID, completionDate };
}

} // namespace tidemark
