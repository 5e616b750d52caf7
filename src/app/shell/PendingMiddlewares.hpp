#pragma once

// The services and middlewares of the composition root that other parts of the program
// provide and that are not built yet. Each factory stands at its place in the middleware
// list under its own name and answers every action with an empty publisher, so the order
// of the list, and what each entry captures, is already right. Replace each with the real
// one as it arrives; nothing else in the shell looks inside these types.

#include "app/shell/AppWindows.hpp"
#include "core/state/AppState.hpp"
#include <memory>

namespace tidemark {

using AppMiddleware = AppStore::Middleware;

// A middleware that adds nothing and hides nothing from the middlewares after it.
AppMiddleware emptyMiddleware();

// The desktop's notifications.
class PendingUserNotificationsService {
public:
    // Makes the service's delegate the receiver of the desktop's answers.
    void attachNotificationDelegate() { m_delegateAttached = true; }
    bool delegateAttached() const { return m_delegateAttached; }

private:
    bool m_delegateAttached = false;
};
AppMiddleware pendingUserNotificationsMiddleware(std::shared_ptr<PendingUserNotificationsService> service);
AppMiddleware pendingStatusItemDragMiddleware(AppWindowsStoreRef windowsStore);

} // namespace tidemark
