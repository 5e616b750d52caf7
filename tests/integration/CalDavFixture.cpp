#include "CalDavFixture.hpp"

#include "core/state/AppReducer.hpp"
#include "notifications/middleware/UserNotificationsMiddleware.hpp"
#include "platform/eventstore/ComponentsDate.hpp"
#include "platform/eventstore/IcsTodo.hpp"
#include "platform/foundation/Calendar.hpp"
#include "platform/foundation/Uuid.hpp"
#include "reminders/applereminders/middleware/AppleRemindersMiddleware.hpp"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>
#include <cstdio>

namespace tidemark::test {

namespace {

constexpr int commandLimitMs = 120000;
const QByteArray user = "tidemark";

void writeText(const QString& path, const QString& text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(text.toUtf8());
}

QString propertyName(const QString& line)
{
    const qsizetype end = line.indexOf(QRegularExpression("[;:]"));
    return (end < 0 ? line : line.left(end)).toUpper();
}

} // namespace

void CalDavFixture::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    ASSERT_NO_FATAL_FAILURE(findPrograms());

    m_environment = QProcessEnvironment::systemEnvironment();
    // Only loopback is reached, never through a proxy.
    for (const char* name :
        { "http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY" })
        m_environment.remove(name);
    m_environment.insert("no_proxy", "127.0.0.1,localhost");
    m_environment.insert("NO_PROXY", "127.0.0.1,localhost");
    const QString home = m_dir.path() + "/home";
    ASSERT_TRUE(QDir().mkpath(home));
    m_environment.insert("HOME", home);
    m_environment.insert("XDG_CONFIG_HOME", home + "/.config");
    m_environment.insert("XDG_DATA_HOME", home + "/.local/share");
    m_environment.insert("XDG_CACHE_HOME", home + "/.cache");
    m_environment.insert("TZ", "Europe/Berlin");
    m_environment.insert("LC_ALL", "C.UTF-8");
    m_environment.insert("VDIRSYNCER_CONFIG", m_dir.path() + "/vdirsyncer.conf");
    m_network.setProxy(QNetworkProxy::NoProxy);

    ASSERT_NO_FATAL_FAILURE(startRadicale());
    ASSERT_NO_FATAL_FAILURE(makeServerList());
    ASSERT_NO_FATAL_FAILURE(configureSync());
}

void CalDavFixture::TearDown()
{
    if (m_reminders)
        m_reminders->stopObserving();
    m_store.reset();
    drainMainQueue();
    m_reminders.reset();
    m_notifications.reset();
    m_center.reset();
    m_server.reset();
    stopRadicale();
}

void CalDavFixture::findPrograms()
{
    QStringList missing;
    m_radicaleProgram = QStandardPaths::findExecutable("radicale");
    if (m_radicaleProgram.isEmpty())
        missing << "radicale";
    m_vdirsyncerProgram = QStandardPaths::findExecutable("vdirsyncer");
    if (m_vdirsyncerProgram.isEmpty())
        missing << "vdirsyncer";
    m_todomanProgram = QStandardPaths::findExecutable("todo");
    if (m_todomanProgram.isEmpty())
        m_todomanProgram = QStandardPaths::findExecutable("todoman");
    if (m_todomanProgram.isEmpty())
        missing << "todoman";
    if (!missing.isEmpty()) {
        FAIL() << "not installed: " << missing.join(", ").toStdString()
               << ". Install the Debian package" << (missing.size() > 1 ? "s" : "")
               << " with `apt-get install " << missing.join(" ").toStdString()
               << "` (scripts/setup installs everything scripts/packages.txt lists).";
    }
}

void CalDavFixture::startRadicale()
{
    // A port found free can be taken by another program before radicale binds it: then
    // radicale ends, and another port is tried.
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (tryRadicaleOnFreePort())
            return;
        stopRadicale();
    }
    FAIL() << "radicale did not start on loopback:\n"
           << readFile(m_dir.path() + "/radicale.log").toStdString();
}

