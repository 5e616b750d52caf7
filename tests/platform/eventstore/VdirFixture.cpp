#include "VdirFixture.hpp"

#include <QDirIterator>

namespace tidemark::test {

void VdirFixture::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    makeDir("");
}

void VdirFixture::makeDir(const QString& relative) const
{
    ASSERT_TRUE(QDir().mkpath(pathOf(relative)));
}

void VdirFixture::writeFile(const QString& relative, const QByteArray& bytes) const
{
    QFile file(pathOf(relative));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << relative.toStdString();
    file.write(bytes);
}

QByteArray VdirFixture::readFile(const QString& relative) const
{
    QFile file(pathOf(relative));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QStringList VdirFixture::icsFiles(const QString& list) const
{
    QStringList names = QDir(pathOf(list)).entryList({ "*.ics" }, QDir::Files);
    names.sort();
    return names;
}

std::unique_ptr<EventStore> VdirFixture::makeStore(
    AuthorizationStatus status, int coalesceMilliseconds) const
{
    QDir().mkpath(stateDir());
    QFile answer(stateDir() + "/eventstore-access");
    if (status != AuthorizationStatus::notDetermined) {
        const char* name = status == AuthorizationStatus::fullAccess ? "fullAccess"
            : status == AuthorizationStatus::denied                  ? "denied"
            : status == AuthorizationStatus::writeOnly               ? "writeOnly"
                                                                     : "restricted";
        if (answer.open(QIODevice::WriteOnly))
            answer.write(QByteArray("reminders=") + name + "\n");
        answer.close();
    }
    EventStoreOptions options;
    options.rootPath = root();
    options.stateDirectory = stateDir();
    options.coalesceMilliseconds = coalesceMilliseconds;
    return std::make_unique<EventStore>(options);
}

void VdirFixture::makeUsualTree() const
{
    makeDir("personal/work");
    makeDir("personal/home");
    makeDir("bare");
    writeFile("personal/displayname", "Personal\n");
    writeFile("personal/work/displayname", "Work\n");
    writeFile("personal/work/color", "#ff0000\n");
    writeFile("personal/home/seed.ics", todoFile("UID:seed\r\nSUMMARY:Seed\r\n"));
}

QByteArray todoFile(const QByteArray& body)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Test//EN\r\nBEGIN:VTODO\r\n" + body
        + "END:VTODO\r\nEND:VCALENDAR\r\n";
}

DateComponents components(int year, int month, int day, std::optional<int> hour,
    std::optional<int> minute, std::optional<std::string> zone)
{
    DateComponents c;
    c.calendar = CalendarIdentifier::gregorian;
    c.timeZone = std::move(zone);
    c.year = year;
    c.month = month;
    c.day = day;
    c.hour = hour;
    c.minute = minute;
    if (hour)
        c.second = 0;
    return c;
}

} // namespace tidemark::test
