#pragma once

#include "platform/foundation/Geometry.hpp"

#include <functional>
#include <optional>

// The small blob icon of the menu bar and of the onboarding's demonstration: two dots, one
// above the other, joined by a bar, with a dot in the centre. These are its geometry and
// its two resting presets; the view model that animates between statuses and the widget
// that draws it live with the menu bar.

namespace tidemark {

struct BlobIcon {
    // A colour the icon can be tinted with; none leaves the host's choice.
    enum class Tint {
        accent,
    };

    struct State {
        struct Circle {
            double diameter = 0; // of each of the two dots
            double padding = 0; // between a dot and the top or bottom edge
            double mergedDiameter = 0; // when the two dots run together into one
            std::optional<double> yOffset; // fixed distance from the centre; none: computed

            bool operator==(const Circle&) const = default;

            // The distance of each dot from the centre in an area of `size`: `yOffset` when
            // present, else (height − diameter) × 0.5 − padding. The width is not used.
            double offset(Size size) const;
        };

        struct Bridge {
            double width = 0;
            // Half the bar's height for an area of that size.
            std::function<double(Size)> circleYOffSet;
        };

        Bridge bridge;
        Circle circle;
        double centerCircleLength = 0;
        double cornerRadius = 0; // of the host's container shape; infinity: a capsule
        double padding = 0; // the host's inset around the icon
        std::optional<Tint> tintColor;
        bool backgroundIsPresented = false;
        double shadowOpacity = 0; // of the centre dot's black shadow

        // Every field but the bridge's offset function, which cannot be compared.
        bool sameLook(const State& other) const;

        // Built once, on first use, then copied. Each preset's bar captures a copy of its own
        // circle, so it keeps its resting length whatever later happens to `circle`.
        static const State& small();
        static const State& large();
    };

    // Where the shapes of a state lie in an area of `size` (origin at its top left).
    struct Shapes {
        Rect topCircle;
        Rect bar;
        Rect bottomCircle;
        Rect centerCircle;
    };
    static Shapes shapes(const State& state, Size size);
};

} // namespace tidemark
