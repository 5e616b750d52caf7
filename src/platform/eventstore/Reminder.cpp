#include "platform/eventstore/Reminder.hpp"

#include <QUuid>

#include <algorithm>

namespace tidemark {

Reminder Reminder::create()
{
    Reminder reminder;
    reminder.m_identifier
        = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().toStdString();
    return reminder;
}

void Reminder::setCompleted(bool completed)
{
    m_completed = completed;
    if (!completed)
        m_completionDate.reset();
    else if (!m_completionDate)
        m_completionDate
            = std::chrono::time_point_cast<Date::duration>(std::chrono::system_clock::now());
}

void Reminder::setCompletionDate(std::optional<Date> date)
{
    m_completionDate = date;
    m_completed = date.has_value();
}

void Reminder::addAlarm(const Alarm& alarm)
{
    if (std::find(m_alarms.begin(), m_alarms.end(), alarm) == m_alarms.end())
        m_alarms.push_back(alarm);
}

void Reminder::removeAlarm(const Alarm& alarm)
{
    std::erase(m_alarms, alarm);
}

} // namespace tidemark
