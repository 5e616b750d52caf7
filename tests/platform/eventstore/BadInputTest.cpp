#include "VdirFixture.hpp"

#include "platform/eventstore/ComponentsDate.hpp"

#include <QFile>

namespace tidemark::test {
namespace {

const QByteArray head = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Test//EN\r\n";
const QByteArray tail = "END:VCALENDAR\r\n";

struct Expected {
    std::string id;
    std::optional<std::string> title;
    std::optional<DateComponents> due = std::nullopt;
    std::optional<DateComponents> start = std::nullopt;
    bool completed = false;
};

struct BadFile {
    const char* name;
    QByteArray bytes;
    std::vector<Expected> reminders; // what is read from it
    bool logged; // whether a line names the file
};

QByteArray nested(int depth)
{
    QByteArray text = head + "BEGIN:VTODO\r\nUID:deep\r\n";
    for (int i = 0; i < depth; ++i)
        text += "BEGIN:X-INNER\r\n";
    for (int i = 0; i < depth; ++i)
        text += "END:X-INNER\r\n";
    return text + "END:VTODO\r\n" + tail;
}

QByteArray larger(std::size_t bytes)
{
    QByteArray filler;
    while (std::size_t(filler.size()) < bytes)
        filler += "X-FILLER:" + QByteArray(60, 'x') + "\r\n";
    return todoFile("UID:huge\r\nSUMMARY:Huge\r\n" + filler);
}

std::vector<BadFile> badFiles()
{
    const auto berlin10 = components(2030, 1, 2, 10, 0, "Europe/Berlin");
    const QByteArray umlauts = "SUMMARY:Gr\xC3\xBC\xC3\x9F"
                               "e an alle";
    return {
        { "garbage.ics", "this is not a calendar\n", {}, true },
        { "cut-off.ics", head + "BEGIN:VTODO\r\nUID:cut\r\nSUMMARY:Half writ", {}, true },
        { "cut-before-end.ics", head + "BEGIN:VTODO\r\nUID:cut2\r\nEND:VTODO\r\n", {}, true },
        { "empty.ics", "", {}, true },
        { "bom.ics", "\xEF\xBB\xBF" + todoFile("UID:bom\r\nSUMMARY:With a mark\r\n"),
            { { "bom", "With a mark" } }, false },
        { "lf.ics", todoFile("UID:lf\r\nSUMMARY:Line feeds\r\n").replace("\r\n", "\n"),
            { { "lf", "Line feeds" } }, false },
        { "cr.ics", todoFile("UID:cr\r\nSUMMARY:Carriage returns\r\n").replace("\r\n", "\r"),
            { { "cr", "Carriage returns" } }, false },
        // A fold between the two bytes of "ü", and a tab fold.
        { "folded.ics",
            todoFile("UID:folded\r\nSUMMARY:Gr\xC3\r\n \xBC\xC3\x9F"
                     "e an\r\n\t alle\r\n"),
            { { "folded",
                "Gr\xC3\xBC\xC3\x9F"
                "e an alle" } },
            false },
        { "long.ics", todoFile(umlauts + "\r\n UID-not-a-property\r\nUID:long\r\n"),
            { { "long",
                "Gr\xC3\xBC\xC3\x9F"
                "e an alleUID-not-a-property" } },
            false },
        { "no-due.ics", todoFile("UID:nodue\r\nSUMMARY:No due\r\n"), { { "nodue", "No due" } },
            false },
        { "date-only.ics", todoFile("UID:dateonly\r\nDUE;VALUE=DATE:20300315\r\n"),
            { { "dateonly", std::nullopt,
                components(2030, 3, 15, std::nullopt, std::nullopt, std::nullopt) } },
            false },
        { "empty-start.ics", todoFile("UID:emptystart\r\nSUMMARY:Empty\r\nDTSTART:\r\nSTATUS:\r\n"),
            { { "emptystart", "Empty", std::nullopt, std::nullopt } }, true },
        { "unknown-zone.ics", todoFile("UID:mars\r\nDUE;TZID=Mars/Olympus:20300102T100000\r\n"),
            { { "mars", std::nullopt, components(2030, 1, 2, 10, 0, "UTC") } }, true },
        { "windows-zone.ics",
            todoFile("UID:windows\r\nDUE;TZID=W. Europe Standard Time:20300102T100000\r\n"),
            { { "windows", std::nullopt, berlin10 } }, false },
        { "prefixed-zone.ics",
            todoFile("UID:prefixed\r\nDUE;TZID=/freeassociation.sourceforge.net/Europe/"
                     "Berlin:20300102T100000\r\n"),
            { { "prefixed", std::nullopt, berlin10 } }, false },
        { "own-zone.ics",
            head
                + "BEGIN:VTIMEZONE\r\nTZID:Custom Plus "
                  "Two\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n"
                  "TZOFFSETFROM:+0200\r\nTZOFFSETTO:+0200\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n"
                  "BEGIN:VTODO\r\nUID:ownzone\r\nDUE;TZID=Custom Plus "
                  "Two:20300102T100000\r\nEND:VTODO\r\n"
                + tail,
            { { "ownzone", std::nullopt, components(2030, 1, 2, 8, 0, "UTC") } }, true },
        { "utc.ics", todoFile("UID:utc\r\nDTSTART:20300102T090000Z\r\nDUE:20300102T100000Z\r\n"),
            { { "utc", std::nullopt, components(2030, 1, 2, 10, 0, "UTC"),
                components(2030, 1, 2, 9, 0, "UTC") } },
            false },
        // Floating, inside the spring-forward gap of many zones: the wall time is kept.
        { "gap.ics", todoFile("UID:gap\r\nDUE:20300331T023000\r\n"),
            { { "gap", std::nullopt, components(2030, 3, 31, 2, 30, std::nullopt) } }, false },
        { "two-uids.ics", todoFile("UID:first\r\nUID:second\r\nSUMMARY:Two names\r\n"),
            { { "first", "Two names" } }, true },
        { "two-todos.ics",
            head
                + "BEGIN:VTODO\r\nUID:one\r\nSUMMARY:One\r\nEND:VTODO\r\nBEGIN:VTODO\r\nUID:"
                  "two\r\nSUMMARY:Two\r\n"
                  "END:VTODO\r\n"
                + tail,
            { { "one", "One" }, { "two", "Two" } }, true },
        { "event.ics",
            head
                + "BEGIN:VEVENT\r\nUID:event\r\nSUMMARY:A "
                  "meeting\r\nDTSTART:20300101T100000Z\r\nEND:VEVENT\r\n"
                + tail,
            {}, true },
        { "no-uid.ics", todoFile("SUMMARY:Nameless\r\n"), { { "no-uid", "Nameless" } }, false },
        // A line "BEGIN" without a colon is no component to the parser, only a bad line.
        { "stray-begin-in-alarm.ics",
            todoFile("UID:stray\r\nSUMMARY:Stray\r\nBEGIN:VALARM\r\nBEGIN\r\nACTION:"
                     "DISPLAY\r\nTRIGGER:-PT5M\r\nEND:VALARM\r\n"),
            { { "stray", "Stray" } }, false },
        // An END closes whatever is open, as the parser reads it.
        { "end-name-mismatch-in-alarm.ics",
            todoFile("UID:mismatch\r\nSUMMARY:Mismatch\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nEND:"
                     "FOO\r\nX-AFTER:1\r\nEND:VALARM\r\n"),
            { { "mismatch", "Mismatch" } }, false },
        // The parser takes both for a task; so does the store, saying so.
        { "begin-vtodox.ics",
            head + "BEGIN:VTODOX\r\nUID:todox\r\nSUMMARY:Odd begin\r\nEND:VTODOX\r\n" + tail,
            { { "todox", "Odd begin" } }, true },
        { "begin-vtodo-colon.ics",
            head + "BEGIN:VTODO:\r\nUID:colon\r\nSUMMARY:Colon\r\nEND:VTODO\r\n" + tail,
            { { "colon", "Colon" } }, true },
        { "bare-todo-then-event.ics",
            "BEGIN:VTODO\r\nUID:bare\r\nSUMMARY:Bare\r\nEND:VTODO\r\nBEGIN:VEVENT\r\nUID:"
            "bare-event\r\nEND:VEVENT\r\n",
            { { "bare", "Bare" } }, false },
        // A changed occurrence whose RECURRENCE-ID the parser drops is still no task.
        { "bad-recurrence-id.ics",
            head
                + "BEGIN:VTODO\r\nUID:master\r\nSUMMARY:Master\r\nEND:VTODO\r\nBEGIN:"
                  "VTODO\r\nUID:master\r\nRECURRENCE-ID:garbage\r\nSUMMARY:Occurrence\r\n"
                  "END:VTODO\r\n"
                + tail,
            { { "master", "Master" } }, true },
        { "not-utf8.ics", todoFile("UID:bad\xFF\r\nSUMMARY:Caf\xE9 au lait\r\n"),
            { { "bad\xEF\xBF\xBD", "Caf\xEF\xBF\xBD au lait" } }, false },
        // Years a Date cannot hold read as no date; a completion still completes.
        { "far-dates.ics",
            todoFile("UID:far\r\nSUMMARY:Far\r\nDTSTART:15000101T000000Z\r\nDUE:"
                     "25000101T000000Z\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER;VALUE="
                     "DATE-TIME:25000101T000000Z\r\nEND:VALARM\r\n"),
            { { "far", "Far" } }, true },
        { "far-completed.ics", todoFile("UID:farcompleted\r\nCOMPLETED:25000101T000000Z\r\n"),
            { { "farcompleted", std::nullopt, std::nullopt, std::nullopt, true } }, true },
        { "deeply-nested.ics", nested(40), {}, true },
        { "larger-than-a-mebibyte.ics", larger(1024 * 1024), {}, true },
        { "duplicate.ics", todoFile("UID:bom\r\nSUMMARY:Same UID as another file\r\n"), {}, true },
    };
}

class BadInputTest : public VdirFixture { };

TEST_F(BadInputTest, readsWhatItCanSkipsTheRestWithALogLineAndRewritesNothing)
{
    makeDir("src/list");
    const auto cases = badFiles();
    for (const BadFile& file : cases)
        writeFile(QString("src/list/") + file.name, file.bytes);
    // Files that are not tasks: ignored without a word.
    writeFile("src/list/draft.ics.tmp", "garbage");
    writeFile("src/list/README", "garbage");
    // Listed, then gone before it is read.
    ASSERT_TRUE(QFile::link(pathOf("src/list/nowhere"), pathOf("src/list/vanished.ics")));

    LogCapture log;
    ASSERT_TRUE(log.isCapturing());
    auto store = makeStore();
    const auto reminders = store->fetchReminders(store->predicateForReminders(std::nullopt));

    std::size_t expectedCount = 0;
    for (const BadFile& file : cases) {
        SCOPED_TRACE(file.name);
        expectedCount += file.reminders.size();
        for (const Expected& expected : file.reminders) {
            const auto found = store->calendarItemWithIdentifier(expected.id);
            ASSERT_TRUE(found) << expected.id;
            EXPECT_EQ(found->title(), expected.title);
            EXPECT_EQ(found->dueDateComponents(), expected.due);
            EXPECT_EQ(found->startDateComponents(), expected.start);
            EXPECT_EQ(found->isCompleted(), expected.completed);
            EXPECT_EQ(found->completionDate(), std::nullopt);
            EXPECT_TRUE(found->alarms().empty());
        }
        EXPECT_EQ(log.mentions(file.name), file.logged);
        EXPECT_EQ(readFile(QString("src/list/") + file.name), file.bytes) << "rewritten by a read";
    }
    EXPECT_EQ(reminders.size(), expectedCount);
    EXPECT_FALSE(log.mentions("draft"));
    EXPECT_FALSE(log.mentions("README"));
    EXPECT_TRUE(log.mentions("vanished.ics"));
}

TEST_F(BadInputTest, aChangeToOneFieldLeavesAnUnreadableZoneAsItWas)
{
    makeDir("src/list");
    writeFile("src/list/mars.ics",
        todoFile("UID:mars\r\nSUMMARY:Old\r\nDUE;TZID=Mars/Olympus:20300102T100000\r\n"));
    auto store = makeStore();
    Reminder r = *store->calendarItemWithIdentifier("mars");
    r.setTitle("New");
    store->saveReminder(r, true);
    const QByteArray text = readFile("src/list/mars.ics");
    EXPECT_TRUE(text.contains("DUE;TZID=Mars/Olympus:20300102T100000")) << text.toStdString();
    EXPECT_TRUE(text.contains("SUMMARY:New"));
}

TEST_F(BadInputTest, changesOneTaskOfASharedFileAndKeepsTheOther)
{
    makeDir("src/list");
    makeDir("src/other");
    writeFile("src/other/displayname", "Other");
    writeFile("src/list/pair.ics",
        head
            + "BEGIN:VTODO\r\nUID:one\r\nSUMMARY:One\r\nEND:VTODO\r\nBEGIN:VTODO\r\nUID:"
              "two\r\nSUMMARY:Two\r\n"
              "END:VTODO\r\n"
            + tail);
    auto store = makeStore();

    Reminder two = *store->calendarItemWithIdentifier("two");
    two.setTitle("Two, changed");
    store->saveReminder(two, true);
    EXPECT_EQ(store->calendarItemWithIdentifier("one")->title(), "One");
    EXPECT_EQ(store->calendarItemWithIdentifier("two")->title(), "Two, changed");

    // Removing one keeps the other in the file.
    store->removeReminder(*store->calendarItemWithIdentifier("one"), true);
    EXPECT_EQ(store->calendarItemWithIdentifier("one"), std::nullopt);
    EXPECT_EQ(store->calendarItemWithIdentifier("two")->title(), "Two, changed");
    EXPECT_TRUE(exists("src/list/pair.ics"));

    // A task without a UID can be changed; it gets one.
    writeFile("src/list/nameless.ics", todoFile("SUMMARY:Nameless\r\n"));
    Reminder nameless = *store->calendarItemWithIdentifier("nameless");
    nameless.setTitle("Named");
    store->saveReminder(nameless, true);
    EXPECT_TRUE(readFile("src/list/nameless.ics").contains("UID:nameless"));
    EXPECT_EQ(store->calendarItemWithIdentifier("nameless")->title(), "Named");
}

} // namespace
} // namespace tidemark::test

