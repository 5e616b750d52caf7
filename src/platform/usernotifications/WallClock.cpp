#include "platform/usernotifications/WallClock.hpp"

#include "platform/usernotifications/UserNotificationsLog.hpp"

#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <sys/timerfd.h>
#include <unistd.h>

namespace tidemark {

namespace {

timespec toTimespec(Date date)
{
    const auto ns
        = std::chrono::duration_cast<std::chrono::nanoseconds>(date.time_since_epoch()).count();
    // An all-zero value would disarm the timer; anything at or before the epoch is overdue.
    if (ns <= 0)
        return timespec { 0, 1 };
    return timespec { static_cast<time_t>(ns / 1'000'000'000),
        static_cast<long>(ns % 1'000'000'000) };
}

} // namespace

SystemWallClock::SystemWallClock(QObject* parent)
    : WallClock(parent)
{
    m_fd = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd >= 0) {
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &SystemWallClock::onReadable);
        return;
    }
    usernotifications::logger().error(std::string("timerfd_create failed (") + std::strerror(errno)
        + "); notification timers fall back to monotonic timers and fire late after a suspend");
    m_fallback = new QTimer(this);
    m_fallback->setSingleShot(true);
    m_fallback->setTimerType(Qt::PreciseTimer);
    connect(m_fallback, &QTimer::timeout, this, [this] {
        if (m_due && now() < *m_due) {
            arm();
            return;
        }
        m_due.reset();
        Q_EMIT alarm();
    });
}

SystemWallClock::~SystemWallClock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

Date SystemWallClock::now() const
{
    return std::chrono::system_clock::now();
}

void SystemWallClock::wakeAt(std::optional<Date> date)
{
    m_due = date;
    arm();
}

void SystemWallClock::arm()
{
    if (m_fallback) {
        if (!m_due) {
            m_fallback->stop();
            return;
        }
        const auto ms
            = std::chrono::duration_cast<std::chrono::milliseconds>(*m_due - now()).count();
        m_fallback->start(static_cast<int>(std::clamp<std::int64_t>(ms, 0, 24 * 3600 * 1000)));
        return;
    }
    itimerspec spec {};
    int flags = 0;
    if (m_due) {
        spec.it_value = toTimespec(*m_due);
        flags = TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET;
    }
    if (timerfd_settime(m_fd, flags, &spec, nullptr) != 0)
        usernotifications::logger().error(
            std::string("timerfd_settime failed: ") + std::strerror(errno));
}

void SystemWallClock::onReadable()
{
    std::uint64_t expirations = 0;
    const auto n = ::read(m_fd, &expirations, sizeof expirations);
    if (n < 0 && errno == ECANCELED) {
        // The clock was set (by hand, by NTP stepping it, or on waking): the owner looks at
        // the new time and arms again; until then the old alarm stays armed.
        arm();
        Q_EMIT alarm();
        return;
    }
    if (n < 0)
        return; // EAGAIN: nothing to read after all
    m_due.reset();
    Q_EMIT alarm();
}

ManualWallClock::ManualWallClock(Date start, QObject* parent)
    : WallClock(parent)
    , m_now(start)
{
}

void ManualWallClock::wakeAt(std::optional<Date> date)
{
    m_due = date;
    // Like the real clock, an alarm armed for a moment that has passed rings at once, but
    // from the event loop, never inside the call that armed it.
    if (m_due && *m_due <= m_now) {
        QMetaObject::invokeMethod(
            this, [this] { setNow(m_now); }, Qt::QueuedConnection);
    }
}

void ManualWallClock::advance(TimeInterval seconds)
{
    setNow(dateByAdding(m_now, seconds));
}

void ManualWallClock::setNow(Date date)
{
    m_now = date;
    if (m_due && *m_due <= m_now) {
        m_due.reset();
        Q_EMIT alarm();
    }
}

} // namespace tidemark
