#include "VdirFixture.hpp"

#include "platform/eventstore/ComponentsDate.hpp"
#include "platform/foundation/UserDefaults.hpp"

#include <QDateTime>
#include <QRegularExpression>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tidemark::test {
namespace {

namespace fs = std::filesystem;

const QByteArray head = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Test//EN\r\n";
const QByteArray tail = "END:VCALENDAR\r\n";

class RewriteTest : public VdirFixture {
protected:
    mode_t modeOf(const QString& relative) const
    {
        struct stat st { };
        if (::stat(QFile::encodeName(pathOf(relative)).constData(), &st) != 0)
            return 0;
        return st.st_mode & 07777;
    }
    void setMode(const QString& relative, mode_t mode) const
    {
        ASSERT_EQ(::chmod(QFile::encodeName(pathOf(relative)).constData(), mode), 0);
    }
    QStringList leftovers(const QString& list) const
    {
        return QDir(pathOf(list)).entryList({ "*.tmp" }, QDir::Files | QDir::Hidden);
    }
    // Paths as bytes, for names that are not UTF-8.
    fs::path rawPath(const std::string& relative) const
    {
        return fs::path(root().toStdString()) / relative;
    }
    void writeRaw(const std::string& relative, const std::string& bytes) const
    {
        std::ofstream(rawPath(relative), std::ios::binary) << bytes;
    }
    std::string readRaw(const std::string& relative) const
    {
        std::ifstream in(rawPath(relative), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void retitle(EventStore& store, const std::string& id, const std::string& title) const
    {
        Reminder r = *store.calendarItemWithIdentifier(id);
        r.setTitle(title);
        store.saveReminder(r, true);
    }
};

bool isText(const std::string& text)
{
    return validUtf8(text) == text;
}

TEST_F(RewriteTest, keepsTheModeOfEveryFileItRewritesAndMakesNewFilesPrivate)
{
    makeDir("src/list");
    makeDir("src/shared");
    makeDir("src/empty");
    writeFile("src/empty/displayname", "Empty\n");
    const mode_t modes[] = { 0600, 0640, 0604 };
    for (mode_t mode : modes) {
        const QString id = QString("m%1").arg(mode, 0, 8);
        writeFile(
            "src/list/" + id + ".ics", todoFile("UID:" + id.toUtf8() + "\r\nSUMMARY:Old\r\n"));
        setMode("src/list/" + id + ".ics", mode);
    }
    writeFile("src/shared/a.ics", todoFile("UID:shared\r\n"));
    setMode("src/shared/a.ics", 0640);
    auto store = makeStore();

    for (mode_t mode : modes) {
        SCOPED_TRACE(mode);
        const QString id = QString("m%1").arg(mode, 0, 8);
        retitle(*store, id.toStdString(), "New");
        EXPECT_TRUE(readFile("src/list/" + id + ".ics").contains("SUMMARY:New"));
        EXPECT_EQ(modeOf("src/list/" + id + ".ics"), mode);
    }

    // Moved to another list, a task keeps its mode.
    Reminder moving = *store->calendarItemWithIdentifier("m640");
    moving.setCalendar(store->calendarWithIdentifier("src/empty"));
    store->saveReminder(moving, true);
    EXPECT_EQ(modeOf("src/empty/m640.ics"), 0640u);

    // A new task takes the mode of the list's task files; without any, it is private.
    auto create = [&](const std::string& list) {
        Reminder r = Reminder::create();
        r.setCalendar(store->calendarWithIdentifier(list));
        store->saveReminder(r, true);
        return QString::fromStdString(list + "/" + r.calendarItemIdentifier() + ".ics");
    };
    EXPECT_EQ(modeOf(create("src/shared")), 0640u);
    ASSERT_TRUE(QFile::remove(pathOf("src/empty/m640.ics")));
    EXPECT_EQ(modeOf(create("src/empty")), 0600u);

    for (const char* list : { "src/list", "src/shared", "src/empty" })
        EXPECT_TRUE(leftovers(list).isEmpty()) << list;
}

// A change writes the lines it changes, in their places; every other line keeps its
// bytes (here: line feeds alone, and a fold well before 75 octets).
TEST_F(RewriteTest, keepsTheBytesAndPlacesOfTheLinesItDoesNotChange)
{
    const QByteArray before = "BEGIN:VCALENDAR\n"
                              "VERSION:2.0\n"
                              "PRODID:-//Other//Other//EN\n"
                              "BEGIN:VTODO\n"
                              "DTSTAMP:20240101T000000Z\n"
                              "UID:keep\n"
                              "SUMMARY:Old\n"
                              "DESCRIPTION:A description that another program folded well before\n"
                              "  seventy-five octets\\, and which keeps its fold\n"
                              "SEQUENCE:3\n"
                              "DUE:20300101T100000Z\n"
                              "LAST-MODIFIED:20240101T000000Z\n"
                              "X-ORDER:1\n"
                              "BEGIN:VALARM\n"
                              "ACTION:DISPLAY\n"
                              "DESCRIPTION:Old\n"
                              "TRIGGER;VALUE=DATE-TIME:20300101T100000Z\n"
                              "END:VALARM\n"
                              "BEGIN:VALARM\n"
                              "ACTION:AUDIO\n"
                              "TRIGGER:-PT5M\n"
                              "END:VALARM\n"
                              "END:VTODO\n"
                              "END:VCALENDAR\n";
    auto changed = [&](const char* from, const char* to) {
        QByteArray text = before;
        return text.replace("DTSTAMP:20240101T000000Z", "DTSTAMP:NOW")
            .replace("LAST-MODIFIED:20240101T000000Z", "LAST-MODIFIED:NOW")
            .replace("SEQUENCE:3", "SEQUENCE:4")
            .replace(from, to);
    };
    struct Case {
        const char* name;
        std::function<void(Reminder&)> change;
        QByteArray expected;
    };
    const std::vector<Case> cases {
        { "title", [](Reminder& r) { r.setTitle("New"); },
            changed("SUMMARY:Old\nDESCRIPTION:A", "SUMMARY:New\nDESCRIPTION:A")
                .replace("DESCRIPTION:Old", "DESCRIPTION:New") },
        { "due", [](Reminder& r) { r.setDueDateComponents(components(2030, 1, 1, 11, 0, "UTC")); },
            changed("DUE:20300101T100000Z", "DUE:20300101T110000Z")
                .replace("DATE-TIME:20300101T100000Z", "DATE-TIME:20300101T110000Z") },
        { "completion",
            [](Reminder& r) {
                r.setCompletionDate(
                    *eventstore::dateFromComponents(components(2030, 1, 2, 0, 0, "UTC")));
            },
            changed("X-ORDER:1\n",
                "X-ORDER:1\nSTATUS:COMPLETED\nCOMPLETED:20300102T000000Z\nPERCENT-COMPLETE:"
                "100\n") },
    };
    makeDir("src/list");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile("src/list/keep.ics", before);
        auto store = makeStore();
        Reminder r = *store->calendarItemWithIdentifier("keep");
        c.change(r);
        store->saveReminder(r, true);
        QString after = QString::fromUtf8(readFile("src/list/keep.ics"));
        after.replace(QRegularExpression("(DTSTAMP|LAST-MODIFIED):\\d{8}T\\d{6}Z"), "\\1:NOW");
        EXPECT_EQ(after.toStdString(), c.expected.toStdString());
    }
}

TEST_F(RewriteTest, removesItsOwnStaleTemporaryFilesWhenAListIsFirstRead)
{
    makeDir("src/list");
    writeFile("src/list/a.ics", todoFile("UID:a\r\n"));
    const QString stale = "src/list/a.ics.0123456789ab.tmp"; // a write killed long ago
    const QString young = "src/list/a.ics.abcdef012345.tmp"; // maybe a write going on now
    const QStringList others { "src/list/a.ics.0123456789AB.tmp", "src/list/notes.tmp",
        "src/list/a.ics.0123.tmp" };
    const QDateTime longAgo = QDateTime::currentDateTimeUtc().addSecs(-120);
    for (const QString& name : QStringList { stale, young } + others) {
        writeFile(name, "half a task");
        if (name != young) {
            QFile file(pathOf(name));
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            ASSERT_TRUE(file.setFileTime(longAgo, QFileDevice::FileModificationTime));
        }
    }

    LogCapture log;
    auto store = makeStore();
    EXPECT_EQ(store->fetchReminders(store->predicateForReminders(std::nullopt)).size(), 1u);
    EXPECT_FALSE(exists(stale));
    EXPECT_TRUE(log.mentions("a.ics.0123456789ab.tmp"));
    EXPECT_TRUE(exists(young));
    for (const QString& name : others)
        EXPECT_TRUE(exists(name)) << name.toStdString();
}

// Bytes that are not UTF-8 in folder names, file names, name files, UIDs and titles read
// as text (U+FFFD), the identifiers still find their files, and a write keeps the bytes
// of what it does not change.
TEST_F(RewriteTest, readsTextThatIsNotUtf8AsTextAndKeepsItsBytes)
{
    makeDir("src");
    fs::create_directories(rawPath("src/li\x80st"));
    writeRaw("src/li\x80st/displayname", "Na\xFEme\n");
    writeRaw("src/li\x80st/t\xFF.ics",
        todoFile("SUMMARY:Ti\xFFtle\r\nDUE:20300101T100000Z\r\n").toStdString());
    writeRaw("src/li\x80st/u.ics", todoFile("UID:u\xFE\r\nSUMMARY:Fine\r\n").toStdString());
    // A second folder whose name reads the same: left out, with a word.
    fs::create_directories(rawPath("src/li\xFFst"));
    writeRaw("src/li\xFFst/other.ics", todoFile("UID:other\r\n").toStdString());
    // Qt cannot name these folders to remove them with the temporary folder.
    struct Cleanup {
        fs::path src;
        ~Cleanup()
        {
            std::error_code ignored;
            fs::remove_all(src, ignored);
        }
    } cleanup { rawPath("src") };
    LogCapture log;
    auto store = makeStore();

    const auto lists = store->calendars(EntityType::reminder);
    ASSERT_EQ(lists.size(), 1u);
    const EventCalendar& list = lists[0];
    EXPECT_EQ(list.calendarIdentifier, "src/li\xEF\xBF\xBDst");
    EXPECT_EQ(list.title, "Na\xEF\xBF\xBDme");
    EXPECT_TRUE(log.mentions("reads as that of another folder"));

    const auto reminders = store->fetchReminders(store->predicateForReminders(std::nullopt));
    ASSERT_EQ(reminders.size(), 2u);
    for (const Reminder& r : reminders) {
        EXPECT_TRUE(isText(r.calendarItemIdentifier()));
        EXPECT_TRUE(isText(r.title().value_or("")));
        EXPECT_TRUE(isText(r.calendar()->calendarIdentifier));
    }
    const std::string nameless = "t\xEF\xBF\xBD";
    Reminder r = *store->calendarItemWithIdentifier(nameless);
    EXPECT_EQ(r.title(), "Ti\xEF\xBF\xBDtle");

    // Another field changes; the title keeps its bytes, the file its name.
    r.setDueDateComponents(components(2030, 1, 1, 11, 0, "UTC"));
    store->saveReminder(r, true);
    const std::string written = readRaw("src/li\x80st/t\xFF.ics");
    EXPECT_NE(written.find("SUMMARY:Ti\xFFtle\r\n"), std::string::npos) << written;
    EXPECT_NE(written.find("DUE:20300101T110000Z"), std::string::npos) << written;
    EXPECT_EQ(store->calendarItemWithIdentifier(nameless)->title(), "Ti\xEF\xBF\xBDtle");

    // The list keeps its name file while its name does not change.
    EventCalendar recoloured = list;
    recoloured.color = "#00ff00";
    store->saveCalendar(recoloured, true);
    EXPECT_EQ(readRaw("src/li\x80st/displayname"), "Na\xFEme\n");
    EXPECT_EQ(readRaw("src/li\x80st/color"), "#00ff00\n");

    store->removeReminder(*store->calendarItemWithIdentifier("u\xEF\xBF\xBD"), true);
    EXPECT_FALSE(fs::exists(rawPath("src/li\x80st/u.ics")));
    EXPECT_TRUE(fs::exists(rawPath("src/li\x80st/t\xFF.ics")));
}

// Every task the reader lists can be changed and removed: the writer finds it where the
// parser found it, and the file reads back with it changed, then without it.
TEST_F(RewriteTest, changesAndRemovesEveryTaskTheReaderLists)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        std::string id;
        const char* staysAfterRemoval; // a line of another component, or none
    };
    const Case cases[] = {
        { "a BEGIN line without a colon in an alarm",
            todoFile("UID:stray\r\nSUMMARY:Old\r\nBEGIN:VALARM\r\nBEGIN\r\nACTION:DISPLAY\r\n"
                     "TRIGGER:-PT5M\r\nEND:VALARM\r\n"),
            "stray", nullptr },
        { "an END that names another component",
            todoFile("UID:mismatch\r\nSUMMARY:Old\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nEND:FOO\r\n"
                     "X-AFTER:1\r\nEND:VALARM\r\n"),
            "mismatch", nullptr },
        { "BEGIN:VTODOX",
            head + "BEGIN:VTODOX\r\nUID:todox\r\nSUMMARY:Old\r\nEND:VTODOX\r\n" + tail, "todox",
            nullptr },
        { "BEGIN:VTODO:", head + "BEGIN:VTODO:\r\nUID:colon\r\nSUMMARY:Old\r\nEND:VTODO\r\n" + tail,
            "colon", nullptr },
        { "a bare task before an event",
            "BEGIN:VTODO\r\nUID:bare\r\nSUMMARY:Old\r\nEND:VTODO\r\nBEGIN:VEVENT\r\nUID:event\r\n"
            "SUMMARY:Meeting\r\nEND:VEVENT\r\n",
            "bare", "SUMMARY:Meeting" },
        { "an occurrence whose RECURRENCE-ID does not parse",
            head
                + "BEGIN:VTODO\r\nUID:master\r\nSUMMARY:Old\r\nEND:VTODO\r\nBEGIN:VTODO\r\nUID:"
                  "master\r\nRECURRENCE-ID:garbage\r\nSUMMARY:Occurrence\r\nEND:VTODO\r\n"
                  "BEGIN:VTODO\r\nUID:neighbour\r\nSUMMARY:Neighbour\r\nEND:VTODO\r\n"
                + tail,
            "master", "SUMMARY:Neighbour" },
    };
    makeDir("src/list");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile("src/list/case.ics", c.bytes);
        auto store = makeStore();
        ASSERT_TRUE(store->calendarItemWithIdentifier(c.id));
        EXPECT_EQ(store->calendarItemWithIdentifier(c.id)->title(), "Old");

