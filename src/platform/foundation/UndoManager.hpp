#pragma once

#include "platform/reactive/Publisher.hpp"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tidemark {

// Records reversible steps so they can be undone and redone. A step is a group of
// actions registered between `beginUndoGrouping` and `endUndoGrouping`; with grouping by
// event on (the default), actions registered outside an explicit group join one group per
// turn of the main queue, closed by `closeEventGroup`. While a step is undone, the actions
// it registers form the matching redo step, and the other way round.
// Used on the main thread only.
class UndoManager {
public:
    using Target = const void*;
    using Action = std::function<void()>;

    UndoManager() = default;
    UndoManager(const UndoManager&) = delete;
    UndoManager& operator=(const UndoManager&) = delete;

    void registerUndo(Target target, Action action);
    void removeAllActions();
    void removeAllActions(Target target);

    void setActionName(const std::string& name);
    std::string undoActionName() const;
    std::string redoActionName() const;

    void beginUndoGrouping();
    void endUndoGrouping();
    int groupingLevel() const { return m_level; }
    bool groupsByEvent() const { return m_groupsByEvent; }
    void setGroupsByEvent(bool groupsByEvent) { m_groupsByEvent = groupsByEvent; }
    // Closes the group that collects actions registered outside an explicit group, as the
    // end of a turn of the event loop does.
    void closeEventGroup();

    bool canUndo() const;
    bool canRedo() const;
    // How many actions have been registered outside undo and redo since the manager was
    // made: a caller that compares it before and after its own request knows whether that
    // request made a step, and so which step to name.
    std::uint64_t registrationCount() const { return m_registrations; }
    bool isUndoing() const { return m_undoing; }
    bool isRedoing() const { return m_redoing; }
    void undo();
    void redo();

    // Emits after every change of what can be undone or redone, or of the action names.
    rx::Publisher<rx::Unit> changes() const { return m_changes.publisher(); }

private:
    struct Step {
        std::vector<std::pair<Target, Action>> actions;
        std::string name;
    };
    void openGroupIfNeeded();
    void closeGroup();
    void pushStep(Step step);
    void perform(std::vector<Step>& from, bool undoing);
    void changed() const { m_changes.send(rx::Unit {}); }

    std::vector<Step> m_undoStack;
    std::vector<Step> m_redoStack;
    std::optional<Step> m_open;
    int m_level = 0;
    bool m_eventGroupOpen = false;
    bool m_groupsByEvent = true;
    bool m_undoing = false;
    bool m_redoing = false;
    std::uint64_t m_registrations = 0;
    rx::PassthroughSubject<rx::Unit> m_changes;
    // Lets a posted close of the event group find out that the manager is gone.
    std::shared_ptr<int> m_lifetime = std::make_shared<int>(0);
};

} // namespace tidemark
