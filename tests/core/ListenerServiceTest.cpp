#include "core/ListenerService.hpp"
#include "core/Store.hpp"
#include "support/LogCapture.hpp"
#include "support/TestMainQueue.hpp"

#include <gmock/gmock.h>

#include <stdexcept>

using namespace tidemark;
using testing::ElementsAre;

namespace {
using Service = ListenerService<int, std::string>;
}

TEST(ListenerService, OnceListenersLeaveAfterAnsweringTrueOthersKeepTheirPlace)
{
    Service service;
    std::vector<std::string> calls;
    service.notify(0, "nothing registered"); // no listeners: nothing happens
    service.add(
        [&](int, const std::string& a) {
            calls.push_back("once1:" + a);
            return true;
        },
        true);
    service.add(
        [&](int, const std::string& a) {
            calls.push_back("perm:" + a);
            return true;
        },
        false);
    service.add(
        [&](int, const std::string& a) {
            calls.push_back("once2:" + a);
            return a == "second";
        },
        true);
    service.add(
        [&](int, const std::string& a) {
            calls.push_back("once3:" + a);
            return true;
        },
        true);

    service.notify(0, "first");
    EXPECT_THAT(calls, ElementsAre("once1:first", "perm:first", "once2:first", "once3:first"));
    EXPECT_EQ(service.count(), 2u);
    EXPECT_EQ(service.onceCount(), 1u) << "once2 answered false and keeps its once mark";

    calls.clear();
    service.notify(0, "second");
    EXPECT_THAT(calls, ElementsAre("perm:second", "once2:second"));
    service.notify(0, "third");
    EXPECT_EQ(service.count(), 1u);
}

TEST(ListenerService, AThrowingListenerEndsThePassAndStays)
{
    Service service;
    std::vector<std::string> calls;
    service.add(
        [&](int, const std::string&) -> bool {
            calls.push_back("thrower");
            throw std::runtime_error("boom");
        },
        true);
    service.add(
        [&](int, const std::string&) {
            calls.push_back("later");
            return true;
        },
        true);
    EXPECT_THROW(service.notify(0, "a"), std::runtime_error);
    EXPECT_THAT(calls, ElementsAre("thrower"));
    EXPECT_EQ(service.count(), 2u);
}

TEST(ListenerMiddleware, RegistersAfterNotifyingAndNeverHidesTheAction)
{
    struct Action {
        std::string name;
        std::optional<ListenerAction<int, Action>> listener;
        bool operator==(const Action&) const = default;
    };
    auto service = std::make_shared<ListenerService<int, Action>>();
    auto middleware = makeListenerMiddleware(
        service, [](const Action& a) { return a.listener ? &*a.listener : nullptr; });
    std::vector<std::string> heard;
    int laterCalls = 0;
    auto store = Store<int, Action>::make(0, [](int&, const Action&) {},
        { middleware, [&](const int&, const Action&) -> std::optional<rx::Publisher<Action>> {
             ++laterCalls;
             return rx::Empty<Action>();
         } });

    store->dispatch({ "register", ListenerAction<int, Action>::addOnce([&](int, const Action& a) {
                         heard.push_back(a.name);
                         return a.name == "stop";
                     }) });
    EXPECT_TRUE(heard.empty()) << "a listener does not hear the action that registers it";
    store->dispatch({ "one", std::nullopt });
    store->dispatch({ "stop", std::nullopt });
    store->dispatch({ "after", std::nullopt });
    EXPECT_THAT(heard, ElementsAre("one", "stop"));
    EXPECT_EQ(laterCalls, 4);
}

TEST(ListenerMiddleware, AListenerThatThrowsIsLoggedAndTheLaterMiddlewaresStillRun)
{
    struct Action {
        std::string name;
        bool operator==(const Action&) const = default;
    };
    using Listener = ListenerService<int, Action>::Listener;
    const struct {
        const char* name;
        Listener listener;
        const char* logged;
    } cases[] = {
        { "an error",
            [](int, const Action& a) -> bool { throw std::runtime_error("boom at " + a.name); },
            "Application: boom at one" },
        { "anything else", [](int, const Action&) -> bool { throw 42; },
            "Application: unknown error thrown by a listener" },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        auto service = std::make_shared<ListenerService<int, Action>>();
        service->add(testCase.listener, false);
        int laterCalls = 0;
        auto store = Store<int, Action>::make(0, [](int&, const Action&) {},
            { makeListenerMiddleware(service,
                  [](const Action&) -> const ListenerAction<int, Action>* { return nullptr; }),
                [&](const int&, const Action&) -> std::optional<rx::Publisher<Action>> {
                    ++laterCalls;
                    return rx::Empty<Action>();
                } });

        test::LogCapture log;
        ASSERT_TRUE(log.isCapturing());
        store->dispatch({ "one" });
        EXPECT_THAT(log.lines(), ElementsAre(testCase.logged));
        EXPECT_EQ(laterCalls, 1);
    }
}
