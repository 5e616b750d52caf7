#pragma once

#include "platform/logging/LogCategories.hpp"
#include "platform/reactive/Publisher.hpp"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace tidemark {

// Lets any part of the program watch the stream of actions without a middleware of its
// own: a listener is called with the state and the action of every dispatch, for good or,
// as a once-listener, until it first answers true. A listener may throw; that ends the
// current pass.
template <class State, class Action> class ListenerService {
public:
    using Listener = std::function<bool(const State&, const Action&)>;

    void add(Listener listener, bool once)
    {
        m_listeners.push_back(
            Entry { m_nextKey++, std::make_shared<Listener>(std::move(listener)), once });
    }

    // Calls each listener registered at the start of the pass once, in registration order;
    // a once-listener that answers true is removed. Passes on the first exception.
    void notify(const State& state, const Action& action)
    {
        const auto pass = m_listeners;
        for (const auto& entry : pass) {
            const bool answer = (*entry.listener)(state, action);
            if (answer && entry.once)
                std::erase_if(m_listeners, [&entry](const Entry& e) { return e.key == entry.key; });
        }
    }

    std::size_t count() const { return m_listeners.size(); }
    std::size_t onceCount() const
    {
        return std::count_if(
            m_listeners.begin(), m_listeners.end(), [](const Entry& e) { return e.once; });
    }

private:
    struct Entry {
        std::uint64_t key;
        std::shared_ptr<Listener> listener;
        bool once;
    };
    std::vector<Entry> m_listeners;
    std::uint64_t m_nextKey = 0;
};

// Registration of a listener through an action. Two listener actions are equal when they
// have the same case; the listeners they carry are not compared.
template <class State, class Action> struct ListenerAction {
    using Listener = typename ListenerService<State, Action>::Listener;
    enum class Kind {
        add,
        addOnce,
    };
    Kind kind;
    Listener listener;

    static ListenerAction add(Listener l) { return { Kind::add, std::move(l) }; }
    static ListenerAction addOnce(Listener l) { return { Kind::addOnce, std::move(l) }; }
    bool operator==(const ListenerAction& other) const { return kind == other.kind; }
};

// The middleware that first tells the listeners about the action, then registers the
// listener the action carries, if any, and always lets the later middlewares run.
template <class State, class Action, class ListenerOf>
auto makeListenerMiddleware(
    std::shared_ptr<ListenerService<State, Action>> service, ListenerOf listenerOf)
{
    return [service, listenerOf](
               const State& state, const Action& action) -> std::optional<rx::Publisher<Action>> {
        try {
            service->notify(state, action);
        } catch (const std::exception& error) {
            appLogger(logcategory::application).error(error.what());
        } catch (...) {
            appLogger(logcategory::application).error("unknown error thrown by a listener");
        }
        if (const ListenerAction<State, Action>* registration = listenerOf(action))
            service->add(registration->listener,
                registration->kind == ListenerAction<State, Action>::Kind::addOnce);
        return rx::Empty<Action>();
    };
}

} // namespace tidemark