        retitle(*store, c.id, "New");
        // A store that has read nothing yet reads the file as it is now.
        EXPECT_EQ(makeStore()->calendarItemWithIdentifier(c.id)->title(), "New")
            << readFile("src/list/case.ics").toStdString();

        store->removeReminder(*store->calendarItemWithIdentifier(c.id), true);
        EXPECT_EQ(makeStore()->calendarItemWithIdentifier(c.id), std::nullopt)
            << readFile("src/list/case.ics").toStdString();
        if (c.staysAfterRemoval)
            EXPECT_TRUE(readFile("src/list/case.ics").contains(c.staysAfterRemoval));
        else
            EXPECT_FALSE(exists("src/list/case.ics"));
        QFile::remove(pathOf("src/list/case.ics"));
    }
}

TEST_F(RewriteTest, refusesAWriteThatWouldNotReadBackAndWritesNothing)
{
    // The task is saved in a zone only the file itself defines: a due date written there
    // would read back two hours off, so nothing is written.
    makeDir("src/list");
    const QByteArray before = head
        + "BEGIN:VTIMEZONE\r\nTZID:Custom Plus Two\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n"
          "TZOFFSETFROM:+0200\r\nTZOFFSETTO:+0200\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n"
          "BEGIN:VTODO\r\nUID:zoned\r\nSUMMARY:Zoned\r\nEND:VTODO\r\n"
        + tail;
    writeFile("src/list/zoned.ics", before);
    auto store = makeStore();
    Reminder r = *store->calendarItemWithIdentifier("zoned");
    r.setTimeZone("Custom Plus Two");
    r.setDueDateComponents(components(2030, 1, 2, 10, 0, std::nullopt));
    try {
        store->saveReminder(r, true);
        FAIL() << "a write that does not read back was made";
    } catch (const EventStoreError& error) {
        EXPECT_EQ(error.code(), EventStoreError::Code::notWritable);
        EXPECT_NE(std::string(error.what()).find("zoned.ics"), std::string::npos) << error.what();
    }
    EXPECT_EQ(readFile("src/list/zoned.ics"), before);
    EXPECT_TRUE(leftovers("src/list").isEmpty());

    // A task whose file grew too large since it was read is not written either, nor
    // copied into a second file.
    Reminder later = *store->calendarItemWithIdentifier("zoned");
    const QByteArray grown
        = todoFile("UID:zoned\r\nX-FILLER:" + QByteArray(1024 * 1024, 'x') + "\r\n");
    writeFile("src/list/zoned.ics", grown);
    later.setTitle("Later");
    EXPECT_THROW(store->saveReminder(later, true), EventStoreError);
    EXPECT_EQ(readFile("src/list/zoned.ics"), grown);
    EXPECT_EQ(icsFiles("src/list"), QStringList { "zoned.ics" });
}

