#pragma once

#include "platform/reactive/Result.hpp"
#include "platform/updater/Appcast.hpp"
#include "platform/updater/UpdaterServicable.hpp"

#include <QObject>
#include <QPointer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace tidemark {

struct UpdaterConfiguration {
    // The address of the update feed (http:, https: or file:).
    std::string feedUrl;
    // The running build, compared with the feed's build versions.
    std::string currentVersion;
    // The running version as people know it, for the messages.
    std::string currentDisplayVersion;
    std::string applicationName = "Tidemark";
    // How often the started updater checks by itself; zero never.
    std::chrono::seconds automaticCheckInterval { 0 };
    // A feed that sends nothing for this long is given up.
    std::chrono::milliseconds transferTimeout { 30000 };
    // A feed larger than this is not an update feed.
    qint64 maximumFeedSize = 8 * 1024 * 1024;
};

struct UpdaterError {
    enum class Kind {
        // No feed address is configured, or it is not a valid address.
        noFeed,
        // The feed could not be fetched: no connection, no answer, or an HTTP error.
        unreachable,
        // The feed was fetched but is not a readable update feed.
        malformed,
    };
    Kind kind;
    std::string message;

    const std::string& localizedDescription() const { return message; }
    bool operator==(const UpdaterError&) const = default;
};

struct UpdateCheckOutcome {
    // The newer release, or nothing when the running version is up to date.
    std::optional<AppcastItem> update;

    bool isUpToDate() const { return !update.has_value(); }
    bool operator==(const UpdateCheckOutcome&) const = default;
};

using UpdateCheckResult = rx::Result<UpdateCheckOutcome, UpdaterError>;

// What people see of a check. A check the user asked for shows every outcome; a check of
// the updater's own schedule shows only a newer release.
class UpdaterUserDriver {
public:
    virtual ~UpdaterUserDriver() = default;
    virtual void showUpdateFound(const AppcastItem& item) = 0;
    virtual void showUpdateNotFound() = 0;
    virtual void showUpdaterError(const UpdaterError& error) = 0;
};

// Checks an update feed for a newer release of the running application. Everything
// happens on the thread that owns it (the main thread); the network work is Qt's.
class Updater : public QObject {
    Q_OBJECT
public:
    Updater(UpdaterConfiguration configuration, std::shared_ptr<UpdaterUserDriver> userDriver,
        QObject* parent = nullptr);
    ~Updater() override;

    // Starts the updater: checks become possible, and the scheduled checks begin.
    void startUpdater();
    // Whether a check can be offered now: started, a feed configured, no check running.
    bool canCheckForUpdates() const;
    bool sessionInProgress() const { return !m_reply.isNull(); }

    // A check the user asked for: the user driver shows its outcome, whatever it is.
    // Ignored while a check runs.
    void checkForUpdates();
    // A check that shows only a newer release.
    void checkForUpdatesInBackground();
    // A check whose outcome goes to `completion` only (on this object's thread).
    void checkForUpdateInformation(std::function<void(const UpdateCheckResult&)> completion);

    const UpdaterConfiguration& configuration() const { return m_configuration; }
    // The outcome of the last check that ended.
    const std::optional<UpdateCheckResult>& lastResult() const { return m_lastResult; }

Q_SIGNALS:
    void canCheckForUpdatesChanged(bool canCheck);
    void checkFinished();

private:
    void startCheck(std::function<void(const UpdateCheckResult&)> completion);
    void finishCheck(QNetworkReply* reply);
    void announceCanCheck();
    UpdateCheckResult evaluate(QNetworkReply* reply) const;

    UpdaterConfiguration m_configuration;
    std::shared_ptr<UpdaterUserDriver> m_userDriver;
    QNetworkAccessManager* m_network;
    QTimer* m_schedule;
    QPointer<QNetworkReply> m_reply;
    std::function<void(const UpdateCheckResult&)> m_completion;
    std::optional<UpdateCheckResult> m_lastResult;
    bool m_started = false;
    bool m_tooLarge = false;
    bool m_lastCanCheck = false;
};

// The updater with the standard user interface: message boxes that offer the download.
class StandardUpdaterController final : public UpdaterServicable {
public:
    // `startingUpdater` starts it at once.
    StandardUpdaterController(UpdaterConfiguration configuration, bool startingUpdater,
        std::shared_ptr<UpdaterUserDriver> userDriver = nullptr);

    Updater& updater() { return *m_updater; }
    void startUpdater() { m_updater->startUpdater(); }
    void checkForUpdates() override { m_updater->checkForUpdates(); }

private:
    std::unique_ptr<Updater> m_updater;
};

// Message boxes on the desktop; the download opens in the browser.
class MessageBoxUserDriver : public UpdaterUserDriver {
public:
    explicit MessageBoxUserDriver(UpdaterConfiguration configuration);
    void showUpdateFound(const AppcastItem& item) override;
    void showUpdateNotFound() override;
    void showUpdaterError(const UpdaterError& error) override;

private:
    UpdaterConfiguration m_configuration;
};

} // namespace tidemark