bool CalDavFixture::tryRadicaleOnFreePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return false;
    m_port = probe.serverPort();
    probe.close();

    const QString config = m_dir.path() + "/radicale.conf";
    writeText(config,
        QString("[server]\nhosts = 127.0.0.1:%1\n"
                "[auth]\ntype = none\n"
                "[rights]\ntype = owner_only\n"
                "[storage]\nfilesystem_folder = %2/radicale\n"
                "[web]\ntype = none\n"
                "[logging]\nlevel = warning\n")
            .arg(m_port)
            .arg(m_dir.path()));
    m_radicale = std::make_unique<QProcess>();
    m_radicale->setProcessEnvironment(m_environment);
    m_radicale->setProcessChannelMode(QProcess::MergedChannels);
    m_radicale->setStandardInputFile(QProcess::nullDevice());
    m_radicale->setStandardOutputFile(m_dir.path() + "/radicale.log", QIODevice::Append);
    m_radicale->start(m_radicaleProgram, { "--config", config });
    if (!m_radicale->waitForStarted(commandLimitMs))
        return false;

    // Ready once its port takes a connection; ended, it lost the port.
    const QDeadlineTimer deadline(commandLimitMs);
    while (!deadline.hasExpired()) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_port);
        if (socket.waitForConnected(5000))
            return m_radicale->state() == QProcess::Running;
        if (m_radicale->waitForFinished(100))
            return false;
    }
    return false;
}

void CalDavFixture::stopRadicale()
{
    if (!m_radicale)
        return;
    if (m_radicale->state() != QProcess::NotRunning) {
        m_radicale->terminate();
        if (!m_radicale->waitForFinished(30000)) {
            m_radicale->kill();
            m_radicale->waitForFinished(30000);
        }
    }
    m_radicale.reset();
}

std::pair<int, QByteArray> CalDavFixture::request(
    const QByteArray& method, const QString& path, const QByteArray& body)
{
    QNetworkRequest request(QUrl(QString("http://127.0.0.1:%1%2").arg(m_port).arg(path)));
    // The server takes any password; the user owns the collections under its name.
    request.setRawHeader("Authorization", "Basic " + (user + ":" + user).toBase64());
    if (!body.isEmpty())
        request.setHeader(QNetworkRequest::ContentTypeHeader, "application/xml; charset=utf-8");
    std::unique_ptr<QNetworkReply> reply(m_network.sendCustomRequest(request, method, body));
    if (!QTest::qWaitFor([&] { return reply->isFinished(); }, commandLimitMs))
        return { 0, "no answer" };
    return { reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll() };
}

void CalDavFixture::makeServerList()
{
    const auto [status, answer] = request("MKCALENDAR", "/tidemark/errands/",
        R"(<?xml version="1.0" encoding="utf-8"?>
<C:mkcalendar xmlns:D="DAV:" xmlns:C="urn:ietf:params:xml:ns:caldav"
    xmlns:I="http://apple.com/ns/ical/">
  <D:set><D:prop>
    <D:displayname>Errands</D:displayname>
    <I:calendar-color>#FF9500</I:calendar-color>
    <C:supported-calendar-component-set><C:comp name="VTODO"/></C:supported-calendar-component-set>
  </D:prop></D:set>
</C:mkcalendar>)");
    ASSERT_EQ(status, 201) << answer.toStdString();
}

QByteArray CalDavFixture::serverCalendar()
{
    const auto [status, answer] = request("GET", "/tidemark/errands/");
    EXPECT_EQ(status, 200) << answer.toStdString();
    return answer;
}