namespace tidemark::test {
namespace {

TEST_F(BadInputTest, longTitlesAreFoldedBetweenCharactersAndReadBack)
{
    makeDir("src/list");
    writeFile("src/list/displayname", "List\n");
    auto store = makeStore();
    std::string title;
    for (int i = 0; i < 60; ++i)
        title += i % 3 ? "\xC3\xBC" : "\xE2\x82\xAC"; // ü and €
    Reminder r = Reminder::create();
    r.setTitle(title);
    r.setCalendar(store->calendarWithIdentifier("src/list"));
    store->saveReminder(r, true);

    const QByteArray text
        = readFile("src/list/" + QString::fromStdString(r.calendarItemIdentifier()) + ".ics");
    for (const QByteArray& line : text.split('\n')) {
        EXPECT_LE(line.size(), 76) << line.toStdString(); // 75 octets and the CR
        const QByteArray content = line.startsWith(' ') ? line.mid(1) : line;
        if (!content.isEmpty()) {
            EXPECT_NE(static_cast<unsigned char>(content[0]) & 0xC0, 0x80)
                << "a fold splits a character";
        }
    }
    EXPECT_EQ(store->calendarItemWithIdentifier(r.calendarItemIdentifier())->title(), title);
}

} // namespace
} // namespace tidemark::test
