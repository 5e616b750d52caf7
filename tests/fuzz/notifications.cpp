// The notification centre's kept files (pending requests and the user's answer), as a
// start finds them: the bytes are read as each of the two files, first by the decoders,
// then by a centre starting over them. Nothing may throw or crash; every request that is
// read meets the rules for adding one; what is read is written and read back the same; a
// file that cannot be read is moved out of the way.

#include "FuzzCheck.hpp"

#include "platform/foundation/UserDefaults.hpp"
#include "platform/logging/LogSystem.hpp"
#include "platform/usernotifications/NotificationCoding.hpp"
#include "platform/usernotifications/StateFile.hpp"
#include "platform/usernotifications/UNUserNotificationCenter.hpp"
#include "platform/usernotifications/WallClock.hpp"

#include <QCoreApplication>
#include <QDBusConnection>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

using namespace tidemark;

namespace {

// 2023-11-14 22:13:20 UTC: the centre's clock during a run.
const Date now = dateFromTimeIntervalSince1970(1'700'000'000);

// Kept due dates go through a number of seconds: they may move by a rounding step.
bool nearlyEqual(Date a, Date b)
{
    return std::chrono::abs(a - b) <= std::chrono::microseconds(1);
}

std::string describe(const UNNotificationRequest& request)
{
    return StateFile::serialize(encodePendingRequest(request, now));
}

void checkRequest(const StoredPendingRequest& stored)
{
    const auto& request = stored.request;
    FUZZ_CHECK_THAT(!requestProblem(request), describe(request));
    FUZZ_CHECK_THAT(checkedDateFromTimeIntervalSince1970(timeIntervalSince1970(stored.dueDate)),
        describe(request));
    if (request.trigger && request.trigger->repeats) {
        // It falls due again later, never at once and for ever.
        for (const auto at : { stored.dueDate, now, dateByAdding(stored.dueDate, 86'400) }) {
            if (const auto next = nextRepeatDate(stored.dueDate, request.trigger->timeInterval, at))
                FUZZ_CHECK_THAT(*next > at, describe(request));
        }
    }
}

void checkPending(const nlohmann::json& document)
{
    const auto decoded = decodePendingDocument(document);
    if (decoded.unreadable) {
        FUZZ_CHECK(!decoded.problem.empty());
        return;
    }
    for (const auto& reason : decoded.dropped)
        FUZZ_CHECK(!reason.empty());
    for (const auto& stored : decoded.requests)
        checkRequest(stored);

    const auto written = StateFile::serialize(encodePendingDocument(decoded.requests));
    const auto reread = StateFile::parse(written);
    FUZZ_CHECK_THAT(reread.has_value(), written);
    const auto again = decodePendingDocument(*reread);
    FUZZ_CHECK_THAT(!again.unreadable && again.dropped.empty(), written);
    FUZZ_CHECK_THAT(again.requests.size() == decoded.requests.size(), written);
    for (std::size_t i = 0; i < again.requests.size(); ++i) {
        FUZZ_CHECK_THAT(again.requests[i].request == decoded.requests[i].request, written);
        FUZZ_CHECK_THAT(
            nearlyEqual(again.requests[i].dueDate, decoded.requests[i].dueDate), written);
    }
}

void checkAuthorization(const nlohmann::json& document)
{
    const auto decoded = decodeAuthorization(document);
    if (!decoded.authorization) {
        FUZZ_CHECK(!decoded.problem.empty());
        return;
    }
    const auto written = StateFile::serialize(encodeAuthorization(*decoded.authorization));
    const auto reread = StateFile::parse(written);
    FUZZ_CHECK_THAT(reread.has_value(), written);
    const auto again = decodeAuthorization(*reread);
    FUZZ_CHECK_THAT(again.authorization == decoded.authorization, written);
}

void writeFile(const std::filesystem::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A centre starting over the bytes as both of its files, then given a request whose
// identifier and texts are the bytes themselves.
void checkCentre(std::string_view bytes)
{
    const std::filesystem::path folder = fuzz::scratchFolder();
    const auto pendingPath = folder / "notifications-pending.json";
    writeFile(pendingPath, bytes);
    writeFile(folder / "notifications-authorization.json", bytes);
    std::optional<std::string> added;
    {
        UNUserNotificationCenter::Configuration configuration;
        configuration.stateDirectory = QString::fromStdString(folder.string());
        configuration.clock = std::make_shared<ManualWallClock>(now);
        // A connection that never connects: no session bus is asked anything.
        configuration.connection = QDBusConnection(QStringLiteral("tidemark-fuzz-no-bus"));
        UNUserNotificationCenter centre(std::move(configuration));
        std::vector<UNNotificationRequest> pending;
        centre.getPendingNotificationRequests(
            [&](std::vector<UNNotificationRequest> requests) { pending = std::move(requests); });
        for (const auto& request : pending)
            FUZZ_CHECK_THAT(!requestProblem(request), describe(request));

        // Without a prompt the centre grants, unless the kept answer says no.
        centre.requestAuthorization(UNAuthorizationOptions::alert, [](bool, auto) {});
        UNNotificationRequest request;
        request.identifier = std::string(bytes.substr(0, 64));
        request.content.title = std::string(bytes);
        request.content.body = std::string(bytes.substr(bytes.size() / 2));
        request.content.categoryIdentifier = std::string(bytes.substr(0, 8));
        request.trigger = UNTimeIntervalNotificationTrigger { 3600, true };
        centre.addNotificationRequest(request, [&](std::optional<UNError> error) {
            if (!error)
                added = request.identifier;
        });
        centre.flush();
    }
    // The pending file is readable now, or out of the way.
    if (std::filesystem::exists(pendingPath)) {
        const auto loaded = StateFile(pendingPath.string()).load();
        FUZZ_CHECK_THAT(loaded.document.has_value(), loaded.problem);
        const auto decoded = decodePendingDocument(*loaded.document);
        FUZZ_CHECK(!decoded.unreadable);
        if (added) {
            // Written by the centre now, with the request under its identifier made valid
            // UTF-8.
            FUZZ_CHECK(decoded.dropped.empty());
            const auto identifier = validUtf8(*added);
            bool found = false;
            for (const auto& stored : decoded.requests)
                found = found || stored.request.identifier == identifier;
            FUZZ_CHECK_THAT(found, StateFile::serialize(*loaded.document));
        }
    } else {
        FUZZ_CHECK(!added);
    }
    fuzz::clearScratch();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static int argc = 1;
    static char name[] = "fuzz_notifications";
    static char* argv[] = { name, nullptr };
    new QCoreApplication(argc, argv);
    // What the centre logs about the files is expected here.
    LoggingConfiguration quiet;
    quiet.writesToStandardError = false;
    LogSystem::shared()->configure(quiet);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto input = fuzz::text(data, size);
    if (const auto document = StateFile::parse(std::string(input))) {
        checkPending(*document);
        checkAuthorization(*document);
    }
    checkCentre(input);
    return 0;
}