// A FIFO, a socket or a device named like a list's files is passed over without waiting
// for a writer that never comes, and so is a name file too large to be a name.
TEST_F(RewriteTest, readsOnlyRegularFilesOfBoundedSize)
{
    makeDir("src/list");
    writeFile("src/list/a.ics", todoFile("UID:a\r\nSUMMARY:A\r\n"));
    const QStringList fifos { "src/displayname", "src/list/displayname", "src/list/color",
        "src/list/fifo.ics" };
    for (const QString& fifo : fifos)
        ASSERT_EQ(::mkfifo(QFile::encodeName(pathOf(fifo)).constData(), 0600), 0);
    makeDir("src/long");
    writeFile("src/long/displayname", QByteArray(5000, 'n'));
    writeFile("src/long/b.ics", todoFile("UID:b\r\n"));

    LogCapture log;
    auto store = makeStore();
    auto reading = std::async(std::launch::async, [&store] {
        return std::make_pair(store->calendars(EntityType::reminder),
            store->fetchReminders(store->predicateForReminders(std::nullopt)));
    });
    if (reading.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        // Let a blocked reader go before failing.
        while (reading.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
            for (const QString& fifo : fifos) {
                const int fd
                    = ::open(QFile::encodeName(pathOf(fifo)).constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0)
                    ::close(fd);
            }
        }
        FAIL() << "reading the lists waited on a FIFO";
    }
    const auto [lists, reminders] = reading.get();
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_EQ(lists[0].title, "list");
    EXPECT_EQ(lists[0].color, std::nullopt);
    EXPECT_EQ(lists[0].source->title, "src");
    EXPECT_EQ(lists[1].title, "long");
    EXPECT_EQ(reminders.size(), 2u);
    EXPECT_TRUE(log.mentions("src/list/displayname"));
    EXPECT_TRUE(log.mentions("src/long/displayname"));
    // Said once, not at every read.
    store->calendars(EntityType::reminder);
    EXPECT_EQ(log.count("src/long/displayname"), 1u);
}

} // namespace
} // namespace tidemark::test
