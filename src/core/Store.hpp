#pragma once

#include "platform/foundation/Animation.hpp"
#include "platform/reactive/Publisher.hpp"

#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

namespace tidemark {

// The binding of one piece of a store's state to a control: reading gives the store's
// current state at that place, writing dispatches an action and leaves the change to the
// reducer.
template <class Value> struct Binding {
    std::function<Value()> get;
    std::function<void(const Value&)> set;
};

// Maps the root state to a view's state and a view's action to a root action.
template <class C>
concept Connector = requires(
    const C& connector, const typename C::State& state, const typename C::ViewAction& action)
{
    typename C::Action;
    {
        connector.mapState(state)
        } -> std::convertible_to<typename C::ViewState>;
    {
        connector.mapAction(action)
        } -> std::convertible_to<typename C::Action>;
    requires std::equality_comparable<typename C::ViewState>;
};

// The one mechanism through which state changes: a reducer applied to every action, then
// the middlewares in order, whose publishers answer with further actions that come back
// through the main queue. Main thread only.
template <class State, class Action>
class Store : public std::enable_shared_from_this<Store<State, Action>> {
    struct Private { };

public:
    using Reducer = std::function<void(State&, const Action&)>;
    // A middleware gets the state as it is at its call. A nested dispatch it makes changes
    // that state in place, so a middleware copies what it needs before dispatching.
    using Middleware
        = std::function<std::optional<rx::Publisher<Action>>(const State&, const Action&)>;

    Store(Private, State initialState, Reducer reducer, std::vector<Middleware> middlewares)
        : m_state(std::make_shared<State>(std::move(initialState)))
        , m_reducer(std::move(reducer))
        , m_middlewares(std::move(middlewares))
    {
    }

    static std::shared_ptr<Store> make(
        State initialState, Reducer reducer, std::vector<Middleware> middlewares = {})
    {
        return std::make_shared<Store>(
            Private {}, std::move(initialState), std::move(reducer), std::move(middlewares));
    }

    // A store whose state never changes, for views that show a fixed state.
    static std::shared_ptr<Store> constant(State state)
    {
        return make(std::move(state), [](State&, const Action&) {});
    }

    const State& state() const { return *m_state; }

    // The state as an object that can be kept. A derived store's is never changed: each new
    // state is a new object, so one kept stays as it was. A root store's changes in place.
    std::shared_ptr<const State> sharedState() const { return m_state; }

    // The transaction the latest state came with: the one current when it was dispatched, or,
    // in a derived store, the one its parent's state came with. Its animation tells a view to
    // animate the change; none means jump.
    const Transaction& transaction() const { return m_transaction; }

    // Emits the state after every dispatch, changed or not.
    rx::Publisher<State> statePublisher() const { return m_stateSubject.publisher(); }

    // Fires once at the start of every dispatch, before the reducer runs.
    rx::Publisher<rx::Unit> willChange() const { return m_willChange.publisher(); }

    void dispatch(const Action& action)
    {
        m_willChange.send(rx::Unit {});
        m_reducer(*m_state, action);
        m_transaction = currentTransaction();
        if (m_stateSubject.hasSubscribers())
            m_stateSubject.send(*m_state);

        for (const auto& middleware : m_middlewares) {
            auto publisher = middleware(*m_state, action);
            if (!publisher)
                return;
            // An empty publisher has nothing to deliver: no subscription is needed.
            if (publisher->isKnownEmpty())
                continue;
            subscribe(*publisher);
        }
    }

    // The number of follow-up subscriptions that have not finished yet.
    std::size_t liveSubscriptions() const { return m_cancellables.size(); }

