#include "ConnectorsTestSupport.hpp"

namespace tidemark::test {

AppAction createRequest(std::set<AnyReminder> reminders)
{
    return actions::itemsAction(RemindersItemsAction::create(
        RemindersItemsAction::CreateAction::submit(std::move(reminders))));
}

AppAction updateRequest(std::set<AnyReminder> reminders)
{
    return actions::itemsAction(RemindersItemsAction::update(
        RemindersItemsAction::UpdateAction::submit(std::move(reminders))));
}

AppAction deleteRequest(std::set<std::string> ids)
{
    return actions::itemsAction(
        RemindersItemsAction::delete_(RemindersItemsAction::DeleteAction::submit(std::move(ids))));
}

} // namespace tidemark::test
