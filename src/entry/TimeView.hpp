#pragma once

#include "platform/foundation/Date.hpp"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace tidemark {

class DateComponentsFormatter;

// The rules of the shared view of a reminder's time: a relative line ("in 10 min"), an
// absolute line ("at 9:41 AM") and, below them, the title field. The card, the live label
// beside the pulled blob and every row of the popover's list draw it from these rules.
struct TimeView {
    // The fields of one time view; only the title takes the keyboard focus.
    enum class Field { relativeTime, absoluteTime, title };

    // One field of one time view, named by the view's id (a reminder's or card's id).
    struct Focusable {
        std::string id;
        Field field = Field::title;
        bool operator==(const Focusable&) const = default;
    };

    // A localised phrase around one value, split so the value can be coloured apart.
    struct Phrase {
        std::string before;
        std::string value;
        std::string after;
        std::string text() const { return before + value + after; }
        bool operator==(const Phrase&) const = default;
    };

    // Spacing between the labels and what stands beside them: grows with the presentation.
    static double stackSpacing(double progress) { return progress * 8.5; }
    // Spacing between the lines.
    static double lineSpacing(bool isExpanded) { return isExpanded ? 4.0 : 2.0; }
    // Invisible up to half the presentation, then rising to opaque at its end.
    static double labelsOpacity(double progress);
    // At progress 0 the labels take no room at all.
    static bool labelsCollapse(double progress) { return progress == 0.0; }
    // Without both a start and an interval the view shows the title as plain text.
    static bool showsLabels(
        const std::optional<Date>& startDate, const std::optional<TimeInterval>& timeInterval)
    {
        return startDate && timeInterval;
    }
    // The title row: always when expanded, else only for a title that is not empty.
    static bool showsTitleRow(bool isExpanded, const std::string& title)
    {
        return isExpanded || !title.empty();
    }
    // The title is written in the primary colour, the empty field's placeholder in the
    // secondary one.
    static bool titleIsPrimary(const std::string& title) { return !title.empty(); }
    // Reaching exactly 1 moves the focus into the title field (once per arrival).
    static bool takesFocus(double oldProgress, double newProgress)
    {
        return newProgress == 1.0 && oldProgress != 1.0;
    }

    // The relative line. `timerRelativeTime` is what the last tick wrote (none before the
    // first tick: then the chosen interval itself is shown). None when no text results.
    // Due now counts as the future.
    static std::optional<Phrase> relativeLine(Date startDate, TimeInterval timeInterval, Date now,
        const std::optional<std::string>& timerRelativeTime, DateComponentsFormatter& formatter);
    // What a tick writes: the magnitude of the time left (or passed) as relative text.
    static std::optional<std::string> relativeTimeOnTick(
        Date startDate, TimeInterval timeInterval, Date now, DateComponentsFormatter& formatter);
    // The absolute line: the due time of day in the short time style.
    static Phrase absoluteLine(Date startDate, TimeInterval timeInterval,
        const std::string& locale = "en_US", const std::string& timeZone = std::string());
    // The title field's placeholder.
    static std::string titlePlaceholder();
};

} // namespace tidemark

template <> struct std::hash<tidemark::TimeView::Focusable> {
    std::size_t operator()(const tidemark::TimeView::Focusable& value) const noexcept
    {
        std::size_t seed = std::hash<std::string>()(value.id);
        return seed
            ^ (std::size_t(value.field) + 0x9e3779b97f4a7c15ull + (seed << 6) + (seed >> 2));
    }
};