void CalDavFixture::configureSync()
{
    // Collections that exist on both sides: discovery asks nothing.
    ASSERT_TRUE(QDir().mkpath(tidemarkList()));
    ASSERT_TRUE(QDir().mkpath(secondList()));
    const QString dir = m_dir.path();
    ASSERT_NO_FATAL_FAILURE(writeText(dir + "/vdirsyncer.conf",
        QString(R"([general]
status_path = "%1/vdirsyncer-status/"

[storage server]
type = "caldav"
url = "http://127.0.0.1:%2/tidemark/"
username = "tidemark"
password = "tidemark"
item_types = ["VTODO"]

[storage tidemark_vdir]
type = "filesystem"
path = "%1/calendars/caldav/"
fileext = ".ics"

[storage second_vdir]
type = "filesystem"
path = "%1/second/caldav/"
fileext = ".ics"

[pair tidemark]
a = "tidemark_vdir"
b = "server"
collections = ["from b"]
metadata = ["displayname", "color"]

[pair second]
a = "second_vdir"
b = "server"
collections = ["from b"]
metadata = ["displayname", "color"]
)")
            .arg(dir)
            .arg(m_port)));
    ASSERT_NO_FATAL_FAILURE(vdirsyncer({ "discover", "tidemark" }));
    ASSERT_NO_FATAL_FAILURE(vdirsyncer({ "discover", "second" }));
    // The list's name and colour come down from the server into both trees.
    ASSERT_NO_FATAL_FAILURE(vdirsyncer({ "metasync" }));

    ASSERT_NO_FATAL_FAILURE(writeText(dir + "/todoman.py",
        QString("path = \"%1/second/caldav/*\"\ndate_format = \"%Y-%m-%d\"\n"
                "time_format = \"%H:%M\"\ncache_path = \"%1/todoman-cache.sqlite3\"\n")
            .arg(dir)));
}

CommandResult CalDavFixture::run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessEnvironment(m_environment);
    // Nobody answers a question: a command that asks one fails.
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    CommandResult result;
    result.finished
        = process.waitForStarted(commandLimitMs) && process.waitForFinished(commandLimitMs);
    if (!result.finished) {
        process.kill();
        process.waitForFinished(30000);
    } else if (process.exitStatus() == QProcess::NormalExit) {
        result.exitCode = process.exitCode();
    }
    result.output = process.readAllStandardOutput();
    result.errors = process.readAllStandardError();
    return result;
}

void CalDavFixture::vdirsyncer(const QStringList& arguments)
{
    const CommandResult result = run(m_vdirsyncerProgram, arguments);
    ASSERT_TRUE(result.succeeded())
        << "vdirsyncer " << arguments.join(' ').toStdString()
        << (result.finished ? " failed" : " did not end within two minutes") << ":\n"
        << result.errors.toStdString() << result.output.toStdString();
}

QByteArray CalDavFixture::todoman(const QStringList& arguments)
{
    const CommandResult result = run(
        m_todomanProgram, QStringList { "--config", m_dir.path() + "/todoman.py" } + arguments);
    EXPECT_TRUE(result.succeeded())
        << "todoman " << arguments.join(' ').toStdString()
        << (result.finished ? " failed" : " did not end within two minutes") << ":\n"
        << result.errors.toStdString() << result.output.toStdString();
    return result.output;
}

QJsonArray CalDavFixture::todomanTasks()
{
    return QJsonDocument::fromJson(todoman({ "--porcelain", "list" })).array();
}

QString CalDavFixture::onlyTaskFile(const QString& folder) const
{
    const QStringList names = QDir(folder).entryList({ "*.ics" }, QDir::Files, QDir::Name);
    if (names.size() != 1) {
        ADD_FAILURE() << "expected one task file in " << folder.toStdString() << ", found "
                      << names.size() << ": " << names.join(", ").toStdString();
        return {};
    }
    return folder + "/" + names.front();
}

QByteArray CalDavFixture::readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void CalDavFixture::replaceFile(const QString& path, const QByteArray& bytes)
{
    const QString temporary = path + ".new";
    {
        QFile file(temporary);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << temporary.toStdString();
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    ASSERT_TRUE(QFile::setPermissions(temporary, QFile::permissions(path)));
    ASSERT_EQ(
        std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()),
        0);
}

