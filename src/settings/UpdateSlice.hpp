#pragma once

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
    bool operator==(const UpdateActionCases&) const = default;
};

struct UpdateAction : UpdateActionCases,
                      std::variant<UpdateActionCases::Check, UpdateActionCases::CanCheck> {
    using variant::variant;
    bool operator==(const UpdateAction&) const = default;
};

void updateReducer(UpdateState& state, const UpdateAction& action);

} // namespace tidemark
