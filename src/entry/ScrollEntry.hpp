#pragma once

#include "core/Action.hpp"
#include "platform/foundation/Date.hpp"
#include "platform/foundation/Geometry.hpp"
#include "reminders/Reminder.hpp"

#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

// The scroll entry: a scroll over the menu-bar icon grows a card out of the icon, step by
// step with the wheel, until it shows the reminder's time, its title field and the cancel
// and save controls. Here are its values and rules; the widgets live in views/.

namespace tidemark {

class DateComponentsFormatter;

// What a wheel event reports, in Qt's units and signs: the pixel delta of a touchpad (zero
// when the device gives none) and the angle delta in eighths of a degree (120 per notch),
// both positive when the wheel turns away from the user (or to the left).
struct WheelDeltas {
    Size pixel;
    Size angle;

    bool operator==(const WheelDeltas&) const = default;
};

// One scroll event as the scroll entry counts it, in points: the pixel delta when there is
// one, else the angle delta with one notch making 24 points (Qt's default three lines of 8
// points, so three steps of the scroll rule). Height is positive when the wheel turns
// towards the user, width when it turns to the right. Nothing is filtered or held back.
Size scrollDeltaTranslation(const WheelDeltas& deltas);

struct ScrollDataEntryView {
    // The card's shape as the scroll takes it: a plain value whose steps the card's owner
    // runs (the card widget announces every change). The deltas are summed, the height ten
    // times over until the controls show; the card follows the sum down to the threshold
    // T = height × 0.5 + minTranslationHeight, then grows one point per point, shows its
    // label at a width of 171 and its controls at 230.
    struct AnimationViewModel {
        static constexpr double infinity = std::numeric_limits<double>::infinity();
        static constexpr double maxWidth = 230;
        static constexpr double maxIconPadding = 10;
        // The content height of the list item's icon: how large the icon of an open card is.
        static constexpr double defaultIconMaxLength = 59;

        double cornerRadius = infinity; // infinity: a capsule
        double iconPadding = 0;
        std::optional<double> iconMaxWidth = 0.0; // none: as wide as there is room
        bool controlsArePresented = false;
        bool labelIsPresented = false;
        std::optional<double> labelWidth;
        Size maxSize;
        Size translation; // below the card's resting place; only the height moves
        double height = 0; // the open card's height, once measured
        double iconMaxLength = defaultIconMaxLength;
        Size initialSize;
        double minTranslationHeight = 0;
        Size additiveTranslation; // the weighted sum of the deltas

        AnimationViewModel() = default;
        AnimationViewModel(Size initialSize, double minTranslationHeight);
        // A model opened by one push of `amount` points (infinity opens it completely).
        static AnimationViewModel expanded(double amount);

        bool operator==(const AnimationViewModel&) const = default;

        double threshold() const { return height * 0.5 + minTranslationHeight; }

        void update(Size deltaTranslation);
        void layout(double additiveHeight);
        // The collapse, in four staggered steps.
        void hideControls();
        void hideLabel();
        void shrinkToIcon();
        void resetTranslation();
        // Once the collapse has ended: the next entry starts from nothing, not from the sum
        // the last one left.
        void resetSum() { additiveTranslation = {}; }
    };
};

struct YoyoScrollFrontViewActionCases {
    struct DeltaTranslation {
        Size delta;
        bool operator==(const DeltaTranslation&) const = default;
    };
    struct IsPresented {
        bool isPresented;
        bool operator==(const IsPresented&) const = default;
    };
    struct DataEntryIsPresented {
        bool isPresented;
        bool operator==(const DataEntryIsPresented&) const = default;
    };
    struct Reminder {
        std::optional<AnyReminder> reminder;
        bool operator==(const Reminder&) const = default;
    };
    struct Save {
        AnyReminder reminder;
        bool operator==(const Save&) const = default;
    };
    using Variant
        = std::variant<DeltaTranslation, IsPresented, DataEntryIsPresented, Reminder, Save>;
};

// The content of the scroll entry's window: the card placed under the icon.
struct YoyoScrollFrontView {
    struct State {
        Size deltaTranslation; // the latest scroll delta
        // How many deltas have arrived: two equal deltas in a row are two events.
        std::uint64_t deltaCount = 0;
        bool isPresented = false;
        bool dataEntryIsPresented = false;
        Date startDate {}; // now, while no entry is under way
        TimeInterval timeInterval = 0;
        std::optional<AnyReminder> reminder;
        Rect startFrame; // the scroll item's frame in the window
        std::shared_ptr<DateComponentsFormatter> formatter; // compared by identity

        bool operator==(const State&) const = default;
    };

    struct Action : ActionOf<YoyoScrollFrontViewActionCases> {
        using ActionOf::ActionOf;
    };

    // Springs of the card's motion and collapse.
    static constexpr double response = 0.25;
    static constexpr double dampingFraction = 0.56;
    static constexpr double blendDuration = 0.25;

    // How far past the follow the card must be pulled before it grows: half the status
    // bar's thickness and 5 points.
    static double minTranslationHeight(double statusBarThickness)
    {
        return statusBarThickness * 0.5 + 5.0;
    }

    // What one delta makes the view send, once `model` has taken it (`isPresented`: the
    // entry is presented now): a card that left its rest presents the entry and its data
    // entry; one back at rest ends the data entry and, when the entry was presented, the
    // entry itself (so its window closes).
    static std::vector<Action> actionsAfterDelta(
        const ScrollDataEntryView::AnimationViewModel& model, bool isPresented);

    // How much of the screen the card can reach, measured from the item's centre: its widest
    // and its lowest extent with room for the springs' overshoot and the shadow.
    struct Reach {
        double openHeight = 0; // the open card's measured height
        double minTranslationHeight = 0;
        double shadowMargin = 0;
    };

    // The window's frame on `screen` for an item at `itemFrame` (both on screen): a column
    // as wide as the card can get around the item's horizontal centre, from the screen's top
    // to as low as the card can go. Near an edge the column is shifted, not cut, so a card
    // kept on the screen fits in it as it would on the whole screen. The whole screen when
    // the item is unknown or not on it.
    static Rect windowFrame(const Rect& screen, const Rect& itemFrame, const Reach& reach);
};

} // namespace tidemark