void CalDavFixture::startTidemark()
{
    m_wallClock = std::make_shared<ManualWallClock>(at(8, 0));
    auto clock = std::make_shared<WallClockTime>(m_wallClock);

    m_server = std::make_unique<FakeNotificationServer>(
        QStringList { "actions", "body", "body-markup", "persistence", "sound" });
    ASSERT_TRUE(m_server->start()) << "the notification server cannot take its name on the bus";
    UNUserNotificationCenter::Configuration configuration;
    configuration.stateDirectory = m_dir.path() + "/notifications";
    configuration.clock = m_wallClock;
    configuration.applicationName = "Tidemark";
    m_center = std::make_unique<UNUserNotificationCenter>(std::move(configuration));
    m_notifications = std::make_shared<UserNotificationsService>(*m_center, clock);
    m_notifications->attachNotificationDelegate();
    // The user allowed notifications on an earlier run.
    m_center->requestAuthorization(UNAuthorizationOptions::alert | UNAuthorizationOptions::sound,
        [](bool, std::optional<UNError>) {});
    ASSERT_TRUE(waitUntil([&] { return m_center->isServerAvailable(); }));

    EventStoreOptions options;
    options.rootPath = tidemarkRoot();
    options.stateDirectory = m_dir.path() + "/state";
    // The user grants the access when asked.
    options.accessPrompt = [](EntityType, std::function<void(bool)> answer) { answer(true); };
    m_reminders = std::make_shared<AppleRemindersService>(std::move(options));

    const ReducerEnvironment environment { clock };
    // The program's order: the task lists' middleware before the notifications' one.
    m_store = AppStore::make(AppState::initial(clock->now(), Calendar("UTC")),
        [environment](
            AppState& state, const AppAction& action) { appReducer(state, action, environment); },
        { appleRemindersMiddleware(m_reminders),
            userNotificationsMiddleware(m_notifications, { clock, Uuid::sequentialGenerator() }) });
    dispatch(AppAction::Notifications {
        NotificationsAction { UserNotificationsAction::IsEnabled { true } } });
    dispatch(AppAction::Reminders { RemindersAction::Services {
        RemindersServicesAction::DataSource { RemindersDataSource::appleReminders } } });
    ASSERT_TRUE(waitUntil([&] {
        const auto& items = state().remindersStore.items;
        return items.status == Status::completed && !items.error;
    })) << "Tidemark did not read its task lists";
}

std::optional<AnyReminder> CalDavFixture::onlyReminder() const
{
    const auto& items = state().remindersStore.items.value;
    if (items.size() != 1)
        return std::nullopt;
    return *items.begin();
}

Date at(int hour, int minute, int second)
{
    using namespace std::chrono;
    return Date(
        sys_days(year(2030) / January / 2) + hours(hour) + minutes(minute) + seconds(second));
}

QStringList contentLines(const QByteArray& text)
{
    QStringList lines;
    for (QString line : QString::fromUtf8(text).split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if ((line.startsWith(' ') || line.startsWith('\t')) && !lines.isEmpty())
            lines.last() += line.mid(1);
        else if (!line.isEmpty())
            lines << line;
    }
    return lines;
}

std::vector<std::string> linesADueChangeKeeps(const QByteArray& text)
{
    static const QStringList renewed { "DUE", "DTSTAMP", "LAST-MODIFIED", "SEQUENCE" };
    std::vector<std::string> kept;
    int depth = 0; // 1 inside the VTODO, more inside what it nests
    bool inAlarm = false;
    for (const QString& line : contentLines(text)) {
        const QString name = propertyName(line);
        if (depth == 0) {
            if (line.compare("BEGIN:VTODO", Qt::CaseInsensitive) == 0)
                depth = 1;
            continue;
        }
        if (name == "BEGIN") {
            if (++depth == 2)
                inAlarm = line.compare("BEGIN:VALARM", Qt::CaseInsensitive) == 0;
        } else if (name == "END") {
            if (--depth == 0)
                break;
            if (depth == 1 && inAlarm) {
                inAlarm = false;
                continue;
            }
        }
        if (inAlarm || (depth == 1 && renewed.contains(name)))
            continue;
        kept.push_back(line.toStdString());
    }
    return kept;
}

std::vector<std::string> inAnyOrder(std::vector<std::string> lines)
{
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::optional<Date> dueOf(const QByteArray& text)
{
    const ics::File file = ics::parse(text.toStdString());
    if (file.todos.size() != 1 || !file.todos.front().due)
        return std::nullopt;
    return eventstore::dateFromComponents(*file.todos.front().due);
}

qint64 epochSeconds(Date date)
{
    return std::chrono::duration_cast<std::chrono::seconds>(date.time_since_epoch()).count();
}

std::optional<qint64> epochSeconds(const std::optional<Date>& date)
{
    if (!date)
        return std::nullopt;
    return epochSeconds(*date);
}

} // namespace tidemark::test
