#include "settings/UpdateSlice.hpp"

#include "core/Overloaded.hpp"

namespace tidemark {

void updateReducer(UpdateState& state, const UpdateAction& action)
{
    std::visit(overloaded {
                   [&](const UpdateAction::Check&) -> void {},
                   [&](const UpdateAction::CanCheck& a) -> void { state.canCheck = a.value; },
               },
        action);
}

} // namespace tidemark
