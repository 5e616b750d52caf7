#include "platform/ui/FrameClock.hpp"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <utility>

namespace tidemark {

FrameClock::FrameClock() = default;

FrameClock::~FrameClock()
{
    for (FrameClient* client : m_clients) {
        if (client)
            client->m_onClock = false;
    }
}

void FrameClock::add(FrameClient* client)
{
    if (!client || client->m_onClock)
        return;
    client->m_onClock = true;
    m_clients.push_back(client);
    if (m_active++ == 0)
        startTicking();
}

void FrameClock::remove(FrameClient* client)
{
    if (!client || !client->m_onClock)
        return;
    client->m_onClock = false;
    const auto found = std::find(m_clients.begin(), m_clients.end(), client);
    if (found == m_clients.end())
        return;
    // During a frame the slot is only cleared: the frame walks the list by position.
    if (m_ticking)
        *found = nullptr;
    else
        m_clients.erase(found);
    if (--m_active == 0)
        stopTicking();
}

void FrameClock::tick()
{
    if (m_ticking)
        return;
    const double time = now();
    m_lastFrame = time;
    m_ticking = true;
    // Clients added during this frame start with the next one.
    const std::size_t count = m_clients.size();
    for (std::size_t i = 0; i < count; ++i) {
        FrameClient* client = m_clients[i];
        if (!client)
            continue;
        const bool moving = client->advance(time);
        // The client may have removed itself (or been destroyed) while it advanced; then its
        // slot is already clear.
        if (!moving && m_clients[i] == client) {
            client->m_onClock = false;
            m_clients[i] = nullptr;
            --m_active;
        }
    }
    // Tasks may ask for more; those run in this frame too.
    while (!m_afterFrame.empty()) {
        const std::vector<std::function<void()>> tasks = std::exchange(m_afterFrame, {});
        for (const auto& task : tasks)
            task();
    }
    m_ticking = false;
    std::erase(m_clients, nullptr);
    if (m_active == 0)
        stopTicking();
}

void FrameClock::afterFrame(std::function<void()> task)
{
    if (m_ticking)
        m_afterFrame.push_back(std::move(task));
    else
        task();
}

void FrameClock::frameForInput()
{
    if (!isRunning() || m_ticking)
        return;
    // A little early still counts: the event that finds the frame nearly due would otherwise
    // leave it to the beat, between this paint and the next.
    if (now() - m_lastFrame >= interval() * 0.75)
        tick();
    // The beat stays out of the way of the next event while input keeps coming: it comes half
    // an interval after the frame would be due, which only an input that stopped leaves to it.
    if (isRunning())
        restartTicking(std::max(0.0, m_lastFrame + interval() * 1.5 - now()));
}

QtFrameClock::QtFrameClock()
{
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        // After a delayed beat the regular ones follow.
        if (std::exchange(m_delayed, false))
            m_timer.setInterval(m_intervalMs);
        tick();
    });
    m_elapsed.start();
}

double QtFrameClock::now() const
{
    return double(m_elapsed.nsecsElapsed()) * 1e-9;
}

int QtFrameClock::frameInterval()
{
    double rate = 60;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            if (std::isfinite(screen->refreshRate()) && screen->refreshRate() >= 1)
                rate = screen->refreshRate();
        }
    }
    return std::max(1, int(std::lround(1000.0 / rate)));
}

void QtFrameClock::startTicking()
{
    m_intervalMs = frameInterval();
    m_delayed = false;
    m_timer.setInterval(m_intervalMs);
    m_timer.start();
}

void QtFrameClock::restartTicking(double delay)
{
    if (!m_timer.isActive())
        return;
    m_timer.start(std::max(0, int(std::lround(delay * 1000))));
    m_delayed = true;
}

double QtFrameClock::interval() const
{
    return m_intervalMs / 1000.0;
}

void QtFrameClock::stopTicking()
{
    m_timer.stop();
}

void ManualFrameClock::advance(double seconds)
{
    m_now += seconds;
    if (isRunning())
        tick();
}

void ManualFrameClock::runFrames(int count, double interval)
{
    for (int i = 0; i < count; ++i)
        advance(interval);
}

int ManualFrameClock::runUntilIdle(double interval, int limit)
{
    int frames = 0;
    while (isRunning() && frames < limit) {
        advance(interval);
        ++frames;
    }
    return frames;
}

namespace {

FrameClock* g_installed = nullptr;

} // namespace

FrameClock& frameClock()
{
    if (g_installed)
        return *g_installed;
    static QtFrameClock programClock;
    return programClock;
}

void setFrameClock(FrameClock* clock)
{
    g_installed = clock;
}

} // namespace tidemark
