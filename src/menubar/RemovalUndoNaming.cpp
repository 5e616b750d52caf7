#include "menubar/RemovalUndoNaming.hpp"

#include "platform/foundation/UndoManager.hpp"

namespace tidemark {

void RemovalUndoNamer::perform(const std::shared_ptr<UndoManager>& manager, const std::string& name,
    bool mayRegisterLater, const std::function<void()>& dispatch)
{
    // A removal still waiting for its step is superseded: the next step is this one's.
    stopWaiting();
    if (!manager) {
        dispatch();
        return;
    }
    const std::uint64_t before = manager->registrationCount();
    dispatch();
    if (manager->registrationCount() != before) {
        manager->setActionName(name);
        return;
    }
    if (!mayRegisterLater)
        return;
    m_manager = manager;
    m_registrationsBefore = before;
    m_name = name;
    m_watch = manager->changes().sink([this](const rx::Unit&) {
        auto manager = m_manager.lock();
        if (!manager) {
            stopWaiting();
            return;
        }
        if (manager->registrationCount() == m_registrationsBefore || manager->isUndoing()
            || manager->isRedoing())
            return;
        const std::string name = m_name;
        stopWaiting();
        manager->setActionName(name);
    });
}

void RemovalUndoNamer::requestAnswered()
{
    stopWaiting();
}

void RemovalUndoNamer::stopWaiting()
{
    m_watch = {};
    m_manager.reset();
    m_name.clear();
}

} // namespace tidemark
