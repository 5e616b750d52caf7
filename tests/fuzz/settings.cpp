// The settings files as a start finds them: the bytes are the settings domain's file and
// the usage statistics' file. Reading never throws or crashes, always gives settings (the
// unreadable parts replaced by defaults), and what is then saved reads back as the same
// settings from a file that holds a JSON object, even after a key and a value that are not
// UTF-8 were stored beside them.

#include "FuzzCheck.hpp"

#include "platform/foundation/AppInfo.hpp"
#include "platform/foundation/Calendar.hpp"
#include "platform/foundation/UserDefaults.hpp"
#include "platform/logging/LogSystem.hpp"
#include "settings/PersistentSettingsService.hpp"
#include "settings/UsageStatistics.hpp"
#include "settings/UserSettings.hpp"

#include <nlohmann/json.hpp>

#include <chrono>
#include <filesystem>
#include <fstream>

using namespace tidemark;

namespace {

const Date now = dateFromTimeIntervalSince1970(1'700'000'000);

// Stored dates go through a number of seconds: they may move by a rounding step.
bool nearlyEqual(Date a, Date b)
{
    return std::chrono::abs(a - b) <= std::chrono::microseconds(1);
}

bool sameSettings(UserSettings a, const UserSettings& b)
{
    if (nearlyEqual(a.reminders.automaticRemoval.date, b.reminders.automaticRemoval.date))
        a.reminders.automaticRemoval.date = b.reminders.automaticRemoval.date;
    return a == b;
}

std::string describe(const UserSettings& settings)
{
    return nlohmann::json(settings).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

bool holdsAnObject(const UserDefaults& defaults)
{
    for (const auto& error : defaults.errors()) {
        if (error.kind == UserDefaultsError::Kind::corruptFile
            || error.kind == UserDefaultsError::Kind::unreadableFile)
            return false;
    }
    return true;
}

void writeFile(const std::filesystem::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // What the settings log about unreadable values is expected here.
    LoggingConfiguration quiet;
    quiet.writesToStandardError = false;
    LogSystem::shared()->configure(quiet);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto input = fuzz::text(data, size);
    const std::filesystem::path folder = fuzz::scratchFolder();
    const auto settingsDomain = AppInfo::bundleIdentifier() + ".settings";
    const auto statisticsDomain = AppInfo::bundleIdentifier() + ".usageStatistics";
    writeFile(folder / (settingsDomain + ".json"), input);
    writeFile(folder / (statisticsDomain + ".json"), input);
    const auto defaultSettings = UserSettings::makeDefault(Calendar("UTC"), now);

    std::optional<UserSettings> saved;
    {
        auto defaults = UserDefaults::suite(settingsDomain, folder);
        PersistentSettingsService<UserSettings> service(defaultSettings, defaults);
        const auto loaded = service.load();
        FUZZ_CHECK_THAT(loaded.isSuccess(), loaded.isSuccess() ? "" : loaded.error().description);
        // Text that is not UTF-8, from the input, stored beside the settings.
        const auto cut = std::min<std::size_t>(input.size(), 16);
        defaults->set(nlohmann::json(std::string(input.substr(0, cut))),
            "fuzz." + std::string(input.substr(cut, 16)));
        if (service.save(loaded.value()).isSuccess())
            saved = loaded.value();
    }
    if (saved) {
        auto defaults = UserDefaults::suite(settingsDomain, folder);
        FUZZ_CHECK(holdsAnObject(*defaults));
        PersistentSettingsService<UserSettings> service(defaultSettings, defaults);
        const auto loaded = service.load();
        FUZZ_CHECK(loaded.isSuccess());
        FUZZ_CHECK_THAT(sameSettings(loaded.value(), *saved),
            describe(loaded.value()) + " read back after saving " + describe(*saved));
    }

    {
        UsageStatisticsService statistics(UserDefaults::suite(statisticsDomain, folder));
        statistics.save(recordingCreation(statistics.data(), now, Calendar("UTC")));
    }
    fuzz::clearScratch();
    return 0;
}
