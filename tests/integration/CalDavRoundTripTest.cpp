#include "CalDavFixture.hpp"

#include "notifications/NotificationsSlice.hpp"
#include "notifications/UserNotificationReminderActionIdentifier.hpp"

#include <QJsonDocument>
#include <QJsonObject>

#include <sys/stat.h>

namespace tidemark::test {
namespace {

// The permission bits of a file; -1 when it cannot be read.
int modeOf(const QString& path)
{
    struct stat info { };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return int(info.st_mode & 07777);
}

// What the notification centre reports when the user picks a snooze button.
AppAction notificationResponse(UserNotificationReminderActionIdentifier button, std::string id)
{
    return AppAction::Notifications { NotificationsAction {
        UserNotificationsAction::NotificationAction {
            std::string(rawValue(button)), std::move(id) } } };
}

// A task of todoman's listing, without todoman's own running number, as text.
std::string listing(QJsonObject task)
{
    task.remove("id");
    return QJsonDocument(task).toJson(QJsonDocument::Compact).toStdString();
}

class CalDavRoundTripTest : public CalDavFixture {
protected:
    // todoman makes a task in the second tree, from 09:30 to 10:00 in Berlin (08:30 to 09:00
    // UTC); vdirsyncer takes it to the server and from there into Tidemark's tree, and
    // Tidemark reads it into its list.
    void bringTaskToTidemark()
    {
        todoman({ "new", "--list", "Errands", "--start", "2030-01-02 09:30", "--due",
            "2030-01-02 10:00", "--location", "Corner shop", "--priority", "high", "Buy milk" });
        const QString madeFile = onlyTaskFile(secondList());
        ASSERT_FALSE(madeFile.isEmpty());
        m_made = readFile(madeFile);
        const QJsonArray listed = todomanTasks();
        ASSERT_EQ(listed.size(), 1);
        m_listed = listed[0].toObject();

        ASSERT_NO_FATAL_FAILURE(sync("second"));
        ASSERT_NO_FATAL_FAILURE(sync("tidemark"));
        m_file = onlyTaskFile(tidemarkList());
        ASSERT_FALSE(m_file.isEmpty());

        ASSERT_NO_FATAL_FAILURE(startTidemark());
        ASSERT_TRUE(waitUntil([&] { return onlyReminder().has_value(); }))
            << "Tidemark's list holds " << state().remindersStore.items.value.size()
            << " reminders";
        m_reminder = *onlyReminder();
        // The list, named on the server, is the one Tidemark shows.
        ASSERT_TRUE(state().reminders.selectedList.has_value());
        EXPECT_EQ(state().reminders.selectedList->id, "caldav/errands");
        EXPECT_EQ(state().reminders.selectedList->title, "Errands");
        EXPECT_EQ(m_reminder.listID, "caldav/errands");
        EXPECT_EQ(m_reminder.title, "Buy milk");
        EXPECT_EQ(epochSeconds(startDate(m_reminder)), epochSeconds(at(8, 30)));
        EXPECT_EQ(epochSeconds(dueDate(m_reminder)), epochSeconds(at(9, 0)));
    }

    std::vector<std::string> pendingNotifications() const
    {
        std::vector<std::string> identifiers;
        m_center->getPendingNotificationRequests(
            [&](const std::vector<UNNotificationRequest>& requests) {
                for (const auto& request : requests)
                    identifiers.push_back(request.identifier);
            });
        return identifiers;
    }

    bool reminderDue(Date date) const
    {
        const auto reminder = onlyReminder();
        return reminder && dueDate(*reminder) == date;
    }

