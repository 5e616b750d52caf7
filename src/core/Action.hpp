#pragma once

#include <type_traits>
#include <variant>

namespace tidemark {

// An action with cases. The cases are small structs in a `…Cases` struct that also names
// their variant, so a case reads as `UndoManagerAction::Undo`:
//
//     struct UndoManagerActionCases {
//         struct Undo {
//             bool operator==(const Undo&) const = default;
//         };
//         …
//         using Variant = std::variant<SetManager, Undo, Redo>;
//     };
//     struct UndoManagerAction : ActionOf<UndoManagerActionCases> {
//         using ActionOf::ActionOf;
//     };
//
// The action is its own type (forward-declarable, named so in compiler messages), is built
// from any of its cases, visits with std::visit and compares with `==`. A case that
// carries a nested action holds it in a member named `action`. Each case keeps its own
// defaulted `==`: the variant compares its cases with theirs, and C++20 gives a struct none
// unless one is declared.
template <class Cases> struct ActionOf : Cases, Cases::Variant {
    using Variant = typename Cases::Variant;
    using Variant::Variant;

    // Two actions are equal when they hold the same case with equal values.
    bool operator==(const ActionOf& other) const
    {
        return static_cast<const Variant&>(*this) == static_cast<const Variant&>(other);
    }
};

// The variant an action derives from (std::visit takes the action itself as well).
template <class... Ts> const std::variant<Ts...>& asVariant(const std::variant<Ts...>& value)
{
    return value;
}

// The case `Case` of an action, or null when the action holds another case.
template <class Case, class... Ts> const Case* caseOf(const std::variant<Ts...>& value)
{
    constexpr bool isCase = (std::is_same_v<Case, Ts> || ...);
    static_assert(isCase, "caseOf: the type named is not a case of this action");
    if constexpr (isCase)
        return std::get_if<Case>(&value);
    else
        return nullptr;
}

namespace detail {

// One step down a path of cases. A struct that wraps a nested action without cases of its
// own (`NotificationsAction`) is its own one case: the step names its type.
template <class Case, class Value> const Case* caseStep(const Value& value)
{
    if constexpr (std::is_same_v<Case, Value>)
        return &value;
    else
        return caseOf<Case>(value);
}

} // namespace detail

// A pointer to the innermost case along a path of nested cases, or null when the action
// leaves the path at any depth: caseAt<AppAction::View, ViewAction::Yoyo, YoyoAction::Drag>(
// action). Each case but the last carries the next level's action in its member `action`.
template <class Case, class... Path, class Action> auto caseAt(const Action& action)
{
    const Case* found = detail::caseStep<Case>(action);
    if constexpr (sizeof...(Path) == 0)
        return found;
    else
        return found ? caseAt<Path...>(found->action) : nullptr;
}

} // namespace tidemark
