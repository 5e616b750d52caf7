#pragma once

#include <variant>

namespace tidemark {

// Builds one visitor from several lambdas: std::visit(overloaded{…}, value).
template <class... Ts> struct overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts> overloaded(Ts...) -> overloaded<Ts...>;

// The variant a case struct derives from, so visiting works on the derived action types.
template <class... Ts> const std::variant<Ts...>& asVariant(const std::variant<Ts...>& value)
{
    return value;
}

template <class Case, class... Ts> const Case* caseOf(const std::variant<Ts...>& value)
{
    return std::get_if<Case>(&value);
}

} // namespace tidemark
