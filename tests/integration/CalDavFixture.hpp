#pragma once

#include "FakeNotificationServer.hpp"

#include "core/Store.hpp"
#include "core/state/AppState.hpp"
#include "notifications/UserNotificationsService.hpp"
#include "platform/foundation/Clock.hpp"
#include "platform/usernotifications/UNUserNotificationCenter.hpp"
#include "platform/usernotifications/WallClock.hpp"
#include "reminders/Reminder.hpp"
#include "reminders/applereminders/AppleRemindersService.hpp"
#include "support/TestMainQueue.hpp"

#include <QByteArray>
#include <QJsonArray>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tidemark::test {

// What an outside command did.
struct CommandResult {
    bool finished = false; // it ended within the time allowed
    int exitCode = -1;
    QByteArray output;
    QByteArray errors;

    bool succeeded() const { return finished && exitCode == 0; }
};

// The centre's wall clock as the clock of the store and the services, so that "now" is the
// same moment everywhere.
class WallClockTime final : public Clock {
public:
    explicit WallClockTime(std::shared_ptr<WallClock> clock)
        : m_clock(std::move(clock))
    {
    }
    Date now() const override { return m_clock->now(); }

private:
    std::shared_ptr<WallClock> m_clock;
};

// A CalDAV server (radicale) on loopback holding one task list, "Errands"; two vdir trees
// that vdirsyncer keeps in step with it: Tidemark's (pair "tidemark") and a second one that
// todoman works on (pair "second"); and Tidemark running over its tree the way the program
// does: a main store with the task-list middleware and the notifications middleware after
// it, the real services, the notification centre on a manual wall clock and the tests'
// small notification server on the private session bus.
//
// Every outside command runs with a temporary home, no proxy and the zone Europe/Berlin.
class CalDavFixture : public testing::Test {
protected:
    using AppStore = Store<AppState, AppAction>;

    void SetUp() override;
    void TearDown() override;

    QString tidemarkRoot() const { return m_dir.path() + "/calendars"; }
    // The list's folder in each tree.
    QString tidemarkList() const { return tidemarkRoot() + "/caldav/errands"; }
    QString secondList() const { return m_dir.path() + "/second/caldav/errands"; }

    // Runs an outside command to its end (at most two minutes). Processes no events and
    // runs nothing of the main queue meanwhile, so Tidemark sees nothing of it until the
    // test lets it.
    CommandResult run(const QString& program, const QStringList& arguments);
    // vdirsyncer with the fixture's configuration; a failure fails the test.
    void vdirsyncer(const QStringList& arguments);
    void sync(const QString& pair) { vdirsyncer({ "sync", pair }); }
    // todoman over the second tree; a failure fails the test.
    QByteArray todoman(const QStringList& arguments);
    // todoman's listing of the open tasks, in its stable JSON form.
    QJsonArray todomanTasks();

    // The path of the one `.ics` file in a folder; empty (and a failure) unless there is
    // exactly one.
    QString onlyTaskFile(const QString& folder) const;
    static QByteArray readFile(const QString& path);
    // Writes as an editor does: a new file beside it, renamed over it, the mode kept.
    static void replaceFile(const QString& path, const QByteArray& bytes);

    // The list as the server gives it out (a GET of the collection).
    QByteArray serverCalendar();

    // Starts Tidemark's store with notifications on and the calendar task lists as its data
    // source; returns once its first read of the list has landed.
    void startTidemark();
    const AppState& state() const { return m_store->state(); }
    void dispatch(const AppAction& action) { m_store->dispatch(action); }
    // The one reminder of Tidemark's state; none unless there is exactly one.
    std::optional<AnyReminder> onlyReminder() const;

    // Runs Qt's events and the main queue until `condition` holds, for at most a minute.
    template <class Condition> bool waitUntil(Condition condition)
    {
        return QTest::qWaitFor(
            [&] {
                drainMainQueue();
                return condition();
            },
            60000);
    }

    QTemporaryDir m_dir;
    QProcessEnvironment m_environment;
    QString m_radicaleProgram;
    QString m_vdirsyncerProgram;
    QString m_todomanProgram;
    std::unique_ptr<QProcess> m_radicale;
    quint16 m_port = 0;
    QNetworkAccessManager m_network;

    std::shared_ptr<ManualWallClock> m_wallClock;
    std::unique_ptr<FakeNotificationServer> m_server;
    std::unique_ptr<UNUserNotificationCenter> m_center;
    std::shared_ptr<UserNotificationsService> m_notifications;
    std::shared_ptr<AppleRemindersService> m_reminders;
    std::shared_ptr<AppStore> m_store;

private:
    void findPrograms();
    void startRadicale();
    bool tryRadicaleOnFreePort();
    void stopRadicale();
    // Sends one request to the server with the fixture's user; the reply's status and body.
    std::pair<int, QByteArray> request(
        const QByteArray& method, const QString& path, const QByteArray& body = {});
    void makeServerList();
    void configureSync();
};

// 2 January 2030 at the UTC time given.
Date at(int hour, int minute, int second = 0);

// The content lines of an iCalendar text: unfolded, without their line ends.
QStringList contentLines(const QByteArray& text);
// The lines of the VTODO that a change of its due time leaves as they are, in their order:
// all but DUE, the stamps every writer renews (DTSTAMP, LAST-MODIFIED, SEQUENCE) and the
// alarms nested in it. A time zone the new due time brings along stands outside the VTODO.
std::vector<std::string> linesADueChangeKeeps(const QByteArray& text);
// The same lines sorted: the server writes a task's properties in an order of its own.
std::vector<std::string> inAnyOrder(std::vector<std::string> lines);
// The due time of the text's one task, read with libical.
std::optional<Date> dueOf(const QByteArray& text);
// Seconds since 1970, as todoman lists due times (and as failures show them).
qint64 epochSeconds(Date date);
std::optional<qint64> epochSeconds(const std::optional<Date>& date);

} // namespace tidemark::test
