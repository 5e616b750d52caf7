#include "settings/UsageStatistics.hpp"

#include "platform/foundation/AppInfo.hpp"
#include "platform/logging/LogCategories.hpp"
#include "platform/workspace/WebAddress.hpp"
#include "settings/UserSettings.hpp"

#include <nlohmann/json.hpp>

#include <limits>

namespace tidemark {

namespace {

constexpr std::int64_t largestCount = std::numeric_limits<std::int64_t>::max();

// A count; one past the largest signed 64-bit number is read as the largest.
std::int64_t requiredInteger(const nlohmann::json& json, const char* key)
{
    const auto& value = json.at(key);
    if (!value.is_number_integer())
        throw nlohmann::json::type_error::create(
            302, std::string("\"") + key + "\" is not an integer", &json);
    if (value.is_number_unsigned() && value.get<std::uint64_t>() > std::uint64_t(largestCount))
        return largestCount;
    return value.get<std::int64_t>();
}

// One more, staying at the largest count instead of overflowing.
std::int64_t incremented(std::int64_t count)
{
    return count < largestCount ? count + 1 : largestCount;
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
        auto moment = lastUsed->is_number()
            ? checkedDateFromSecondsSinceReferenceDate(lastUsed->get<double>())
            : std::nullopt;
        if (!moment)
            throw nlohmann::json::type_error::create(
                302, "\"lastUsed\" is not a date between 1678 and 2261", &date);
        value.date.lastUsed = moment;
    }
    value.reminders.createdCount = requiredInteger(json.at("reminders"), "createdCount");
}

UsageStatistics recordingCreation(UsageStatistics statistics, Date now, const Calendar& calendar)
{
    const auto& lastUsed = statistics.date.lastUsed;
    if (!lastUsed || !calendar.isDate(*lastUsed, now)) {
        statistics.date.lastUsed = now;
        statistics.date.differentDaysCount = incremented(statistics.date.differentDaysCount);
    }
    statistics.reminders.createdCount = incremented(statistics.reminders.createdCount);
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
