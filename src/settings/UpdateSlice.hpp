#pragma once

#include "core/Action.hpp"
#include <variant>

namespace tidemark {

// Whether a check for updates can be offered now.
struct UpdateState {
    bool canCheck = false;
    bool operator==(const UpdateState&) const = default;
};

struct UpdateActionCases {
    // Check for updates now, showing every outcome.
    struct Check {
        bool operator==(const Check&) const = default;
    };
    // The updater reports whether a check can be offered.
    struct CanCheck {
        bool value;
        bool operator==(const CanCheck&) const = default;
    };
    using Variant = std::variant<Check, CanCheck>;
};

struct UpdateAction : ActionOf<UpdateActionCases> {
    using ActionOf::ActionOf;
};

void updateReducer(UpdateState& state, const UpdateAction& action);

} // namespace tidemark
