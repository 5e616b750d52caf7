#pragma once

#include <memory>

namespace tidemark {

class UNUserNotificationCenter;

// A pointer to a notification centre that turns null when the centre is destroyed, for
// whoever may outlive it. Copies follow the same centre. Like the centre itself, read it on
// the centre's thread.
class UNUserNotificationCenterGuard {
public:
    UNUserNotificationCenterGuard() = default;
    UNUserNotificationCenterGuard(UNUserNotificationCenter* center);

    UNUserNotificationCenter* get() const;
    UNUserNotificationCenter* operator->() const { return get(); }
    UNUserNotificationCenter& operator*() const { return *get(); }
    explicit operator bool() const { return get() != nullptr; }

private:
    struct Tracker;
    std::shared_ptr<const Tracker> m_tracker;
};

} // namespace tidemark
