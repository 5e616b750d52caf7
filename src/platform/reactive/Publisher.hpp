#pragma once

#include "platform/reactive/Cancellable.hpp"
#include "platform/reactive/Scheduler.hpp"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

namespace tidemark::rx {

// The failure type of a publisher that cannot fail.
struct Never {
    Never() = delete;
    bool operator==(const Never&) const = default;
};

// The empty value of a stream that only tells that something happened.
struct Unit {
    bool operator==(const Unit&) const = default;
};

// How a stream ended: finished, or failed with an error.
template <class E> struct Completion {
    std::optional<E> failure;

    static Completion finished() { return {}; }
    static Completion failed(E error) { return { std::optional<E>(std::move(error)) }; }
    bool isFinished() const { return !failure.has_value(); }
};

template <class T, class E = Never> struct Subscriber {
    std::function<void(const T&)> receive;
    std::function<void(const Completion<E>&)> complete;
};

namespace detail {

// Holds the upstream token of an operator that may end its subscription from inside a
// callback, possibly before the upstream subscribe call has returned.
struct Link {
    std::mutex mutex;
    Cancellable upstream;
    bool ended = false;

    void adopt(Cancellable token)
    {
        std::unique_lock lock(mutex);
        if (ended) {
            lock.unlock();
            token.cancel();
            return;
        }
        upstream = std::move(token);
    }
    // Ends the link once; true for the first caller.
    bool end()
    {
        Cancellable token;
        {
            std::lock_guard lock(mutex);
            if (ended)
                return false;
            ended = true;
            token = std::move(upstream);
        }
        token.cancel();
        return true;
    }
    bool isEnded()
    {
        std::lock_guard lock(mutex);
        return ended;
    }
};

} // namespace detail

// A type-erased publisher: a recipe that, for each subscriber, starts a subscription
// and returns its token. Copies share the recipe.
template <class T, class E = Never> class Publisher {
public:
    using Output = T;
    using Failure = E;
    using SubscribeFunction = std::function<Cancellable(Subscriber<T, E>)>;

    explicit Publisher(SubscribeFunction subscribe, bool isEmpty = false)
        : m_subscribe(std::make_shared<SubscribeFunction>(std::move(subscribe)))
        , m_isEmpty(isEmpty)
    {
    }

    Cancellable subscribe(Subscriber<T, E> subscriber) const
    {
        return (*m_subscribe)(std::move(subscriber));
    }

    Cancellable sink(std::function<void(const T&)> receive,
        std::function<void(const Completion<E>&)> complete = {}) const
    {
        return subscribe(
            { std::move(receive), complete ? std::move(complete) : [](const Completion<E>&) {} });
    }

    // True for a publisher that is known to complete at once without a value: a
    // subscriber may skip subscribing to it at all.
    bool isKnownEmpty() const { return m_isEmpty; }

    template <class F>
    auto map(F transform) const -> Publisher<std::decay_t<std::invoke_result_t<F, const T&>>, E>
    {
        using U = std::decay_t<std::invoke_result_t<F, const T&>>;
        return Publisher<U, E>(
            [upstream = *this, transform](Subscriber<U, E> subscriber) {
                return upstream.subscribe({ [transform, receive = std::move(subscriber.receive)](
                                                const T& value) { receive(transform(value)); },
                    std::move(subscriber.complete) });
            },
            m_isEmpty);
    }

    template <class F> Publisher filter(F isIncluded) const
    {
        return Publisher(
            [upstream = *this, isIncluded](Subscriber<T, E> subscriber) {
                return upstream.subscribe(
                    { [isIncluded, receive = std::move(subscriber.receive)](const T& value) {
                         if (isIncluded(value))
                             receive(value);
                     },
                        std::move(subscriber.complete) });
            },
            m_isEmpty);
    }

    // Drops a value equal to the one passed on before it.
    Publisher removeDuplicates() const
    {
        return Publisher(
            [upstream = *this](Subscriber<T, E> subscriber) {
                auto last = std::make_shared<std::optional<T>>();
                return upstream.subscribe(
                    { [last, receive = std::move(subscriber.receive)](const T& value) {
                         if (*last && **last == value)
                             return;
                         *last = value;
                         receive(value);
                     },
                        std::move(subscriber.complete) });
            },
            m_isEmpty);
    }

    // Passes values on while they satisfy the predicate; at the first that does not, the
    // stream finishes and its upstream subscription is cancelled.
    template <class F> Publisher prefixWhile(F predicate) const
    {
        return Publisher(
            [upstream = *this, predicate](Subscriber<T, E> subscriber) {
                auto link = std::make_shared<detail::Link>();
                auto shared = std::make_shared<Subscriber<T, E>>(std::move(subscriber));
                link->adopt(upstream.subscribe({ [link, shared, predicate](const T& value) {
                                                    if (link->isEnded())
                                                        return;
                                                    if (predicate(value)) {
                                                        shared->receive(value);
                                                    } else if (link->end()) {
                                                        shared->complete(Completion<E>::finished());
                                                    }
                                                },
                    [link, shared](const Completion<E>& completion) {
                        if (link->end())
                            shared->complete(completion);
                    } }));
                return Cancellable([link] { link->end(); });
            },
            m_isEmpty);
    }

    // Delivers every event later on the given scheduler, in order, even when the
    // upstream emits at once on the scheduler's own thread.
    Publisher receiveOn(Scheduler& scheduler) const
    {
        return Publisher(
            [upstream = *this, &scheduler](Subscriber<T, E> subscriber) {
                auto cancelled = std::make_shared<std::atomic<bool>>(false);
                auto shared = std::make_shared<Subscriber<T, E>>(std::move(subscriber));
                auto token = upstream.subscribe({ [&scheduler, cancelled, shared](const T& value) {
                                                     scheduler.post([cancelled, shared, value] {
                                                         if (!cancelled->load())
                                                             shared->receive(value);
                                                     });
                                                 },
                    [&scheduler, cancelled, shared](const Completion<E>& completion) {
                        scheduler.post([cancelled, shared, completion] {
                            if (!cancelled->load())
                                shared->complete(completion);
                        });
                    } });
                return Cancellable(
                    [cancelled, token = std::make_shared<Cancellable>(std::move(token))] {
                        cancelled->store(true);
                        token->cancel();
                    });
            },
            m_isEmpty);
    }

    Publisher receiveOnMain() const { return receiveOn(mainQueue()); }

    // One upstream subscription shared by every subscriber (started by the first, ended
    // when the last leaves). Subscribers that arrive after the upstream completed are
    // told at once that it completed.
    Publisher share() const;

    // A publisher that can no longer fail, for a publisher whose failure type is Never.
    Publisher<T, Never> eraseFailure() const requires std::is_same_v<E, Never> { return *this; }

private:
    std::shared_ptr<const SubscribeFunction> m_subscribe;
    bool m_isEmpty = false;
};

template <class T, class E = Never> using AnyPublisher = Publisher<T, E>;

// Emits one value, then finishes.
template <class T, class E = Never> Publisher<std::decay_t<T>, E> Just(T&& value)
{
    using V = std::decay_t<T>;
    return Publisher<V, E>([value = V(std::forward<T>(value))](Subscriber<V, E> subscriber) {
        subscriber.receive(value);
        subscriber.complete(Completion<E>::finished());
        return Cancellable();
    });
}

// Finishes at once without a value.
template <class T, class E = Never> Publisher<T, E> Empty()
{
    return Publisher<T, E>(
        [](Subscriber<T, E> subscriber) {
            subscriber.complete(Completion<E>::finished());
            return Cancellable();
        },
        true);
}

// Fails at once with the error.
template <class T, class E> Publisher<T, E> Fail(E error)
{
    return Publisher<T, E>([error](Subscriber<T, E> subscriber) {
        subscriber.complete(Completion<E>::failed(error));
        return Cancellable();
    });
}

// Never emits and never completes.
template <class T, class E = Never> Publisher<T, E> Silent()
{
    return Publisher<T, E>([](Subscriber<T, E>) { return Cancellable(); });
}

// Every value of every upstream; finishes when all have finished, fails at the first failure.
template <class T, class E> Publisher<T, E> merge(std::vector<Publisher<T, E>> upstreams)
{
    bool allEmpty = true;
    for (const auto& upstream : upstreams)
        allEmpty = allEmpty && upstream.isKnownEmpty();
    return Publisher<T, E>(
        [upstreams](Subscriber<T, E> subscriber) {
            struct State {
                std::mutex mutex;
                std::size_t remaining;
                bool ended = false;
                std::vector<Cancellable> tokens;
            };
            auto state = std::make_shared<State>();
            state->remaining = upstreams.size();
            auto shared = std::make_shared<Subscriber<T, E>>(std::move(subscriber));
            if (upstreams.empty()) {
                shared->complete(Completion<E>::finished());
                return Cancellable();
            }
            std::vector<Cancellable> tokens;
            for (const auto& upstream : upstreams) {
                tokens.push_back(upstream.subscribe({ [state, shared](const T& value) {
                                                         if (!state->ended)
                                                             shared->receive(value);
                                                     },
                    [state, shared](const Completion<E>& completion) {
                        bool deliver = false;
                        {
                            std::lock_guard lock(state->mutex);
                            if (state->ended)
                                return;
                            if (!completion.isFinished() || --state->remaining == 0) {
                                state->ended = true;
                                deliver = true;
                            }
                        }
                        if (deliver)
                            shared->complete(completion);
                    } }));
            }
            auto held = std::make_shared<std::vector<Cancellable>>(std::move(tokens));
            return Cancellable([state, held] {
                {
                    std::lock_guard lock(state->mutex);
                    state->ended = true;
                }
                held->clear();
            });
        },
        allEmpty);
}

template <class T, class E, class... Rest>
Publisher<T, E> merge(Publisher<T, E> first, Rest... rest)
{
    return merge(std::vector<Publisher<T, E>> { std::move(first), std::move(rest)... });
}

namespace detail {

template <class T, class E> struct Broadcast {
    std::mutex mutex;
    std::vector<std::pair<std::uint64_t, std::shared_ptr<Subscriber<T, E>>>> subscribers;
    std::uint64_t nextKey = 0;
    std::optional<Completion<E>> completion;

    std::vector<std::shared_ptr<Subscriber<T, E>>> snapshot()
    {
        std::lock_guard lock(mutex);
        std::vector<std::shared_ptr<Subscriber<T, E>>> result;
        result.reserve(subscribers.size());
        for (auto& entry : subscribers)
            result.push_back(entry.second);
        return result;
    }
    void send(const T& value)
    {
        for (auto& subscriber : snapshot())
            subscriber->receive(value);
    }
    void finish(const Completion<E>& done)
    {
        std::vector<std::shared_ptr<Subscriber<T, E>>> targets;
        {
            std::lock_guard lock(mutex);
            if (completion)
                return;
            completion = done;
            for (auto& entry : subscribers)
                targets.push_back(entry.second);
            subscribers.clear();
        }
        for (auto& subscriber : targets)
            subscriber->complete(done);
    }
    // Adds a subscriber, or returns no key when the stream has completed already.
    std::optional<std::uint64_t> add(
        std::shared_ptr<Subscriber<T, E>> subscriber, std::size_t* countAfter)
    {
        std::lock_guard lock(mutex);
        if (completion)
            return std::nullopt;
        const auto key = nextKey++;
        subscribers.emplace_back(key, std::move(subscriber));
        if (countAfter)
            *countAfter = subscribers.size();
        return key;
    }
    std::size_t remove(std::uint64_t key)
    {
        std::lock_guard lock(mutex);
        std::erase_if(subscribers, [key](const auto& entry) { return entry.first == key; });
        return subscribers.size();
    }
};

} // namespace detail

template <class T, class E> Publisher<T, E> Publisher<T, E>::share() const
{
    struct ShareState {
        detail::Broadcast<T, E> broadcast;
        std::mutex mutex;
        Cancellable upstream;
    };
    auto state = std::make_shared<ShareState>();
    return Publisher(
        [upstream = *this, state](Subscriber<T, E> subscriber) {
            auto shared = std::make_shared<Subscriber<T, E>>(std::move(subscriber));
            std::size_t count = 0;
            auto key = state->broadcast.add(shared, &count);
            if (!key) {
                shared->complete(*state->broadcast.completion);
                return Cancellable();
            }
            if (count == 1) {
                std::weak_ptr<ShareState> weak = state;
                auto token = upstream.subscribe({ [weak](const T& value) {
                                                     if (auto s = weak.lock())
                                                         s->broadcast.send(value);
                                                 },
                    [weak](const Completion<E>& completion) {
                        if (auto s = weak.lock())
                            s->broadcast.finish(completion);
                    } });
                std::lock_guard lock(state->mutex);
                state->upstream = std::move(token);
            }
            return Cancellable([state, key = *key] {
                if (state->broadcast.remove(key) == 0) {
                    Cancellable token;
                    {
                        std::lock_guard lock(state->mutex);
                        token = std::move(state->upstream);
                    }
                    token.cancel();
                }
            });
        },
        m_isEmpty);
}

// A subject that passes on what is sent to it, to the subscribers of that moment.
template <class T, class E = Never> class PassthroughSubject {
public:
    PassthroughSubject()
        : m_broadcast(std::make_shared<detail::Broadcast<T, E>>())
    {
    }
    void send(const T& value) const { m_broadcast->send(value); }
    void send(const Completion<E>& completion) const { m_broadcast->finish(completion); }
    bool hasSubscribers() const
    {
        std::lock_guard lock(m_broadcast->mutex);
        return !m_broadcast->subscribers.empty();
    }

    Publisher<T, E> publisher() const
    {
        return Publisher<T, E>([weak = std::weak_ptr(m_broadcast)](Subscriber<T, E> subscriber) {
            auto broadcast = weak.lock();
            if (!broadcast) {
                subscriber.complete(Completion<E>::finished());
                return Cancellable();
            }
            auto shared = std::make_shared<Subscriber<T, E>>(std::move(subscriber));
            auto key = broadcast->add(shared, nullptr);
            if (!key) {
                shared->complete(*broadcast->completion);
                return Cancellable();
            }
            return Cancellable([weak, key = *key] {
                if (auto b = weak.lock())
                    b->remove(key);
            });
        });
    }

private:
    std::shared_ptr<detail::Broadcast<T, E>> m_broadcast;
};

// A subject that holds a current value and gives it to every new subscriber first.
template <class T, class E = Never> class CurrentValueSubject {
public:
    explicit CurrentValueSubject(T value)
        : m_state(std::make_shared<State>(std::move(value)))
    {
    }
    const T& value() const { return m_state->value; }
    void send(const T& value) const
    {
        m_state->value = value;
        m_state->subject.send(value);
    }
    void send(const Completion<E>& completion) const { m_state->subject.send(completion); }

    Publisher<T, E> publisher() const
    {
        return Publisher<T, E>([state = m_state](Subscriber<T, E> subscriber) {
            const T current = state->value;
            auto shared = std::make_shared<Subscriber<T, E>>(std::move(subscriber));
            auto token = state->subject.publisher().subscribe(
                { [shared](const T& v) { shared->receive(v); },
                    [shared](const Completion<E>& c) { shared->complete(c); } });
            shared->receive(current);
            return token;
        });
    }

private:
    struct State {
        explicit State(T v)
            : value(std::move(v))
        {
        }
        T value;
        PassthroughSubject<T, E> subject;
    };
    std::shared_ptr<State> m_state;
};

} // namespace tidemark::rx
