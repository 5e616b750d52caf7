#include "core/AsyncPublisher.hpp"
#include "core/Unsubscriber.hpp"
#include "support/TestMainQueue.hpp"

#include <gmock/gmock.h>

#include <atomic>
#include <latch>
#include <thread>

using namespace tidemark;
using testing::ElementsAre;

TEST(Unsubscriber, EndsEarlierStreamsAtTheirNextValue)
{
    rx::PassthroughSubject<int> source;
    Unsubscriber<int> unsubscriber;
    std::vector<int> first;
    std::vector<int> second;
    bool firstFinished = false;
    auto a
        = unsubscriber.share(source.publisher())
              .sink([&](int v) { first.push_back(v); }, [&](const auto&) { firstFinished = true; });
    source.send(1);
    auto b = unsubscriber.share(source.publisher()).sink([&](int v) { second.push_back(v); });
    EXPECT_FALSE(firstFinished) << "sharing again ends nothing until the next value";
    source.send(2);
    EXPECT_TRUE(firstFinished);
    EXPECT_THAT(first, ElementsAre(1));
    EXPECT_THAT(second, ElementsAre(2));

    unsubscriber.unsubscribe();
    EXPECT_TRUE(source.hasSubscribers()) << "a quiet stream ends only at its next value";
    source.send(3);
    EXPECT_THAT(second, ElementsAre(2));
    EXPECT_FALSE(source.hasSubscribers());
}

TEST(MakeAsyncPublisher, RunsNothingUntilSubscribedAndOneTaskPerSubscription)
{
    std::atomic<int> runs = 0;
    std::latch firstStarted(1);
    std::latch release(1);
    auto publisher = makeAsyncPublisher<int>([&](std::stop_token) {
        const int run = ++runs;
        if (run == 1) {
            firstStarted.count_down();
            release.wait();
        }
        return run;
    });
    EXPECT_EQ(runs, 0);

    std::vector<int> firstValues;
    auto first = publisher.sink([&](int v) { firstValues.push_back(v); });
    firstStarted.wait();

    std::latch secondDone(1);
    std::vector<int> secondValues;
    auto second = publisher.sink(
        [&](int v) { secondValues.push_back(v); }, [&](const auto&) { secondDone.count_down(); });
    first.cancel(); // cancels only the first subscription's task
    release.count_down();
    secondDone.wait();
    EXPECT_THAT(secondValues, ElementsAre(2));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(firstValues.empty()) << "the value of a cancelled task is dropped";
}

TEST(MakeAsyncPublisher, AThrownErrorBecomesTheFailure)
{
    std::latch done(1);
    std::optional<Error> failure;
    auto token = makeAsyncPublisher<int>(
        [](std::stop_token) -> int { throw std::runtime_error("disk full"); })
                     .sink([](int) {},
                         [&](const rx::Completion<Error>& c) {
                             failure = c.failure;
                             done.count_down();
                         });
    done.wait();
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->description, "disk full");
}

TEST(MapResultWithContext, HandsOnValuesAsPresentOptionals)
{
    rx::PassthroughSubject<int, Error> source;
    std::vector<std::string> seen;
    auto token = mapResultWithContext(
        source.publisher(), [](const rx::Result<std::optional<int>, Error>& r) {
            return r.isSuccess() ? (r.value() ? std::to_string(*r.value()) : "none")
                                 : r.error().description;
        }).sink([&](const std::string& s) { seen.push_back(s); });
    source.send(4);
    source.send(rx::Completion<Error>::failed(Error("gone")));
    EXPECT_THAT(seen, ElementsAre("4", "gone"));
}
