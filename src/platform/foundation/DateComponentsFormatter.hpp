#pragma once

#include "platform/foundation/Calendar.hpp"
#include "platform/foundation/Date.hpp"
#include "platform/foundation/FlagSet.hpp"

#include <initializer_list>
#include <optional>
#include <string>

namespace tidemark {

// Writes a length of time as text in the user's language: "1 hr, 2 min", "1h 2m", "1:02:05",
// "one hour, two minutes". Unit names, plurals and lists come from ICU.
//
// The views share one formatter and change its allowed units before each use, so it is a
// reference type: hold it by std::shared_ptr and compare formatters by identity.
// Not synchronised: configure and use it from one thread at a time.
class DateComponentsFormatter {
public:
    enum class Unit : unsigned {
        year = 1u << 0,
        month = 1u << 1,
        weekOfMonth = 1u << 2,
        day = 1u << 3,
        hour = 1u << 4,
        minute = 1u << 5,
        second = 1u << 6,
    };

    using Units = FlagSet<Unit>;

    enum class UnitsStyle {
        positional, // "1:02:05"
        abbreviated, // "1h 2m"
        short_, // "1 hr, 2 min"
        full, // "1 hour, 2 minutes"
        spellOut, // "one hour, two minutes"
        brief, // "1 hr 2 min"
    };

    // Which units whose value is zero are left out. A set of flags.
    enum class ZeroFormattingBehavior : unsigned {
        none = 0,
        // Positional: leading zero units dropped, the rest kept ("1:00:10"); other
        // styles: every zero unit dropped ("1h 10s").
        default_ = 1,
        dropLeading = 2,
        dropMiddle = 4,
        dropTrailing = 8,
        dropAll = 14,
        // Positional: the first unit too gets two digits ("01:00:10").
        pad = 0x10000,
    };

    enum class FormattingContext {
        unknown,
        dynamic,
        standalone,
        listItem,
        beginningOfSentence,
        middleOfSentence,
    };

    DateComponentsFormatter() = default;
    DateComponentsFormatter(const DateComponentsFormatter&) = delete;
    DateComponentsFormatter& operator=(const DateComponentsFormatter&) = delete;

    // Default: year, month, week, day, hour, minute and second. An empty set means the
    // default.
    Units allowedUnits() const { return m_allowedUnits; }
    void setAllowedUnits(Units units) { m_allowedUnits = units; }
    UnitsStyle unitsStyle() const { return m_unitsStyle; }
    void setUnitsStyle(UnitsStyle style) { m_unitsStyle = style; }
    // At most this many units are shown, the smaller ones cut off (not rounded);
    // 0 means no limit.
    int maximumUnitCount() const { return m_maximumUnitCount; }
    void setMaximumUnitCount(int count) { m_maximumUnitCount = count < 0 ? 0 : count; }
    ZeroFormattingBehavior zeroFormattingBehavior() const { return m_zeroFormattingBehavior; }
    void setZeroFormattingBehavior(ZeroFormattingBehavior behavior)
    {
        m_zeroFormattingBehavior = behavior;
    }
    // The smallest unit shown may carry a fraction ("1.5 min") instead of being cut.
    bool allowsFractionalUnits() const { return m_allowsFractionalUnits; }
    void setAllowsFractionalUnits(bool allows) { m_allowsFractionalUnits = allows; }
    // A largest unit of exactly one is folded into the next ("1 min, 10 s" becomes "70 s").
    bool collapsesLargestUnit() const { return m_collapsesLargestUnit; }
    void setCollapsesLargestUnit(bool collapses) { m_collapsesLargestUnit = collapses; }
    // "About …" and "… remaining". Their wording comes from the string table "Time",
    // which holds English texts only.
    bool includesApproximationPhrase() const { return m_includesApproximationPhrase; }
    void setIncludesApproximationPhrase(bool includes) { m_includesApproximationPhrase = includes; }
    bool includesTimeRemainingPhrase() const { return m_includesTimeRemainingPhrase; }
    void setIncludesTimeRemainingPhrase(bool includes) { m_includesTimeRemainingPhrase = includes; }
    // Only the beginning of a sentence changes the text (its first letter is made upper
    // case); the other contexts are kept and write the standalone form.
    FormattingContext formattingContext() const { return m_formattingContext; }
    void setFormattingContext(FormattingContext context) { m_formattingContext = context; }
    // The calendar that counts months and years between two dates. Default: the
    // calendar that follows the system's zone.
    const Calendar& calendar() const { return m_calendar; }
    void setCalendar(Calendar calendar) { m_calendar = std::move(calendar); }
    // An ICU locale identifier such as "en", "de_DE". Default "en".
    const std::string& locale() const { return m_locale; }
    void setLocale(std::string locale) { m_locale = std::move(locale); }

    // The text for a number of seconds; none when it is not finite or ICU fails. Months
    // and years are counted from 1 January 2001 in UTC.
    std::optional<std::string> string(TimeInterval interval) const;
    // The text for the time from one date to another (negative when `to` is earlier),
    // months and years counted in the formatter's calendar.
    std::optional<std::string> string(Date from, Date to) const;

private:
    std::optional<std::string> format(Date from, Date to, const Calendar& calendar) const;

    Units m_allowedUnits;
    UnitsStyle m_unitsStyle = UnitsStyle::positional;
    int m_maximumUnitCount = 0;
    ZeroFormattingBehavior m_zeroFormattingBehavior = ZeroFormattingBehavior::default_;
    bool m_allowsFractionalUnits = false;
    bool m_collapsesLargestUnit = false;
    bool m_includesApproximationPhrase = false;
    bool m_includesTimeRemainingPhrase = false;
    FormattingContext m_formattingContext = FormattingContext::unknown;
    Calendar m_calendar = Calendar::autoupdatingCurrent();
    std::string m_locale = "en";
};

constexpr DateComponentsFormatter::Units operator|(
    DateComponentsFormatter::Unit a, DateComponentsFormatter::Unit b)
{
    return DateComponentsFormatter::Units { a, b };
}

constexpr DateComponentsFormatter::ZeroFormattingBehavior operator|(
    DateComponentsFormatter::ZeroFormattingBehavior a,
    DateComponentsFormatter::ZeroFormattingBehavior b)
{
    return DateComponentsFormatter::ZeroFormattingBehavior(
        static_cast<unsigned>(a) | static_cast<unsigned>(b));
}

} // namespace tidemark