    // A store of a part of this store's state: its actions go to this store at once, and
    // it takes over this store's new states one main-queue turn later, only when its own
    // part changed, together with the transaction they came with. Its subscribers run inside
    // that transaction, so what they set animates as the change was meant to.
    template <class ChildState, class ChildAction, class MapState, class MapAction>
    std::shared_ptr<Store<ChildState, ChildAction>> derived(MapState mapState, MapAction mapAction)
    {
        static_assert(std::equality_comparable<ChildState>);
        auto parent = this->shared_from_this();
        auto child = Store<ChildState, ChildAction>::make(
            mapState(*m_state), [parent, mapAction](ChildState&, const ChildAction& action) {
                parent->dispatch(mapAction(action));
            });
        std::weak_ptr<Store<ChildState, ChildAction>> weakChild = child;
        // The subject sends while this store exists, so the transaction is read from it.
        const Store* self = this;
        child->m_parentLink
            = statePublisher()
                  .map([self, mapState](const State& state) {
                      return Carried<ChildState> { std::make_shared<ChildState>(mapState(state)),
                          self->m_transaction };
                  })
                  .removeDuplicates()
                  .receiveOnMain()
                  .sink([weakChild](const Carried<ChildState>& carried) {
                      if (auto store = weakChild.lock()) {
                          TransactionScope scope(carried.transaction);
                          store->m_willChange.send(rx::Unit {});
                          // The child's reducer only forwards, so its state is never changed
                          // in place and can be the very copy the duplicate check keeps.
                          store->m_state = carried.state;
                          store->m_transaction = carried.transaction;
                          store->m_stateSubject.send(*carried.state);
                      }
                  });
        return child;
    }

    template <Connector C>
    requires std::is_same_v<typename C::State, State> && std::is_same_v<typename C::Action, Action>
        std::shared_ptr<Store<typename C::ViewState, typename C::ViewAction>> connect(C connector)
    {
        return derived<typename C::ViewState, typename C::ViewAction>(
            [connector](const State& state) { return connector.mapState(state); },
            [connector](
                const typename C::ViewAction& action) { return connector.mapAction(action); });
    }

    template <class Value, class Get, class ToAction>
    Binding<Value> binding(Get get, ToAction toAction)
    {
        std::weak_ptr<Store> weak = this->shared_from_this();
        return Binding<Value> {
            [weak, get]() -> Value {
                auto store = weak.lock();
                return store ? Value(get(*store->m_state)) : Value {};
            },
            [weak, toAction](const Value& value) {
                if (auto store = weak.lock())
                    store->dispatch(toAction(value));
            },
        };
    }

private:
    template <class, class> friend class Store;

    // A state on its way to a derived store with its transaction; repeats are judged by the
    // state alone. One copy of the state is shared by the duplicate check, the queued
    // delivery and the derived store itself.
    template <class S> struct Carried {
        std::shared_ptr<S> state;
        Transaction transaction;
        bool operator==(const Carried& other) const
        {
            return state == other.state || *state == *other.state;
        }
    };

    void subscribe(const rx::Publisher<Action>& publisher)
    {
        std::weak_ptr<Store> weak = this->shared_from_this();
        auto key = std::make_shared<std::optional<rx::CancellableSet::Key>>();
        auto token = publisher.receiveOnMain().sink(
            [weak](const Action& action) {
                if (auto store = weak.lock())
                    store->dispatch(action);
            },
            [weak, key](const rx::Completion<rx::Never>&) {
                // The publisher has finished: its token is no longer needed.
                if (auto store = weak.lock(); store && *key)
                    store->m_cancellables.forget(**key);
            });
        *key = m_cancellables.insert(std::move(token));
    }

    // Held apart, so the store's type is complete where its state's type is not (a
    // std::shared_ptr<Store<AppState, AppAction>> compared with a forward-declared AppState).
    // A root store changes it in place; a derived store replaces it with each new state.
    std::shared_ptr<State> m_state;
    Transaction m_transaction;
    Reducer m_reducer;
    std::vector<Middleware> m_middlewares;
    rx::CancellableSet m_cancellables;
    rx::PassthroughSubject<State> m_stateSubject;
    rx::PassthroughSubject<rx::Unit> m_willChange;
    rx::Cancellable m_parentLink;
};

} // namespace tidemark
