#pragma once

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <utility>

namespace tidemark::rx {

// The token of one subscription. Cancelling it (or dropping it) ends the subscription;
// cancelling twice is harmless. Move-only, like the subscription it stands for.
class Cancellable {
public:
    Cancellable() = default;
    explicit Cancellable(std::function<void()> cancel)
        : m_cancel(std::move(cancel))
    {
    }
    Cancellable(Cancellable&& other) noexcept
        : m_cancel(std::exchange(other.m_cancel, nullptr))
    {
    }
    Cancellable& operator=(Cancellable&& other) noexcept
    {
        if (this != &other) {
            cancel();
            m_cancel = std::exchange(other.m_cancel, nullptr);
        }
        return *this;
    }
    Cancellable(const Cancellable&) = delete;
    Cancellable& operator=(const Cancellable&) = delete;
    ~Cancellable() { cancel(); }

    void cancel()
    {
        if (auto cancel = std::exchange(m_cancel, nullptr))
            cancel();
    }

    bool isActive() const { return static_cast<bool>(m_cancel); }

private:
    std::function<void()> m_cancel;
};

// A bag of tokens, each reachable by the key it was stored under, so that a finished
// subscription can drop its own token.
class CancellableSet {
public:
    using Key = std::uint64_t;

    Key insert(Cancellable token)
    {
        const Key key = m_nextKey++;
        m_tokens.emplace(key, std::move(token));
        return key;
    }
    // Drops the token without cancelling: its subscription has finished already.
    void forget(Key key)
    {
        auto found = m_tokens.find(key);
        if (found == m_tokens.end())
            return;
        auto token = std::move(found->second);
        m_tokens.erase(found);
        token.cancel();
    }
    void cancelAll() { m_tokens.clear(); }
    std::size_t size() const { return m_tokens.size(); }
    bool empty() const { return m_tokens.empty(); }

private:
    std::unordered_map<Key, Cancellable> m_tokens;
    Key m_nextKey = 0;
};

} // namespace tidemark::rx
