#pragma once

// The event loop of a benchmark that drives real windows.

#include <QEventLoop>
#include <QTimer>

namespace tidemark::bench {

// Runs the event loop for `milliseconds`, asleep between its events, as between a user's.
inline void idleFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace tidemark::bench
