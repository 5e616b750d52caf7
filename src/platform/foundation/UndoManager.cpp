#include "platform/foundation/UndoManager.hpp"

#include <algorithm>

namespace tidemark {

void UndoManager::openGroupIfNeeded()
{
    if (m_level > 0 || !m_groupsByEvent)
        return;
    // Like a group opened at the start of an event and closed at its end: everything
    // registered in this turn of the main queue becomes one step.
    beginUndoGrouping();
    m_eventGroupOpen = true;
    rx::mainQueue().post([this, alive = std::weak_ptr<int>(m_lifetime)] {
        if (alive.lock())
            closeEventGroup();
    });
}

void UndoManager::registerUndo(Target target, Action action)
{
    if (!m_undoing && !m_redoing) {
        ++m_registrations;
        openGroupIfNeeded();
    }
    if (m_open) {
        m_open->actions.emplace_back(target, std::move(action));
        return;
    }
    // Without a group, each action is a step of its own.
    Step step;
    step.actions.emplace_back(target, std::move(action));
    pushStep(std::move(step));
}

void UndoManager::pushStep(Step step)
{
    // A step made while undoing is what redo does; any other new step ends what could be
    // redone, except while redoing, which rebuilds the undo side.
    if (m_undoing) {
        m_redoStack.push_back(std::move(step));
    } else {
        if (!m_redoing)
            m_redoStack.clear();
        m_undoStack.push_back(std::move(step));
    }
    changed();
}

void UndoManager::removeAllActions()
{
    m_undoStack.clear();
    m_redoStack.clear();
    if (m_open)
        m_open->actions.clear();
    changed();
}

void UndoManager::removeAllActions(Target target)
{
    auto strip = [target](std::vector<Step>& stack) {
        for (auto& step : stack)
            std::erase_if(
                step.actions, [target](const auto& entry) { return entry.first == target; });
        std::erase_if(stack, [](const Step& step) { return step.actions.empty(); });
    };
    strip(m_undoStack);
    strip(m_redoStack);
    if (m_open)
        std::erase_if(
            m_open->actions, [target](const auto& entry) { return entry.first == target; });
    changed();
}

void UndoManager::setActionName(const std::string& name)
{
    if (m_open) {
        m_open->name = name;
    } else if (m_undoing) {
        if (!m_redoStack.empty())
            m_redoStack.back().name = name;
    } else if (!m_undoStack.empty()) {
        m_undoStack.back().name = name;
    }
    changed();
}

std::string UndoManager::undoActionName() const
{
    return m_undoStack.empty() ? std::string() : m_undoStack.back().name;
}

std::string UndoManager::redoActionName() const
{
    return m_redoStack.empty() ? std::string() : m_redoStack.back().name;
}

void UndoManager::beginUndoGrouping()
{
    if (m_level++ == 0)
        m_open = Step {};
}

void UndoManager::endUndoGrouping()
{
    if (m_level == 0)
        return;
    if (--m_level == 0)
        closeGroup();
}

void UndoManager::closeEventGroup()
{
    if (!m_eventGroupOpen)
        return;
    m_eventGroupOpen = false;
    endUndoGrouping();
}

void UndoManager::closeGroup()
{
    m_eventGroupOpen = false;
    auto step = std::move(*m_open);
    m_open.reset();
    if (step.actions.empty())
        return; // an empty group leaves no step behind
    pushStep(std::move(step));
}

bool UndoManager::canUndo() const
{
    return !m_undoStack.empty() || (m_open && !m_open->actions.empty());
}

bool UndoManager::canRedo() const
{
    return !m_redoStack.empty();
}

void UndoManager::perform(std::vector<Step>& from, bool undoing)
{
    if (from.empty())
        return;
    Step step = std::move(from.back());
    from.pop_back();

    bool& flag = undoing ? m_undoing : m_redoing;
    flag = true;
    // What the actions register while they run is the opposite step, under the same name.
    m_open = Step {};
    m_open->name = step.name;
    const int savedLevel = std::exchange(m_level, 1);
    for (auto it = step.actions.rbegin(); it != step.actions.rend(); ++it)
        it->second();
    Step opposite = std::move(*m_open);
    m_open.reset();
    m_level = savedLevel;
    flag = false;

    if (!opposite.actions.empty()) {
        if (undoing)
            m_redoStack.push_back(std::move(opposite));
        else
            m_undoStack.push_back(std::move(opposite));
    }
    changed();
}

void UndoManager::undo()
{
    // An open event group is closed first, so that undo takes back what was just done.
    if (m_eventGroupOpen)
        closeEventGroup();
    if (m_level > 0)
        return; // undo is not allowed inside an explicit group
    perform(m_undoStack, true);
}

void UndoManager::redo()
{
    if (m_eventGroupOpen)
        closeEventGroup();
    if (m_level > 0)
        return;
    perform(m_redoStack, false);
}

} // namespace tidemark
