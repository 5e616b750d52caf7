#include "platform/updater/Updater.hpp"

#include <QDesktopServices>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

namespace tidemark {

namespace {

QUrl feedAddress(const std::string& text)
{
    QUrl url(QString::fromStdString(text), QUrl::StrictMode);
    bool usable = url.isValid()
        && (url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http")
            || url.scheme() == QLatin1String("file"));
    return usable ? url : QUrl();
}

UpdateCheckResult failure(UpdaterError::Kind kind, std::string message)
{
    return UpdateCheckResult::failure(UpdaterError { kind, std::move(message) });
}

} // namespace

Updater::Updater(UpdaterConfiguration configuration, std::shared_ptr<UpdaterUserDriver> userDriver,
    QObject* parent)
    : QObject(parent)
    , m_configuration(std::move(configuration))
    , m_userDriver(std::move(userDriver))
    , m_network(new QNetworkAccessManager(this))
    , m_schedule(new QTimer(this))
{
    connect(m_schedule, &QTimer::timeout, this, &Updater::checkForUpdatesInBackground);
}

Updater::~Updater()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
}

void Updater::startUpdater()
{
    if (m_started)
        return;
    m_started = true;
    auto interval = std::chrono::duration_cast<std::chrono::milliseconds>(
        m_configuration.automaticCheckInterval);
    if (interval.count() > 0 && !feedAddress(m_configuration.feedUrl).isEmpty()) {
        m_schedule->start(interval);
        QTimer::singleShot(0, this, &Updater::checkForUpdatesInBackground);
    }
    announceCanCheck();
}

bool Updater::canCheckForUpdates() const
{
    return m_started && !sessionInProgress() && !feedAddress(m_configuration.feedUrl).isEmpty();
}

void Updater::checkForUpdates()
{
    startCheck([this](const UpdateCheckResult& result) {
        if (!m_userDriver)
            return;
        if (!result.isSuccess())
            m_userDriver->showUpdaterError(result.error());
        else if (result.value().update)
            m_userDriver->showUpdateFound(*result.value().update);
        else
            m_userDriver->showUpdateNotFound();
    });
}

void Updater::checkForUpdatesInBackground()
{
    startCheck([this](const UpdateCheckResult& result) {
        if (m_userDriver && result.isSuccess() && result.value().update)
            m_userDriver->showUpdateFound(*result.value().update);
    });
}

void Updater::checkForUpdateInformation(std::function<void(const UpdateCheckResult&)> completion)
{
    startCheck(std::move(completion));
}

