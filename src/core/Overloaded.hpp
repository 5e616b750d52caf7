#pragma once

namespace tidemark {

// Builds one visitor from several lambdas: std::visit(overloaded{…}, value).
template <class... Ts> struct overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts> overloaded(Ts...) -> overloaded<Ts...>;

} // namespace tidemark
