#pragma once

// A vdir tree for the task-list benchmarks: one source "bench" with one list "tasks" of
// `count` VTODO files, and a state folder in which calendar access is granted already.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <functional>

namespace tidemark::bench {

struct TaskLines {
    QByteArray summary;
    QByteArray start; // local time in Europe/Berlin, YYYYMMDDTHHMMSS
    QByteArray due;
};

// Writes `<root>/bench/tasks` with task i described by `task(i)`, each with an alarm.
inline void writeTaskList(const QString& root, int count, const std::function<TaskLines(int)>& task)
{
    const QString list = root + "/bench/tasks";
    QDir().mkpath(list);
    QFile name(list + "/displayname");
    if (name.open(QIODevice::WriteOnly))
        name.write("Tasks\n");
    for (int i = 0; i < count; ++i) {
        QFile file(list + QString("/task-%1.ics").arg(i, 5, 10, QChar('0')));
        if (!file.open(QIODevice::WriteOnly))
            continue;
        const TaskLines lines = task(i);
        file.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Bench//Bench//"
                   "EN\r\nBEGIN:VTODO\r\nUID:task-"
            + QByteArray::number(i)
            + "\r\nDTSTAMP:20300101T000000Z\r\nCREATED:20300101T000000Z\r\nSUMMARY:" + lines.summary
            + "\r\nDTSTART;TZID=Europe/Berlin:" + lines.start
            + "\r\nDUE;TZID=Europe/Berlin:" + lines.due
            + "\r\nSTATUS:NEEDS-ACTION\r\n"
              "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Task\r\nTRIGGER;VALUE=DATE-TIME:"
              "20300101T081500Z\r\n"
              "END:VALARM\r\nEND:VTODO\r\nEND:VCALENDAR\r\n");
    }
}

// A state folder under `base` in which the user has granted access to the task lists.
inline QString grantedStateDirectory(const QString& base)
{
    const QString directory = base + "/state";
    QDir().mkpath(directory);
    QFile answer(directory + "/eventstore-access");
    if (answer.open(QIODevice::WriteOnly))
        answer.write("reminders=fullAccess\n");
    return directory;
}

} // namespace tidemark::bench
