#pragma once

#include "core/Action.hpp"
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace tidemark {

// Where the drag data-entry card stands in the overlay.
enum class DataEntryPosition {
    center, // in the middle of the overlay window
    belowMenubar, // pinned under the blob that stays under the menu-bar icon
};

// The drag overlay's shared state.
struct YoyoDragState {
    double blobOpacity = 1.0; // of the blob and the live time label; stored unclamped
    bool isPresented = false; // the data-entry card is presented
    DataEntryPosition position = DataEntryPosition::belowMenubar; // no action changes it
    std::optional<std::string> saved; // id of the reminder the card saved or let go last
    // Drags begun minus animate-outs ended; the overlay windows close when it is back at 0.
    std::int64_t semaphore = 0;

    bool operator==(const YoyoDragState&) const = default;
};

struct YoyoScrollState {
    bool isPresented = false;
    bool dataEntryIsPresented = false;

    bool operator==(const YoyoScrollState&) const = default;
};

struct YoyoState {
    YoyoDragState drag;
    YoyoScrollState scroll;

    bool operator==(const YoyoState&) const = default;
};

struct YoyoDragActionCases {
    struct BlobOpacity {
        double blobOpacity;
        bool operator==(const BlobOpacity&) const = default;
    };
    struct IsPresented {
        bool isPresented;
        bool operator==(const IsPresented&) const = default;
    };
    struct Saved {
        std::string id;
        bool operator==(const Saved&) const = default;
    };
    struct AnimateOutDidEnd {
        bool operator==(const AnimateOutDidEnd&) const = default;
    };
    using Variant = std::variant<BlobOpacity, IsPresented, Saved, AnimateOutDidEnd>;
};

struct YoyoDragAction : ActionOf<YoyoDragActionCases> {
    using ActionOf::ActionOf;
};

struct YoyoScrollActionCases {
    struct IsPresented {
        bool isPresented;
        bool operator==(const IsPresented&) const = default;
    };
    struct DataEntryIsPresented {
        bool dataEntryIsPresented;
        bool operator==(const DataEntryIsPresented&) const = default;
    };
    using Variant = std::variant<IsPresented, DataEntryIsPresented>;
};

struct YoyoScrollAction : ActionOf<YoyoScrollActionCases> {
    using ActionOf::ActionOf;
};

struct YoyoActionCases {
    struct Drag {
        YoyoDragAction action;
        bool operator==(const Drag&) const = default;
    };
    struct Scroll {
        YoyoScrollAction action;
        bool operator==(const Scroll&) const = default;
    };
    using Variant = std::variant<Drag, Scroll>;
};

struct YoyoAction : ActionOf<YoyoActionCases> {
    using ActionOf::ActionOf;
};

// A drag began: one more animate-out to wait for. Saturates instead of wrapping.
void raiseSemaphore(YoyoDragState& state);

// Stores each payload as it comes (the opacity unclamped). animateOutDidEnd lowers the
// semaphore but never below 0: a stray end without a drag behind it would otherwise leave
// the count at -1, every later drag would end at -1 instead of 0, and its overlay windows
// would never close.
void yoyoDragReducer(YoyoDragState& state, const YoyoDragAction& action);
void yoyoScrollReducer(YoyoScrollState& state, const YoyoScrollAction& action);
// Applies a drag action to `drag` and a scroll action to `scroll`, nothing else.
void yoyoReducer(YoyoState& state, const YoyoAction& action);

} // namespace tidemark
