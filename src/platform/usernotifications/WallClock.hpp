#pragma once

// moc reads no C++20 library headers; it needs none of these types.
#ifndef Q_MOC_RUN
#include "platform/foundation/Date.hpp"
#endif

#include <QObject>

#include <memory>
#include <optional>

class QSocketNotifier;
class QTimer;

namespace tidemark {

// The wall clock the centre's timers run on. `wakeAt` arms one alarm for a moment of wall
// time; `alarm` is emitted when that moment has come, and also when the clock jumped (set
// by hand, or after a suspend), so the owner looks at `now()` again and re-arms.
class WallClock : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual Date now() const = 0;
    // Arms the alarm for `date` (at once when it has passed); none disarms it.
    virtual void wakeAt(std::optional<Date> date) = 0;

Q_SIGNALS:
    void alarm();
};

// The system's real-time clock. Qt's timers count monotonic time, which stands still
// during a suspend, so a plain timer would fire late by the length of the suspend. This
// one is a timerfd on CLOCK_REALTIME armed for an absolute time and cancelled when the
// clock is set: after waking, an overdue alarm rings at once.
class SystemWallClock final : public WallClock {
    Q_OBJECT
public:
    explicit SystemWallClock(QObject* parent = nullptr);
    ~SystemWallClock() override;

    Date now() const override;
    void wakeAt(std::optional<Date> date) override;

private:
    void onReadable();
    void arm();

    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
    QTimer* m_fallback = nullptr;
    std::optional<Date> m_due;
};

// A clock that stands still until told to move: tests use it to jump over a suspend.
class ManualWallClock final : public WallClock {
    Q_OBJECT
public:
    explicit ManualWallClock(Date start, QObject* parent = nullptr);

    Date now() const override { return m_now; }
    void wakeAt(std::optional<Date> date) override;
    std::optional<Date> armedAt() const { return m_due; }

    // Moves the clock forward (or anywhere): an alarm whose time has come rings, as the
    // real clock's would after waking from a suspend.
    void advance(TimeInterval seconds);
    void setNow(Date date);

private:
    Date m_now;
    std::optional<Date> m_due;
};

} // namespace tidemark
