#pragma once

#include "platform/foundation/Date.hpp"

#include <memory>
#include <mutex>

namespace tidemark {

// Where the current moment comes from, injected so that due times can be tested without
// waiting.
class Clock {
public:
    virtual ~Clock() = default;
    virtual Date now() const = 0;

    // The one system clock of the process.
    static std::shared_ptr<Clock> system();
};

class SystemClock final : public Clock {
public:
    Date now() const override { return std::chrono::system_clock::now(); }
};

// A clock that stands still until it is set or advanced. Safe to use from any thread.
class ManualClock final : public Clock {
public:
    explicit ManualClock(Date start = dateFromTimeIntervalSince1970(0))
        : m_now(start)
    {
    }
    Date now() const override
    {
        std::lock_guard lock(m_mutex);
        return m_now;
    }
    void set(Date date)
    {
        std::lock_guard lock(m_mutex);
        m_now = date;
    }
    void advance(TimeInterval seconds)
    {
        std::lock_guard lock(m_mutex);
        m_now = dateByAdding(m_now, seconds);
    }

private:
    mutable std::mutex m_mutex;
    Date m_now;
};

} // namespace tidemark