void Updater::startCheck(std::function<void(const UpdateCheckResult&)> completion)
{
    if (sessionInProgress())
        return;
    auto url = feedAddress(m_configuration.feedUrl);
    if (url.isEmpty()) {
        auto result = failure(UpdaterError::Kind::noFeed,
            m_configuration.feedUrl.empty()
                ? std::string("No update feed is configured.")
                : "\"" + m_configuration.feedUrl + "\" is not a valid update feed address.");
        QTimer::singleShot(0, this, [this, completion = std::move(completion), result] {
            m_lastResult = result;
            if (completion)
                completion(result);
            Q_EMIT checkFinished();
        });
        return;
    }
    QNetworkRequest request(url);
    request.setTransferTimeout(static_cast<int>(m_configuration.transferTimeout.count()));
    request.setHeader(QNetworkRequest::UserAgentHeader,
        QString::fromStdString(
            m_configuration.applicationName + "/" + m_configuration.currentDisplayVersion));
    request.setAttribute(
        QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    m_tooLarge = false;
    m_completion = std::move(completion);
    m_reply = m_network->get(request);
    QNetworkReply* reply = m_reply;
    connect(reply, &QNetworkReply::downloadProgress, this, [this, reply](qint64 received, qint64) {
        if (received > m_configuration.maximumFeedSize) {
            m_tooLarge = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { finishCheck(reply); });
    announceCanCheck();
}

UpdateCheckResult Updater::evaluate(QNetworkReply* reply) const
{
    const auto& address = m_configuration.feedUrl;
    if (m_tooLarge) {
        return failure(UpdaterError::Kind::malformed,
            "The update feed at " + address + " is too large to be an update feed.");
    }
    auto status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && status.toInt() >= 400) {
        auto reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        return failure(UpdaterError::Kind::unreachable,
            "The update feed at " + address + " is not available: the server answered "
                + std::to_string(status.toInt())
                + (reason.isEmpty() ? "" : " " + reason.toStdString()) + ".");
    }
    if (reply->error() != QNetworkReply::NoError) {
        return failure(UpdaterError::Kind::unreachable,
            "The update feed at " + address
                + " could not be reached: " + reply->errorString().toStdString() + ".");
    }
    auto body = reply->readAll();
    auto appcast
        = parseAppcast(std::string_view(body.constData(), static_cast<std::size_t>(body.size())));
    if (!appcast.isSuccess()) {
        return failure(UpdaterError::Kind::malformed,
            "The update feed at " + address + " could not be read: " + appcast.error() + ".");
    }
    UpdateCheckOutcome outcome;
    const auto* newest = appcast.value().newestItem();
    if (newest && compareVersions(newest->versionString, m_configuration.currentVersion) > 0)
        outcome.update = *newest;
    return UpdateCheckResult::success(std::move(outcome));
}

void Updater::finishCheck(QNetworkReply* reply)
{
    auto result = evaluate(reply);
    reply->deleteLater();
    m_reply.clear();
    auto completion = std::move(m_completion);
    m_completion = nullptr;
    m_lastResult = result;
    announceCanCheck();
    if (completion)
        completion(result);
    Q_EMIT checkFinished();
}

void Updater::announceCanCheck()
{
    bool canCheck = canCheckForUpdates();
    if (canCheck == m_lastCanCheck)
        return;
    m_lastCanCheck = canCheck;
    Q_EMIT canCheckForUpdatesChanged(canCheck);
}

StandardUpdaterController::StandardUpdaterController(UpdaterConfiguration configuration,
    bool startingUpdater, std::shared_ptr<UpdaterUserDriver> userDriver)
{
    if (!userDriver)
        userDriver = std::make_shared<MessageBoxUserDriver>(configuration);
    m_updater = std::make_unique<Updater>(std::move(configuration), std::move(userDriver));
    if (startingUpdater)
        m_updater->startUpdater();
}

MessageBoxUserDriver::MessageBoxUserDriver(UpdaterConfiguration configuration)
    : m_configuration(std::move(configuration))
{
}

void MessageBoxUserDriver::showUpdateFound(const AppcastItem& item)
{
    auto name = QString::fromStdString(m_configuration.applicationName);
    auto* box = new QMessageBox(QMessageBox::Information,
        QObject::tr("A new version of %1 is available!").arg(name),
        QObject::tr("%1 %2 is now available — you have %3. Would you like to download it now?")
            .arg(name, QString::fromStdString(item.displayVersionString),
                QString::fromStdString(m_configuration.currentDisplayVersion)));
    auto* download = box->addButton(QObject::tr("Download"), QMessageBox::AcceptRole);
    box->addButton(QObject::tr("Remind Me Later"), QMessageBox::RejectRole);
    box->setAttribute(Qt::WA_DeleteOnClose);
    auto link = QString::fromStdString(item.fileUrl.empty() ? item.infoUrl : item.fileUrl);
    QObject::connect(
        box, &QMessageBox::buttonClicked, box, [download, link](QAbstractButton* button) {
            if (button == download && !link.isEmpty())
                QDesktopServices::openUrl(QUrl(link));
        });
    box->open();
}

void MessageBoxUserDriver::showUpdateNotFound()
{
    auto* box = new QMessageBox(QMessageBox::Information, QObject::tr("You’re up to date!"),
        QObject::tr("%1 %2 is currently the newest version available.")
            .arg(QString::fromStdString(m_configuration.applicationName),
                QString::fromStdString(m_configuration.currentDisplayVersion)));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void MessageBoxUserDriver::showUpdaterError(const UpdaterError& error)
{
    auto* box = new QMessageBox(
        QMessageBox::Warning, QObject::tr("Update Error!"), QString::fromStdString(error.message));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace tidemark
