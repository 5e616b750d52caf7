#include "platform/reactive/QtMainQueue.hpp"
#include "platform/reactive/QtTimerSource.hpp"

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <gmock/gmock.h>

#include <thread>
#include <vector>

using namespace tidemark::rx;

namespace {

constexpr int generousMs = 20000;

} // namespace

// Work posted from several threads runs on the main thread, each thread's work in the order
// it was posted.
TEST(QtMainQueue, RunsWorkFromAnyThreadOnTheMainThreadInPostingOrder)
{
    QtMainQueue queue;
    constexpr int threads = 4;
    constexpr int perThread = 200;
    std::vector<std::vector<int>> seen(threads);
    int offMainThread = 0;
    int ran = 0;
    {
        std::vector<std::jthread> posters;
        for (int t = 0; t < threads; ++t)
            posters.emplace_back([&, t] {
                for (int i = 0; i < perThread; ++i)
                    queue.post([&, t, i] {
                        if (QThread::currentThread() != qApp->thread())
                            ++offMainThread;
                        seen[t].push_back(i);
                        ++ran;
                    });
            });
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return ran == threads * perThread; }, generousMs));
    EXPECT_EQ(offMainThread, 0);
    std::vector<int> inOrder(perThread);
    for (int i = 0; i < perThread; ++i)
        inOrder[i] = i;
    for (const auto& sequence : seen)
        EXPECT_EQ(sequence, inOrder);
}

// A timer ticks again and again until its token is cancelled; after that, while a second
// timer of the same interval ticks several times, the first one never does.
TEST(QtTimerSource, TicksUntilCancelled)
{
    QtTimerSource timers;
    int ticks = 0;
    Cancellable first = timers.start(std::chrono::milliseconds(5), [&] { ++ticks; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }, generousMs));

    first.cancel();
    const int atCancel = ticks;
    int control = 0;
    Cancellable second = timers.start(std::chrono::milliseconds(5), [&] { ++control; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return control >= 3; }, generousMs));
    EXPECT_EQ(ticks, atCancel);
}
