#pragma once

#include "platform/reactive/Cancellable.hpp"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace tidemark {

// Callbacks registered on an animated value. A hook may add or remove hooks, or destroy the
// value it hangs on, while it runs: a call walks the hooks that existed when it began, skips
// those removed meanwhile, and stops once its owner is gone.
template <class... Args> class AnimationHooks {
public:
    // The hook runs until the token is cancelled or dropped, or the owner goes away.
    rx::Cancellable add(std::function<void(Args...)> hook)
    {
        const std::uint64_t id = m_state->nextId++;
        m_state->entries.push_back(
            { id, std::make_shared<std::function<void(Args...)>>(std::move(hook)) });
        return rx::Cancellable([weak = std::weak_ptr<State>(m_state), id] {
            if (auto state = weak.lock())
                state->remove(id);
        });
    }

    bool empty() const { return m_state->entries.empty(); }

    // Calls every hook; false when `owner` expired during the call (the caller must then not
    // touch its members any more).
    bool call(const std::weak_ptr<const bool>& owner, const Args&... args)
    {
        const std::shared_ptr<State> state = m_state;
        const std::size_t count = state->entries.size();
        ++state->depth;
        for (std::size_t i = 0; i < count; ++i) {
            if (owner.expired())
                break;
            const auto hook = state->entries[i].hook;
            if (hook)
                (*hook)(args...);
        }
        if (--state->depth == 0)
            state->compact();
        return !owner.expired();
    }

private:
    struct Entry {
        std::uint64_t id;
        std::shared_ptr<std::function<void(Args...)>> hook;
    };
    struct State {
        std::vector<Entry> entries;
        std::uint64_t nextId = 0;
        int depth = 0;

        void remove(std::uint64_t id)
        {
            const auto found = std::find_if(
                entries.begin(), entries.end(), [id](const Entry& e) { return e.id == id; });
            if (found == entries.end())
                return;
            if (depth > 0)
                found->hook = nullptr;
            else
                entries.erase(found);
        }
        void compact()
        {
            std::erase_if(entries, [](const Entry& e) { return !e.hook; });
        }
    };
    std::shared_ptr<State> m_state = std::make_shared<State>();
};

} // namespace tidemark
