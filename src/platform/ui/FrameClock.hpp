#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

namespace tidemark {

class FrameClock;

// Something the frame clock moves: an animated value while it is in motion.
class FrameClient {
public:
    virtual ~FrameClient() = default;
    // One frame at `now` (seconds on the clock's time line). Returns whether the client is still
    // moving; once it returns false the clock lets go of it.
    virtual bool advance(double now) = 0;

private:
    friend class FrameClock;
    bool m_onClock = false;
};

// The one beat every animation of the program moves to. It ticks only while some client is
// moving and stops as soon as the last one comes to rest. Main thread only.
class FrameClock {
public:
    FrameClock();
    virtual ~FrameClock();
    FrameClock(const FrameClock&) = delete;
    FrameClock& operator=(const FrameClock&) = delete;

    // The clock's time in seconds.
    virtual double now() const = 0;

    // Moves `client` on every frame from the next one on, until it reports rest or is removed.
    // Adding a client that is already moving changes nothing.
    void add(FrameClient* client);
    void remove(FrameClient* client);

    // True while some client moves, that is while the clock ticks.
    bool isRunning() const { return m_active > 0; }
    std::size_t movingClients() const { return m_active; }

    // Input about to be painted: while it arrives (a pointer pulling, a wheel spinning) the
    // beat waits for it. A frame that is due runs at once, so what moves changes within the
    // input's own paint rather than in a paint of its own between two events; one that is not
    // due yet waits for a later event, or for the beat once input stops. Frames stay one
    // interval apart either way. Nothing moves, nothing happens.
    void frameForInput();

    // Runs `task` once every client of the frame under way has advanced, or at once outside a
    // frame: a view with several values in motion lays itself out and reports once a frame,
    // not once for each value.
    void afterFrame(std::function<void()> task);

    // Whether the clock still exists: animated values that outlive their clock check it.
    std::weak_ptr<const bool> lifeToken() const { return m_life; }

protected:
    // Runs one frame: every client moving at its start advances to now().
    void tick();
    virtual void startTicking() = 0;
    virtual void stopTicking() = 0;
    // The next beat comes `delay` seconds from now, then one interval apart again.
    virtual void restartTicking(double delay) { (void)delay; }
    // Seconds between two frames.
    virtual double interval() const { return 1.0 / 60; }

private:
    std::vector<FrameClient*> m_clients;
    std::vector<std::function<void()>> m_afterFrame;
    std::size_t m_active = 0;
    bool m_ticking = false;
    double m_lastFrame = -1e9;
    std::shared_ptr<const bool> m_life = std::make_shared<const bool>(true);
};

// The program's clock: a precise Qt timer at the refresh rate of the primary screen, started
// when something starts moving and stopped when nothing moves.
class QtFrameClock final : public FrameClock {
public:
    QtFrameClock();
    double now() const override;
    bool isTimerActive() const { return m_timer.isActive(); }
    // Milliseconds until the next beat (-1 while none is due).
    int msUntilNextBeat() const { return m_timer.remainingTime(); }
    // Milliseconds between frames: one refresh of the primary screen (60 Hz without one).
    static int frameInterval();

protected:
    void startTicking() override;
    void stopTicking() override;
    void restartTicking(double delay) override;
    double interval() const override;

private:
    QTimer m_timer;
    QElapsedTimer m_elapsed;
    int m_intervalMs = 16;
    bool m_delayed = false;
};

// A clock that moves only when a test says so.
class ManualFrameClock final : public FrameClock {
public:
    explicit ManualFrameClock(double start = 0)
        : m_now(start)
    {
    }
    double now() const override { return m_now; }

    // Moves time on by `seconds` and runs one frame, if anything moves.
    void advance(double seconds);
    // Moves time on without a frame: a moment between two frames.
    void passTime(double seconds) { m_now += seconds; }
    // Runs `count` frames `interval` seconds apart.
    void runFrames(int count, double interval = 1.0 / 60);
    // Runs frames `interval` apart until nothing moves (at most `limit`); returns how many ran.
    int runUntilIdle(double interval = 1.0 / 60, int limit = 100000);

protected:
    void startTicking() override { }
    void stopTicking() override { }

private:
    double m_now;
};

// The clock animated values use unless they are given one: a QtFrameClock made on first use,
// or the clock a test installed.
FrameClock& frameClock();
void setFrameClock(FrameClock* clock);

} // namespace tidemark
