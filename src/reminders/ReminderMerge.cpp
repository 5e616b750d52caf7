#include "reminders/ReminderMerge.hpp"

namespace tidemark {

AnyReminder mergedChange(
    const AnyReminder& stored, const AnyReminder& requested, const AnyReminder* read)
{
    if (!read)
        return requested;
    AnyReminder result = stored;
    auto take = [&](auto field) {
        if (requested.*field != read->*field)
            result.*field = requested.*field;
    };
    take(&AnyReminder::startDateComponents);
    take(&AnyReminder::dueDateComponents);
    take(&AnyReminder::title);
    take(&AnyReminder::listID);
    take(&AnyReminder::completionDate);
    return result;
}

ReadReminders LastReadReminders::versionsOf(const std::set<AnyReminder>& reminders) const
{
    ReadReminders versions;
    for (const AnyReminder& reminder : reminders) {
        if (auto known = m_versions.find(reminder.id); known != m_versions.end())
            versions.emplace(reminder.id, known->second);
    }
    return versions;
}

void LastReadReminders::observe(const RemindersItemsAction& action)
{
    if (auto read = action.asRead()) {
        if (auto value = read->successValue()) {
            m_versions.clear();
            for (const AnyReminder& reminder : *value)
                m_versions.insert_or_assign(reminder.id, reminder);
        }
    } else if (auto create = action.asCreate()) {
        if (auto value = create->successValue()) {
            for (const AnyReminder& reminder : *value)
                m_versions.insert_or_assign(reminder.id, reminder);
        }
    } else if (auto update = action.asUpdate(); update && update->asSubmit()) {
        for (const AnyReminder& reminder : update->asSubmit()->input)
            m_versions.insert_or_assign(reminder.id, reminder);
    } else if (auto remove = action.asDelete(); remove && remove->asSubmit()) {
        for (const std::string& identifier : remove->asSubmit()->input)
            m_versions.erase(identifier);
    }
}

} // namespace tidemark
