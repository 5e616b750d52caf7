#pragma once

#include "platform/foundation/Calendar.hpp"
#include "platform/foundation/Date.hpp"
#include "settings/PersistentUserDefaultsService.hpp"

#include <nlohmann/json_fwd.hpp>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tidemark {

// How much the application has been used: on how many different days, and how many
// reminders were created.
struct UsageStatistics {
    struct DateStats {
        std::int64_t differentDaysCount = 0;
        // The moment of the last counted use.
        std::optional<Date> lastUsed;
        bool operator==(const DateStats&) const = default;
    };
    struct RemindersStats {
        std::int64_t createdCount = 0;
        bool operator==(const RemindersStats&) const = default;
    };

    DateStats date;
    RemindersStats reminders;

    bool operator==(const UsageStatistics&) const = default;
};

void to_json(nlohmann::json& json, const UsageStatistics& value);
// Every key but "date.lastUsed" is required.
void from_json(const nlohmann::json& json, UsageStatistics& value);

// The thresholds of the review prompt; both are enough when reached.
inline constexpr std::int64_t reviewPromptMinimumCreatedCount = 40;
inline constexpr std::int64_t reviewPromptMinimumDifferentDays = 7;

// The record after one successful creation at `now`: a new day of use when the last one
// lies on another day of `calendar` (or there was none), and one creation more. Counts
// stay at the largest signed 64-bit number once they reach it.
UsageStatistics recordingCreation(UsageStatistics statistics, Date now, const Calendar& calendar);

// Whether the review banner is due: never prompted for the stored settings, and both
// thresholds reached.
bool shouldPromptForReview(
    const UsageStatistics& statistics, const std::optional<std::string>& lastVersionPrompted);

// The page where the user can review the application; none when the configured address is
// not a valid web address.
std::optional<std::string> writeReviewUrl();
std::optional<std::string> writeReviewUrl(const std::string& address);

// The application's bundle identifier followed by ".usageStatistics".
std::string usageStatisticsKey();

// The usage record kept in the user defaults, loaded once at creation.
class UsageStatisticsService {
public:
    explicit UsageStatisticsService(std::shared_ptr<UserDefaults> defaults);
    explicit UsageStatisticsService(bool inMemory);

    // The value last saved or loaded, else the initial record.
    UsageStatistics data() const;
    rx::Result<rx::Unit, Error> save(const UsageStatistics& statistics);

private:
    void loadInitial();

    PersistentUserDefaultsService<UsageStatistics> m_store;
    UsageStatistics m_initial;
};

} // namespace tidemark
