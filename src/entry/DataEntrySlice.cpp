#include "entry/DataEntrySlice.hpp"

#include "core/Overloaded.hpp"

namespace tidemark {

void dataEntryReducer(DataEntryState& state, const DataEntryAction& action)
{
    std::visit(
        overloaded {
            [&](const DataEntryAction::Editing& a) -> void { state.editing = a.reminder; },
            [&](const DataEntryAction::IsEnabled& a) -> void { state.isEnabled = a.isEnabled; },
        },
        asVariant(action));
}

} // namespace tidemark
