#include "VdirFixture.hpp"

#include "platform/eventstore/ComponentsDate.hpp"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>

namespace tidemark::test {
namespace {

// todoman, the command-line task manager, over the same tree: what one writes the other reads.
class TodomanInteropTest : public VdirFixture {
protected:
    void SetUp() override
    {
        VdirFixture::SetUp();
        m_todo = QStandardPaths::findExecutable("todo");
        if (m_todo.isEmpty())
            m_todo = QStandardPaths::findExecutable("todoman");
        if (m_todo.isEmpty())
            GTEST_SKIP() << "todoman is not installed: `apt-get install todoman` (listed in "
                            "scripts/packages.txt)";
        makeDir("acc/work");
        writeFile("acc/work/displayname", "Work\n");
        QFile config(m_dir.path() + "/todoman.py");
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write(
            QString("path = \"%1/*/*\"\ndate_format = \"%Y-%m-%d\"\ntime_format = \"%H:%M\"\n"
                    "cache_path = \"%2/todoman-cache.sqlite3\"\n")
                .arg(root(), m_dir.path())
                .toUtf8());
    }

    // Runs todoman; listings come as JSON.
    QByteArray todo(const QStringList& arguments)
    {
        const bool listing = arguments.value(0) == "list";
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TZ", "Europe/Berlin");
        process.setProcessEnvironment(environment);
        process.start(m_todo,
            (listing ? QStringList { "--porcelain" } : QStringList {})
                + QStringList { "--config", m_dir.path() + "/todoman.py" } + arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return process.readAllStandardOutput();
    }

    QString m_todo;
};

TEST_F(TodomanInteropTest, listsAReminderWeWrite)
{
    auto store = makeStore();
    Reminder r = Reminder::create();
    r.setTitle("Call Grüße & co, today");
    r.setDueDateComponents(components(2030, 1, 2, 10, 0, "Europe/Berlin"));
    r.setCalendar(store->calendarWithIdentifier("acc/work"));
    store->saveReminder(r, true);

    const QJsonArray tasks = QJsonDocument::fromJson(todo({ "list" })).array();
    ASSERT_EQ(tasks.size(), 1);
    const QJsonObject task = tasks[0].toObject();
    EXPECT_EQ(task["summary"].toString().toStdString(), "Call Grüße & co, today");
    EXPECT_EQ(task["list"].toString(), "Work");
    const auto due = eventstore::dateFromComponents(components(2030, 1, 2, 9, 0, "UTC"));
    EXPECT_EQ(task["due"].toInteger(),
        std::chrono::duration_cast<std::chrono::seconds>(due->time_since_epoch()).count());
    EXPECT_FALSE(task["completed"].toBool());

    // Completed by us, it leaves todoman's list of open tasks too.
    r = *store->calendarItemWithIdentifier(r.calendarItemIdentifier());
    r.setCompleted(true);
    store->saveReminder(r, true);
    EXPECT_EQ(QJsonDocument::fromJson(todo({ "list" })).array().size(), 0);
}

TEST_F(TodomanInteropTest, readsATaskTodomanCreates)
{
    todo({ "new", "--list", "Work", "--due", "2030-01-02 10:00", "Buy milk" });
    auto store = makeStore();
    const auto reminders = store->fetchReminders(store->predicateForIncompleteReminders(
        {}, {}, std::vector { *store->calendarWithIdentifier("acc/work") }));
    ASSERT_EQ(reminders.size(), 1u);
    EXPECT_EQ(reminders[0].title(), "Buy milk");
    ASSERT_TRUE(reminders[0].dueDateComponents());
    EXPECT_EQ(eventstore::dateFromComponents(*reminders[0].dueDateComponents()),
        eventstore::dateFromComponents(components(2030, 1, 2, 9, 0, "UTC")));

    // Our change reaches todoman, which still knows the task.
    Reminder changed = reminders[0];
    changed.setTitle("Buy oat milk");
    store->saveReminder(changed, true);
    const QJsonArray tasks = QJsonDocument::fromJson(todo({ "list" })).array();
    ASSERT_EQ(tasks.size(), 1);
    EXPECT_EQ(tasks[0].toObject()["summary"].toString(), "Buy oat milk");
}

} // namespace
} // namespace tidemark::test
