#include "reminders/Reminder.hpp"

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

void to_json(nlohmann::json& json, const RemindersDataSource& source) { json = rawValue(source); }

void from_json(const nlohmann::json& json, RemindersDataSource& source)
{
    auto parsed = remindersDataSourceFromRaw(json.get<std::string>());
    if (!parsed)
        throw nlohmann::json::type_error::create(302, "not a reminders data source: " + json.dump(), &json);
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

std::optional<std::string> AnyReminder::optionalTitle() const
{
    if (title.empty())
        return std::nullopt;
    return title;
}

void AnyReminder::setOptionalTitle(const std::optional<std::string>& value) { title = value.value_or(std::string()); }

CreateReminder::CreateReminder()
    : id(Uuid::make())
{
}

CreateReminder::CreateReminder(std::optional<Date> startDate, std::optional<TimeInterval> interval,
    std::optional<std::string> title, std::optional<std::string> listID, std::optional<Date> completionDate)
    : CreateReminder()
{
    setStartDate(*this, startDate);
    setDuration(*this, interval);
    this->title = std::move(title);
    this->listID = std::move(listID);
    this->completionDate = completionDate;
}

AnyReminder CreateReminder::toAnyReminder() const
{
    return AnyReminder { id, startDateComponents, dueDateComponents, title.value_or(std::string()), listID, completionDate };
}

} // namespace tidemark
