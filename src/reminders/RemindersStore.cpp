#include "reminders/RemindersStore.hpp"

#include "core/Overloaded.hpp"

namespace tidemark {

void remindersStoreReducer(RemindersStore& state, const RemindersStoreAction& action)
{
    std::visit(overloaded {
                   [&state](const RemindersStoreAction::Items& items) -> void {
                       reduceSetOperation(state.items, items.action);
                   },
                   [&state](const RemindersStoreAction::Sources& sources) -> void {
                       reduceValueOperation(state.sources, sources.action);
                   },
               },
        asVariant(action));
}

} // namespace tidemark
