#pragma once

#include <utility>
#include <variant>

namespace tidemark::rx {

// The outcome of work that can fail: a value or an error.
template <class T, class E> class Result {
public:
    static Result success(T value) { return Result(std::in_place_index<0>, std::move(value)); }
    static Result failure(E error) { return Result(std::in_place_index<1>, std::move(error)); }

    bool isSuccess() const { return m_value.index() == 0; }
    const T& value() const { return std::get<0>(m_value); }
    T& value() { return std::get<0>(m_value); }
    const E& error() const { return std::get<1>(m_value); }

    bool operator==(const Result&) const = default;

private:
    template <std::size_t I, class V>
    Result(std::in_place_index_t<I> index, V&& v)
        : m_value(index, std::forward<V>(v))
    {
    }
    std::variant<T, E> m_value;
};

} // namespace tidemark::rx
