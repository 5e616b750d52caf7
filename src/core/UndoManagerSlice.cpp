#include "core/UndoManagerSlice.hpp"

#include "core/Overloaded.hpp"

namespace tidemark {

void undoManagerReducer(UndoManagerState& state, const UndoManagerAction& action)
{
    std::visit(overloaded {
                   [&](const UndoManagerAction::SetManager& set) -> void {
                       state.undoManager = set.manager;
                   },
                   [&](const UndoManagerAction::Undo&) -> void {
                       if (state.undoManager)
                           state.undoManager->undo();
                   },
                   [&](const UndoManagerAction::Redo&) -> void {
                       if (state.undoManager)
                           state.undoManager->redo();
                   },
               },
        action);
}

} // namespace tidemark
