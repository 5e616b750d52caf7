#pragma once

#include "platform/foundation/DateComponentsFormatter.hpp"
#include "reminders/applereminders/AppleRemindersService.hpp"
#include "support/TestMainQueue.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

namespace tidemark::test {

// Runs the main queue and Qt's events until `condition` holds: background work, the
// store's change signal and the answers that come back through the main queue all
// complete on their own time. Gives up after a generous bound.
template <class Condition>
bool waitUntil(Condition condition, std::chrono::milliseconds limit = std::chrono::seconds(10))
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        drainMainQueue();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        drainMainQueue();
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return condition();
}

// A vdir tree of task lists in a temporary folder: source "personal" ("Personal") with the
// lists "personal/home" ("Home", the default for new tasks, holding the task "seed") and
// "personal/work" ("Work"); and the source "bare" without lists.
class TaskListsFixture : public testing::Test {
protected:
    void SetUp() override;

    QString root() const { return m_dir.path() + "/calendars"; }
    QString stateDir() const { return m_dir.path() + "/state"; }
    QString pathOf(const QString& relative) const { return root() + "/" + relative; }
    void writeFile(const QString& relative, const QByteArray& bytes) const;
    QByteArray readFile(const QString& relative) const;
    QStringList icsFiles(const QString& list) const;
    // Adds a task file as another program would.
    void writeTask(const QString& list, const QString& uid, const QString& title) const;
    // Puts a file in place as vdirsyncer and todoman do: written beside it, then renamed
    // over it.
    void replaceFile(const QString& relative, const QByteArray& bytes) const;

    // A service over the tree. Unless `status` is notDetermined, the user answered before.
    std::shared_ptr<AppleRemindersService> makeService(
        AuthorizationStatus status = AuthorizationStatus::fullAccess,
        EventStoreAccessPrompt prompt = {}) const;

    QTemporaryDir m_dir;
};

// 1 January 2030 at the time given, in UTC.
Date at(int hour, int minute);
// A VCALENDAR text with one VTODO made of `lines` (CRLF endings).
QByteArray taskFile(const QByteArray& lines);
// A reminder from `start` to `start + minutes`, not yet stored.
AnyReminder reminder(const std::string& title, Date start, int minutes,
    std::optional<std::string> listID = std::nullopt, std::string id = "given");
// Hours and minutes, short units: "15 min".
std::shared_ptr<const DateComponentsFormatter> titleFormatter();

} // namespace tidemark::test
