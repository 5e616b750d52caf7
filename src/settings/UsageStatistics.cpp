#include "settings/UsageStatistics.hpp"

#include "platform/foundation/AppInfo.hpp"
#include "platform/logging/LogCategories.hpp"
#include "platform/workspace/WebAddress.hpp"
#include "settings/UserSettings.hpp"

#include <nlohmann/json.hpp>

namespace tidemark {

namespace {

std::int64_t requiredInteger(const nlohmann::json& json, const char* key)
{
    const auto& value = json.at(key);
    if (!value.is_number_integer())
        throw nlohmann::json::type_error::create(
            302, std::string("\"") + key + "\" is not an integer", &json);
    return value.get<std::int64_t>();
}

} // namespace

void to_json(nlohmann::json& json, const UsageStatistics& value)
{
    nlohmann::json date = { { "differentDaysCount", value.date.differentDaysCount } };
    if (value.date.lastUsed)
        date["lastUsed"] = secondsSinceReferenceDate(*value.date.lastUsed);
    json = { { "date", date },
        { "reminders", { { "createdCount", value.reminders.createdCount } } } };
}

void from_json(const nlohmann::json& json, UsageStatistics& value)
{
    const auto& date = json.at("date");
    value.date.differentDaysCount = requiredInteger(date, "differentDaysCount");
    auto lastUsed = date.find("lastUsed");
    if (lastUsed == date.end() || lastUsed->is_null()) {
        value.date.lastUsed.reset();
    } else {
        if (!lastUsed->is_number())
            throw nlohmann::json::type_error::create(302, "\"lastUsed\" is not a number", &date);
        value.date.lastUsed = dateFromSecondsSinceReferenceDate(lastUsed->get<double>());
    }
    value.reminders.createdCount = requiredInteger(json.at("reminders"), "createdCount");
}

UsageStatistics recordingCreation(UsageStatistics statistics, Date now, const Calendar& calendar)
{
    const auto& lastUsed = statistics.date.lastUsed;
    if (!lastUsed || !calendar.isDate(*lastUsed, now)) {
        statistics.date.lastUsed = now;
        statistics.date.differentDaysCount += 1;
    }
    statistics.reminders.createdCount += 1;
    return statistics;
}

bool shouldPromptForReview(
    const UsageStatistics& statistics, const std::optional<std::string>& lastVersionPrompted)
{
    if (lastVersionPrompted)
        return false;
    return statistics.reminders.createdCount >= reviewPromptMinimumCreatedCount
        && statistics.date.differentDaysCount >= reviewPromptMinimumDifferentDays;
}

std::optional<std::string> writeReviewUrl()
{
    return writeReviewUrl(AppInfo::reviewUrl());
}

std::optional<std::string> writeReviewUrl(const std::string& address)
{
    return webAddress(address);
}

std::string usageStatisticsKey()
{
    return AppInfo::bundleIdentifier() + ".usageStatistics";
}

UsageStatisticsService::UsageStatisticsService(std::shared_ptr<UserDefaults> defaults)
    : m_store(usageStatisticsKey(), UsageStatistics {}, std::move(defaults))
{
    loadInitial();
}

UsageStatisticsService::UsageStatisticsService(bool inMemory)
    : m_store(usageStatisticsKey(), UsageStatistics {}, inMemory)
{
    loadInitial();
}

void UsageStatisticsService::loadInitial()
{
    auto loaded = m_store.load();
    if (loaded.isSuccess())
        m_initial = loaded.value();
    else
        appLogger(logcategory::settings).error(loaded.error().description);
}

UsageStatistics UsageStatisticsService::data() const
{
    return m_store.data().value_or(m_initial);
}

rx::Result<rx::Unit, Error> UsageStatisticsService::save(const UsageStatistics& statistics)
{
    return m_store.save(statistics);
}

} // namespace tidemark
