#pragma once

#include "platform/reactive/Publisher.hpp"

#include <cstdint>
#include <memory>

namespace tidemark {

// Shares one publisher at a time among its subscribers. Each stream handed out ends at its
// next value once `unsubscribe` was called, a newer publisher was shared, or the
// Unsubscriber is gone; a quiet stream ends nothing until its next value.
template <class T, class E = rx::Never> class Unsubscriber {
public:
    Unsubscriber()
        : m_state(std::make_shared<State>())
    {
    }

    rx::Publisher<T, E> share(const rx::Publisher<T, E>& publisher)
    {
        const auto generation = ++m_state->lastGeneration;
        m_state->current = generation;
        std::weak_ptr<State> weak = m_state;
        return publisher.share().prefixWhile([weak, generation](const T&) {
            auto state = weak.lock();
            return state && state->current == generation;
        });
    }

    void unsubscribe() { m_state->current = 0; }
    bool hasSharedPublisher() const { return m_state->current != 0; }

private:
    struct State {
        std::uint64_t lastGeneration = 0;
        std::uint64_t current = 0; // 0: none shared
    };
    std::shared_ptr<State> m_state;
};

} // namespace tidemark
