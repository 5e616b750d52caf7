#pragma once

#include "core/Action.hpp"
#include "platform/foundation/UndoManager.hpp"

#include <memory>
#include <variant>

namespace tidemark {

// The undo manager of the window where reminders are edited, once a view supplied it.
struct UndoManagerState {
    std::shared_ptr<UndoManager> undoManager;

    // Managers compare by identity.
    bool operator==(const UndoManagerState&) const = default;
};

// The cases of an action enum are small structs in a `…Cases` base, so that they read as
// `UndoManagerAction::Undo` and the action itself is the variant of them.
struct UndoManagerActionCases {
    struct SetManager {
        std::shared_ptr<UndoManager> manager;
        bool operator==(const SetManager&) const = default;
    };
    struct Undo {
        bool operator==(const Undo&) const = default;
    };
    struct Redo {
        bool operator==(const Redo&) const = default;
    };
    using Variant = std::variant<SetManager, Undo, Redo>;
};

struct UndoManagerAction : ActionOf<UndoManagerActionCases> {
    using ActionOf::ActionOf;
};

// Stores the manager, or sends undo and redo to it (nothing without one).
void undoManagerReducer(UndoManagerState& state, const UndoManagerAction& action);

} // namespace tidemark