    QByteArray m_made; // the task file as todoman wrote it
    QJsonObject m_listed; // todoman's listing of it then
    QString m_file; // its file in Tidemark's tree
    AnyReminder m_reminder; // as Tidemark first read it
};

TEST_F(CalDavRoundTripTest, aTodomanTaskReachesTidemarkAndItsSnoozeReachesTheServerAndTheOtherTree)
{
    ASSERT_NO_FATAL_FAILURE(bringTaskToTidemark());

    // Its notification is scheduled and shows at its due time, where the user picks
    // "Snooze 15 Minutes".
    ASSERT_TRUE(waitUntil(
        [&] { return pendingNotifications() == std::vector<std::string> { m_reminder.id }; }));
    const QByteArray before = readFile(m_file);
    m_wallClock->setNow(at(9, 0));
    std::optional<FakeNotificationServer::NotifyCall> shown;
    ASSERT_TRUE(waitUntil([&] {
        for (const auto& call : m_server->notifyCalls()) {
            if (call.body == "Buy milk")
                shown = call;
        }
        return shown.has_value();
    }));
    // The actions come as pairs of key and label.
    const qsizetype label = shown->actions.indexOf("Snooze 15 Minutes");
    ASSERT_GT(label, 0) << shown->actions.join(", ").toStdString();
    m_server->invokeAction(shown->id, shown->actions[label - 1]);

    // Tidemark writes the new due time, 15 minutes and a second after the click, into its
    // file, and reads it back into its list.
    const Date snoozed = at(9, 15, 1);
    ASSERT_TRUE(waitUntil([&] { return reminderDue(snoozed); }));
    const QByteArray written = readFile(m_file);
    EXPECT_EQ(epochSeconds(dueOf(written)), epochSeconds(snoozed));
    EXPECT_EQ(linesADueChangeKeeps(written), linesADueChangeKeeps(before));

    // Up to the server and down into the second tree: the new due time, and every other
    // property as todoman wrote it.
    ASSERT_NO_FATAL_FAILURE(sync("tidemark"));
    ASSERT_NO_FATAL_FAILURE(sync("second"));
    const QByteArray onServer = serverCalendar();
    EXPECT_EQ(epochSeconds(dueOf(onServer)), epochSeconds(snoozed));
    EXPECT_EQ(inAnyOrder(linesADueChangeKeeps(onServer)), inAnyOrder(linesADueChangeKeeps(m_made)));
    const QString secondFile = onlyTaskFile(secondList());
    ASSERT_FALSE(secondFile.isEmpty());
    const QByteArray arrived = readFile(secondFile);
    EXPECT_EQ(epochSeconds(dueOf(arrived)), epochSeconds(snoozed));
    EXPECT_EQ(inAnyOrder(linesADueChangeKeeps(arrived)), inAnyOrder(linesADueChangeKeeps(m_made)));

    const QJsonArray listed = todomanTasks();
    ASSERT_EQ(listed.size(), 1);
    QJsonObject expected = m_listed;
    expected["due"] = epochSeconds(snoozed);
    EXPECT_EQ(listing(listed[0].toObject()), listing(expected));
}

// Waits for two changes being made to the service elsewhere: an update writes only the
// fields the user changed, and a write keeps the file's mode. Until both are in, the checks
// of the written file, of the title in the second tree and of the title Tidemark shows fail.
TEST_F(CalDavRoundTripTest, aSnoozeRightAfterASyncKeepsTheTitleChangedElsewhereAndTheFileMode)
{
    ASSERT_NO_FATAL_FAILURE(bringTaskToTidemark());
    // vdirsyncer, like todoman, writes files only their owner may read.
    ASSERT_EQ(modeOf(m_file), 0600);

    // While Tidemark runs, the title is changed in the second tree and synced through the
    // server into Tidemark's.
    const QString secondFile = onlyTaskFile(secondList());
    ASSERT_FALSE(secondFile.isEmpty());
    QByteArray edited = readFile(secondFile);
    ASSERT_TRUE(contentLines(edited).contains("SUMMARY:Buy milk"));
    edited.replace("SUMMARY:Buy milk", "SUMMARY:Buy oat milk");
    ASSERT_NO_FATAL_FAILURE(replaceFile(secondFile, edited));
    ASSERT_NO_FATAL_FAILURE(sync("second"));
    ASSERT_NO_FATAL_FAILURE(sync("tidemark"));
    const QByteArray fetched = readFile(m_file);
    ASSERT_TRUE(contentLines(fetched).contains("SUMMARY:Buy oat milk"));

    // The user snoozes the notification at once: Tidemark has not read the change yet, so
    // the snooze starts from the copy it read before.
    ASSERT_TRUE(onlyReminder() == m_reminder) << "Tidemark read the change before the snooze";
    dispatch(
        notificationResponse(UserNotificationReminderActionIdentifier::snooze15Min, m_reminder.id));
    const Date snoozed = at(8, 15, 1);
    ASSERT_TRUE(waitUntil([&] { return reminderDue(snoozed); }));

    // Only the due time is written: the new title stays, and the file stays the owner's.
    const QByteArray written = readFile(m_file);
    EXPECT_EQ(epochSeconds(dueOf(written)), epochSeconds(snoozed));
    EXPECT_EQ(linesADueChangeKeeps(written), linesADueChangeKeeps(fetched))
        << "the snooze wrote back fields the user did not change";
    EXPECT_EQ(modeOf(m_file), 0600) << "the write did not keep the file's mode";

    // Both changes reach the server and the second tree, and Tidemark shows both.
    ASSERT_NO_FATAL_FAILURE(sync("tidemark"));
    ASSERT_NO_FATAL_FAILURE(sync("second"));
    const QString synced = onlyTaskFile(secondList());
    ASSERT_FALSE(synced.isEmpty());
    const QByteArray arrived = readFile(synced);
    EXPECT_EQ(epochSeconds(dueOf(arrived)), epochSeconds(snoozed));
    EXPECT_EQ(inAnyOrder(linesADueChangeKeeps(arrived)), inAnyOrder(linesADueChangeKeeps(edited)));
    const QJsonArray listed = todomanTasks();
    ASSERT_EQ(listed.size(), 1);
    EXPECT_EQ(listed[0].toObject()["summary"].toString().toStdString(), "Buy oat milk");
    EXPECT_EQ(listed[0].toObject()["due"].toInteger(), epochSeconds(snoozed));
    EXPECT_TRUE(waitUntil([&] {
        const auto reminder = onlyReminder();
        return reminder && reminder->title == "Buy oat milk" && dueDate(*reminder) == snoozed;
    })) << "Tidemark shows \""
        << onlyReminder().value_or(AnyReminder {}).title << "\"";
}

} // namespace
} // namespace tidemark::test
