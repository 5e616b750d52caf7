#include "platform/reactive/Publisher.hpp"
#include "platform/reactive/Executor.hpp"
#include "platform/reactive/Future.hpp"
#include "support/TestMainQueue.hpp"

#include <gmock/gmock.h>

#include <latch>
#include <numeric>
#include <string>
#include <thread>

using namespace tidemark;
using namespace tidemark::rx;
using testing::ElementsAre;

namespace {

template <class T, class E> struct Recorder {
    std::vector<T> values;
    std::vector<Completion<E>> completions;
    Cancellable token;

    explicit Recorder(const Publisher<T, E>& publisher)
    {
        token = publisher.sink([this](const T& v) { values.push_back(v); },
            [this](const Completion<E>& c) { completions.push_back(c); });
    }
    bool finished() const { return completions.size() == 1 && completions.front().isFinished(); }
};

} // namespace

TEST(Publisher, OperatorsTransformAndComplete)
{
    PassthroughSubject<int> subject;
    Recorder recorder(subject.publisher()
                          .filter([](int v) { return v != 3; })
                          .removeDuplicates()
                          .map([](int v) { return std::to_string(v * 10); })
                          .prefixWhile([](const std::string& s) { return s != "50"; }));
    for (int v : { 1, 1, 2, 3, 2, 4, 5, 6 })
        subject.send(v);
    EXPECT_THAT(recorder.values, ElementsAre("10", "20", "40"))
        << "3 is filtered out, so the second 2 repeats the first";
    EXPECT_TRUE(recorder.finished());
    EXPECT_FALSE(subject.hasSubscribers()) << "prefixWhile must cancel its upstream when it ends";
}

TEST(Publisher, JustEmptyAndMerge)
{
    Recorder just(Just(7));
    EXPECT_THAT(just.values, ElementsAre(7));
    EXPECT_TRUE(just.finished());

    EXPECT_TRUE((Empty<int>().isKnownEmpty()));
    EXPECT_FALSE(Just(1).isKnownEmpty());

    PassthroughSubject<int> a;
    PassthroughSubject<int> b;
    Recorder merged(merge(a.publisher(), b.publisher(), Just(0)));
    a.send(1);
    b.send(2);
    a.send(Completion<Never>::finished());
    EXPECT_TRUE(merged.completions.empty()) << "merge finishes only when every upstream has";
    b.send(3);
    b.send(Completion<Never>::finished());
    EXPECT_THAT(merged.values, ElementsAre(0, 1, 2, 3));
    EXPECT_TRUE(merged.finished());
}

TEST(Publisher, CancellingStopsDeliveryAndUnsubscribes)
{
    PassthroughSubject<int> subject;
    Recorder recorder(subject.publisher());
    subject.send(1);
    recorder.token.cancel();
    subject.send(2);
    EXPECT_THAT(recorder.values, ElementsAre(1));
    EXPECT_FALSE(subject.hasSubscribers());
}

TEST(Publisher, ReceiveOnDeliversLaterInOrderAndNotAfterCancel)
{
    auto& queue = test::mainQueue();
    PassthroughSubject<int> subject;
    Recorder recorder(subject.publisher().receiveOnMain());
    subject.send(1);
    subject.send(2);
    EXPECT_TRUE(recorder.values.empty()) << "delivery is always asynchronous";
    queue.drain();
    EXPECT_THAT(recorder.values, ElementsAre(1, 2));

    Recorder immediate(Just(5).receiveOnMain());
    EXPECT_TRUE(immediate.values.empty());
    queue.drain();
    EXPECT_THAT(immediate.values, ElementsAre(5));
    EXPECT_TRUE(immediate.finished());

    subject.send(3);
    recorder.token.cancel();
    queue.drain();
    EXPECT_THAT(recorder.values, ElementsAre(1, 2));
}

TEST(Publisher, ShareRunsOneUpstreamForAllSubscribers)
{
    int subscriptions = 0;
    PassthroughSubject<int> subject;
    auto counted = Publisher<int>([&](Subscriber<int> s) {
        ++subscriptions;
        return subject.publisher().subscribe(std::move(s));
    });
    auto shared = counted.share();
    {
        Recorder first(shared);
        Recorder second(shared);
        subject.send(4);
        EXPECT_EQ(subscriptions, 1);
        EXPECT_THAT(first.values, ElementsAre(4));
        EXPECT_THAT(second.values, ElementsAre(4));
    }
    EXPECT_FALSE(subject.hasSubscribers()) << "the last subscriber leaving ends the upstream";
}

TEST(Publisher, CurrentValueSubjectGivesCurrentValueFirst)
{
    CurrentValueSubject<int> subject(1);
    subject.send(2);
    Recorder recorder(subject.publisher());
    subject.send(3);
    EXPECT_THAT(recorder.values, ElementsAre(2, 3));
}

TEST(Future, RunsPerSubscriptionElsewhereAndDropsWorkCancelledMidway)
{
    auto& queue = test::mainQueue();
    std::atomic<int> runs = 0;
    auto future = Future<int, std::string>(
        [&](std::stop_token) {
            ++runs;
            return Result<int, std::string>::success(42);
        },
        backgroundQueue());
    EXPECT_EQ(runs, 0) << "nothing runs before a subscriber arrives";

    std::latch done(1);
    std::vector<int> values;
    auto token = future.receiveOnMain().sink([&](int v) { values.push_back(v); },
        [&](const Completion<std::string>&) { done.count_down(); });
    while (queue.pending() == 0 && runs == 0)
        std::this_thread::yield();
    while (values.empty())
        queue.drain();
    EXPECT_THAT(values, ElementsAre(42));

    std::latch started(1);
    std::latch release(1);
    std::vector<int> cancelledValues;
    auto slow = Future<int, std::string>(
        [&](std::stop_token) {
            started.count_down();
            release.wait();
            return Result<int, std::string>::success(1);
        },
        backgroundQueue());
    auto token2 = slow.sink([&](int v) { cancelledValues.push_back(v); });
    started.wait();
    token2.cancel();
    release.count_down();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(cancelledValues.empty());
}

TEST(Future, MapResultTurnsAFailureIntoOneLastValue)
{
    PassthroughSubject<int, std::string> subject;
    Recorder recorder(mapResult(subject.publisher(), [](const Result<int, std::string>& r) {
        return r.isSuccess() ? std::to_string(r.value()) : "error: " + r.error();
    }));
    subject.send(1);
    subject.send(Completion<std::string>::failed("boom"));
    subject.send(2);
    EXPECT_THAT(recorder.values, ElementsAre("1", "error: boom"));
    EXPECT_TRUE(recorder.finished());
}

TEST(SerialQueue, RunsItemsOneAfterAnotherInOrder)
{
    SerialQueue serial(backgroundQueue());
    std::mutex mutex;
    std::vector<int> order;
    std::atomic<int> active = 0;
    std::atomic<bool> overlapped = false;
    std::latch done(50);
    for (int i = 0; i < 50; ++i) {
        serial.post([&, i] {
            if (++active > 1)
                overlapped = true;
            {
                std::lock_guard lock(mutex);
                order.push_back(i);
            }
            --active;
            done.count_down();
        });
    }
    done.wait();
    EXPECT_FALSE(overlapped);
    std::vector<int> expected(50);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(order, expected);
}
