#include "TaskListsFixture.hpp"

#include <cstdio>

namespace tidemark::test {

void TaskListsFixture::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    ASSERT_TRUE(QDir().mkpath(pathOf("personal/home")));
    ASSERT_TRUE(QDir().mkpath(pathOf("personal/work")));
    ASSERT_TRUE(QDir().mkpath(pathOf("bare")));
    writeFile("personal/displayname", "Personal\n");
    writeFile("personal/home/displayname", "Home\n");
    writeFile("personal/work/displayname", "Work\n");
    writeTask("personal/home", "seed", "Seed");
}

void TaskListsFixture::writeFile(const QString& relative, const QByteArray& bytes) const
{
    QFile file(pathOf(relative));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << relative.toStdString();
    file.write(bytes);
}

QByteArray TaskListsFixture::readFile(const QString& relative) const
{
    QFile file(pathOf(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList TaskListsFixture::icsFiles(const QString& list) const
{
    return QDir(pathOf(list)).entryList({ "*.ics" }, QDir::Files, QDir::Name);
}

void TaskListsFixture::writeTask(
    const QString& list, const QString& uid, const QString& title) const
{
    writeFile(list + "/" + uid + ".ics",
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Test//EN\r\nBEGIN:VTODO\r\nUID:"
            + uid.toUtf8() + "\r\nSUMMARY:" + title.toUtf8()
            + "\r\nEND:VTODO\r\nEND:VCALENDAR\r\n");
}

void TaskListsFixture::replaceFile(const QString& relative, const QByteArray& bytes) const
{
    writeFile(relative + ".part", bytes);
    ASSERT_EQ(::rename(QFile::encodeName(pathOf(relative + ".part")).constData(),
                  QFile::encodeName(pathOf(relative)).constData()),
        0);
}

QByteArray taskFile(const QByteArray& lines)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Test//EN\r\nBEGIN:VTODO\r\n" + lines
        + "END:VTODO\r\nEND:VCALENDAR\r\n";
}

std::shared_ptr<AppleRemindersService> TaskListsFixture::makeService(
    AuthorizationStatus status, EventStoreAccessPrompt prompt) const
{
    QDir().mkpath(stateDir());
    if (status != AuthorizationStatus::notDetermined) {
        QFile answer(stateDir() + "/eventstore-access");
        if (answer.open(QIODevice::WriteOnly))
            answer.write(status == AuthorizationStatus::fullAccess ? "reminders=fullAccess\n"
                                                                   : "reminders=denied\n");
    }
    EventStoreOptions options;
    options.rootPath = root();
    options.stateDirectory = stateDir();
    options.accessPrompt = std::move(prompt);
    options.coalesceMilliseconds = 20;
    return std::make_shared<AppleRemindersService>(options);
}

Date at(int hour, int minute)
{
    using namespace std::chrono;
    return Date(sys_days(year(2030) / January / 1) + hours(hour) + minutes(minute));
}

AnyReminder reminder(const std::string& title, Date start, int minutes,
    std::optional<std::string> listID, std::string id)
{
    AnyReminder r;
    r.id = std::move(id);
    r.title = title;
    r.listID = std::move(listID);
    setStartDate(r, start);
    setDueDate(r, start + std::chrono::minutes(minutes));
    return r;
}

std::shared_ptr<const DateComponentsFormatter> titleFormatter()
{
    auto formatter = std::make_shared<DateComponentsFormatter>();
    formatter->setAllowedUnits(
        { DateComponentsFormatter::Unit::hour, DateComponentsFormatter::Unit::minute });
    formatter->setUnitsStyle(DateComponentsFormatter::UnitsStyle::short_);
    return formatter;
}

} // namespace tidemark::test
