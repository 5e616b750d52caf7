#pragma once

#include "platform/reactive/Cancellable.hpp"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tidemark {

class UndoManager;

// Names the undo step a removal from the list made ("Remove"), and no other. The local store
// registers its step while the request is dispatched; the calendar task lists register theirs
// after their write, on a later turn of the main queue. A removal that registers nothing (an
// empty archive, reminders gone in the meantime, a failed write) names nothing, so an older
// step keeps its own name.
class RemovalUndoNamer {
public:
    RemovalUndoNamer() = default;
    RemovalUndoNamer(const RemovalUndoNamer&) = delete;
    RemovalUndoNamer& operator=(const RemovalUndoNamer&) = delete;

    // Runs `dispatch`, the removal's request. A step registered during it is named at once;
    // otherwise, when `mayRegisterLater`, the first step the manager registers afterwards is
    // named, until `requestAnswered`. Without a manager it only dispatches.
    void perform(const std::shared_ptr<UndoManager>& manager, const std::string& name,
        bool mayRegisterLater, const std::function<void()>& dispatch);

    // The data source has answered the request: what it registers, it has registered.
    void requestAnswered();

    bool isWaiting() const { return m_watch.isActive(); }

private:
    void stopWaiting();

    std::weak_ptr<UndoManager> m_manager;
    std::uint64_t m_registrationsBefore = 0;
    std::string m_name;
    rx::Cancellable m_watch;
};

} // namespace tidemark
