#pragma once

#include "core/Action.hpp"
#include "entry/YoyoAnimation.hpp"
#include "entry/YoyoState.hpp"
#include "platform/foundation/Date.hpp"
#include "platform/foundation/Geometry.hpp"
#include "reminders/Reminder.hpp"

#include <memory>
#include <optional>
#include <string>
#include <variant>

// The states and actions of the drag overlay's views, as their connectors build them from
// the root state. The views themselves live with the widgets; these holders only name the
// nested types, so a widget class takes another name (YoyoBlobWidget, …).

namespace tidemark {

class DateComponentsFormatter;

// An action type without cases, for views that only display: it cannot be made, so a
// mapping of it is never called.
struct NoAction {
    NoAction() = delete;
    bool operator==(const NoAction&) const = default;
};

// The blob that stretches from the menu-bar icon to the pointer.
struct YoyoBlobView {
    struct State {
        Rect startFrame; // the upper end's square, on the icon
        Size translation; // from the upper end to the lower end
        bool isSmall = false; // the small form, while the card is presented
        double blobOpacity = 1.0;

        bool operator==(const State&) const = default;
    };
    using Action = NoAction;
};

// The live time label beside the blob during a pull.
struct YoyoTimeView {
    struct State {
        double blobOpacity = 1.0;
        bool isPresented = false;
        Date startDate {};
        TimeInterval timeInterval = 0;
        bool translationDistanceIsGreaterThanMinimum = false;
        std::shared_ptr<DateComponentsFormatter> formatter; // compared by identity

        bool operator==(const State&) const = default;
    };
    using Action = NoAction;
};

struct DragDataEntryConnectingViewActionCases {
    struct IsPresented {
        bool isPresented;
        bool operator==(const IsPresented&) const = default;
    };
    struct Reminder {
        std::optional<AnyReminder> reminder;
        bool operator==(const Reminder&) const = default;
    };
    struct SaveID {
        std::string id;
        bool operator==(const SaveID&) const = default;
    };
    struct Save {
        AnyReminder reminder;
        bool operator==(const Save&) const = default;
    };
    using Variant = std::variant<IsPresented, Reminder, SaveID, Save>;
};

// The owner of the drag data-entry card.
struct DragDataEntryConnectingView {
    struct State {
        bool isPresented = false;
        double progress = 0;
        DataEntryPosition position = DataEntryPosition::belowMenubar;
        std::optional<AnyReminder> reminder;
        std::optional<std::string> saved;
        std::shared_ptr<DateComponentsFormatter> formatter; // compared by identity

        bool operator==(const State&) const = default;
    };

    struct Action : ActionOf<DragDataEntryConnectingViewActionCases> {
        using ActionOf::ActionOf;
    };
};

// The cases the two overlay views send. Their blob and time children send nothing, so no
// case carries those children's actions.
struct YoyoOverlayActionCases {
    struct Animation {
        YoyoAnimation::Action action;
        bool operator==(const Animation&) const = default;
    };
    struct DataEntry {
        DragDataEntryConnectingView::Action action;
        bool operator==(const DataEntry&) const = default;
    };
    using Variant = std::variant<Animation, DataEntry>;
};

// The front overlay: the card with the blob it grows out of.
struct YoyoFrontView {
    struct State {
        YoyoAnimation::State animation;
        YoyoBlobView::State blobView;
        DragDataEntryConnectingView::State dataEntry;

        bool operator==(const State&) const = default;
    };

    struct Action : ActionOf<YoyoOverlayActionCases> {
        using ActionOf::ActionOf;
    };
};

// The back overlay: the blob and the live label, and the animate-out after release.
struct YoyoBackView {
    struct State {
        YoyoAnimation::State animation;
        YoyoBlobView::State blobView;
        DragDataEntryConnectingView::State dataEntry;
        YoyoTimeView::State timeView;

        bool operator==(const State&) const = default;
    };

    struct Action : ActionOf<YoyoOverlayActionCases> {
        using ActionOf::ActionOf;
    };
};

} // namespace tidemark
