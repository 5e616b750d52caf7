#include "platform/foundation/DateComponentsFormatter.hpp"

#include "platform/foundation/StringTables.hpp"

#include <unicode/listformatter.h>
#include <unicode/measfmt.h>
#include <unicode/measunit.h>
#include <unicode/measure.h>
#include <unicode/rbnf.h>
#include <unicode/uchar.h>
#include <unicode/unum.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace tidemark {

namespace {

using Unit = DateComponentsFormatter::Unit;
using Style = DateComponentsFormatter::UnitsStyle;
using Zero = DateComponentsFormatter::ZeroFormattingBehavior;

// Seconds in a unit of fixed length (weeks and smaller); 0 for months and years.
constexpr double fixedLength(Unit unit)
{
    switch (unit) {
    case Unit::weekOfMonth:
        return 7 * 86400.0;
    case Unit::day:
        return 86400.0;
    case Unit::hour:
        return 3600.0;
    case Unit::minute:
        return 60.0;
    case Unit::second:
        return 1.0;
    default:
        return 0.0;
    }
}

icu::MeasureUnit measureUnit(Unit unit)
{
    switch (unit) {
    case Unit::year:
        return icu::MeasureUnit::getYear();
    case Unit::month:
        return icu::MeasureUnit::getMonth();
    case Unit::weekOfMonth:
        return icu::MeasureUnit::getWeek();
    case Unit::day:
        return icu::MeasureUnit::getDay();
    case Unit::hour:
        return icu::MeasureUnit::getHour();
    case Unit::minute:
        return icu::MeasureUnit::getMinute();
    default:
        return icu::MeasureUnit::getSecond();
    }
}

bool has(Zero behavior, Zero flag)
{
    return (static_cast<unsigned>(behavior) & static_cast<unsigned>(flag))
        == static_cast<unsigned>(flag);
}

struct Field {
    Unit unit;
    double value; // whole, except a fractional last unit
};

std::string toUtf8(const icu::UnicodeString& text)
{
    std::string result;
    text.toUTF8String(result);
    return result;
}

icu::Formattable formattable(double value)
{
    if (value == std::floor(value) && std::fabs(value) < 9e15)
        return icu::Formattable(static_cast<int64_t>(value));
    return icu::Formattable(value);
}

std::optional<std::string> formatPositional(
    const std::vector<Field>& fields, bool negative, bool pad)
{
    std::string text = negative ? "-" : "";
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const double value = fields[i].value;
        char part[64];
        if (value != std::floor(value)) // a fractional last unit
            std::snprintf(part, sizeof part, (i == 0 && !pad) ? "%g" : "%02g", value);
        else
            std::snprintf(part, sizeof part, (i == 0 && !pad) ? "%.0f" : "%02.0f", value);
        if (i > 0)
            text += ':';
        text += part;
    }
    return text;
}

std::optional<std::string> formatMeasures(
    const std::vector<Field>& fields, bool negative, Style style, const icu::Locale& locale)
{
    UErrorCode status = U_ZERO_ERROR;
    std::vector<icu::Measure> measures;
    measures.reserve(fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const double value = (i == 0 && negative) ? -fields[i].value : fields[i].value;
        measures.emplace_back(formattable(value), measureUnit(fields[i].unit).clone(), status);
    }
    if (U_FAILURE(status))
        return std::nullopt;

    icu::UnicodeString result;
    icu::FieldPosition position;
    if (style == Style::brief) {
        // Short unit names without commas between them: "1 hr 2 min".
        icu::MeasureFormat format(locale, UMEASFMT_WIDTH_SHORT, status);
        std::vector<icu::UnicodeString> parts(measures.size());
        for (std::size_t i = 0; i < measures.size(); ++i)
            format.formatMeasures(&measures[i], 1, parts[i], position, status);
        std::unique_ptr<icu::ListFormatter> list(icu::ListFormatter::createInstance(
            locale, ULISTFMT_TYPE_UNITS, ULISTFMT_WIDTH_NARROW, status));
        if (U_FAILURE(status))
            return std::nullopt;
        list->format(parts.data(), static_cast<int32_t>(parts.size()), result, status);
    } else if (style == Style::spellOut) {
        // Each amount with its full unit name, its digits then replaced by words, so the
        // unit keeps the plural the number asks for: "one hour, two minutes".
        icu::MeasureFormat format(locale, UMEASFMT_WIDTH_WIDE, status);
        icu::RuleBasedNumberFormat words(icu::URBNF_SPELLOUT, locale, status);
        if (U_FAILURE(status))
            return std::nullopt;
        std::vector<icu::UnicodeString> parts(measures.size());
        for (std::size_t i = 0; i < measures.size(); ++i) {
            icu::FieldPosition number(UNUM_INTEGER_FIELD);
            format.formatMeasures(&measures[i], 1, parts[i], number, status);
            icu::FieldPosition fraction(UNUM_FRACTION_FIELD);
            icu::UnicodeString ignored;
            format.formatMeasures(&measures[i], 1, ignored, fraction, status);
            const int32_t end = std::max(number.getEndIndex(), fraction.getEndIndex());
            if (number.getEndIndex() > 0) {
                int32_t begin = number.getBeginIndex();
                if (begin > 0 && parts[i][begin - 1] == u'-')
                    --begin; // the sign is spelled out too
                icu::UnicodeString spelled;
                words.format(measures[i].getNumber(), spelled, status);
                parts[i].replace(begin, end - begin, spelled);
            }
        }
        std::unique_ptr<icu::ListFormatter> list(icu::ListFormatter::createInstance(
            locale, ULISTFMT_TYPE_UNITS, ULISTFMT_WIDTH_WIDE, status));
        if (U_FAILURE(status))
            return std::nullopt;
        list->format(parts.data(), static_cast<int32_t>(parts.size()), result, status);
    } else {
        const UMeasureFormatWidth width = style == Style::abbreviated ? UMEASFMT_WIDTH_NARROW
            : style == Style::short_                                  ? UMEASFMT_WIDTH_SHORT
                                                                      : UMEASFMT_WIDTH_WIDE;
        icu::MeasureFormat format(locale, width, status);
        format.formatMeasures(
            measures.data(), static_cast<int32_t>(measures.size()), result, position, status);
    }
    if (U_FAILURE(status))
        return std::nullopt;
    return toUtf8(result);
}

std::string capitalized(const std::string& text, const icu::Locale& locale)
{
    icu::UnicodeString u = icu::UnicodeString::fromUTF8(text);
    if (u.isEmpty())
        return text;
    const UChar32 first = u.char32At(0);
    icu::UnicodeString head(first);
    head.toUpper(locale);
    u.replace(0, U16_LENGTH(first), head);
    return toUtf8(u);
}

} // namespace

std::optional<std::string> DateComponentsFormatter::string(TimeInterval interval) const
{
    if (!std::isfinite(interval))
        return std::nullopt;
    // A fixed starting point, in UTC, so that the same interval always reads the same.
    const Date reference = dateFromTimeIntervalSince1970(978307200.0); // 2001-01-01T00:00:00Z
    return format(reference, dateByAdding(reference, interval), Calendar("UTC"));
}

std::optional<std::string> DateComponentsFormatter::string(Date from, Date to) const
{
    return format(from, to, m_calendar);
}

std::optional<std::string> DateComponentsFormatter::format(
    Date from, Date to, const Calendar& calendar) const
{
    const bool negative = to < from;
    if (negative)
        std::swap(from, to);
    const Units allowed = m_allowedUnits.isEmpty() ? Units { Unit::year, Unit::month,
        Unit::weekOfMonth, Unit::day, Unit::hour, Unit::minute, Unit::second }
                                                   : m_allowedUnits;

    // Count each allowed unit, largest first; what is left goes to the next.
    std::vector<Field> fields;
    Date cursor = from;
    for (Unit unit : { Unit::year, Unit::month }) {
        if (!allowed.contains(unit))
            continue;
        const CalendarComponent component
            = unit == Unit::year ? CalendarComponent::year : CalendarComponent::month;
        const auto difference = calendar.dateComponents(component, cursor, to);
        const int count = (unit == Unit::year ? difference.year : difference.month).value_or(0);
        if (const auto moved = calendar.dateByAdding(component, count, cursor))
            cursor = *moved;
        fields.push_back({ unit, double(count) });
    }
    double rest = timeIntervalBetween(cursor, to);
    for (Unit unit : { Unit::weekOfMonth, Unit::day, Unit::hour, Unit::minute, Unit::second }) {
        if (!allowed.contains(unit))
            continue;
        const double count = std::floor(rest / fixedLength(unit) + 1e-9);
        rest -= count * fixedLength(unit);
        fields.push_back({ unit, count });
    }
    if (fields.empty())
        return std::nullopt;
    if (m_allowsFractionalUnits && rest > 1e-9 && fixedLength(fields.back().unit) > 0)
        fields.back().value += rest / fixedLength(fields.back().unit);

    if (m_collapsesLargestUnit) {
        for (std::size_t i = 0; i + 1 < fields.size(); ++i) {
            if (fields[i].value == 0)
                continue;
            const double from = fixedLength(fields[i].unit);
            const double into = fixedLength(fields[i + 1].unit);
            if (fields[i].value == 1 && from > 0 && into > 0) {
                fields[i + 1].value += from / into;
                fields[i].value = 0;
            }
            break;
        }
    }

    // Which zero units stay.
    const bool positional = m_unitsStyle == Style::positional;
    Zero behavior = m_zeroFormattingBehavior;
    const bool pad = has(behavior, Zero::pad);
    if (has(behavior, Zero::default_))
        behavior = positional ? Zero::dropLeading : Zero::dropAll;
    std::ptrdiff_t firstNonZero = -1;
    std::ptrdiff_t lastNonZero = -1;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].value != 0) {
            if (firstNonZero < 0)
                firstNonZero = std::ptrdiff_t(i);
            lastNonZero = std::ptrdiff_t(i);
        }
    }
    // A clock face keeps its last two places ("0:05"), so leading zeros go only before them.
    const std::ptrdiff_t leadingLimit
        = positional ? std::ptrdiff_t(fields.size()) - 2 : std::ptrdiff_t(fields.size());
    std::vector<Field> shown;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const auto index = std::ptrdiff_t(i);
        bool drop = false;
        if (fields[i].value == 0) {
            if (firstNonZero < 0 || index < firstNonZero)
                drop = has(behavior, Zero::dropLeading) && index < leadingLimit;
            else if (index > lastNonZero)
                drop = has(behavior, Zero::dropTrailing);
            else
                drop = has(behavior, Zero::dropMiddle);
        }
        if (!drop)
            shown.push_back(fields[i]);
    }
    if (shown.empty())
        shown.push_back(fields.back()); // nothing but zeros: the smallest unit shows 0
    if (m_maximumUnitCount > 0 && shown.size() > std::size_t(m_maximumUnitCount))
        shown.resize(std::size_t(m_maximumUnitCount));

    const icu::Locale locale(m_locale.c_str());
    const bool signShown = negative
        && std::any_of(shown.begin(), shown.end(), [](const Field& f) { return f.value != 0; });
    auto text = positional ? formatPositional(shown, signShown, pad)
                           : formatMeasures(shown, signShown, m_unitsStyle, locale);
    if (!text)
        return std::nullopt;

    if (m_includesApproximationPhrase && m_includesTimeRemainingPhrase)
        text = localized("Time", "approximate_time_remaining_phrase %@", *text);
    else if (m_includesApproximationPhrase)
        text = localized("Time", "approximation_phrase %@", *text);
    else if (m_includesTimeRemainingPhrase)
        text = localized("Time", "time_remaining_phrase %@", *text);
    if (m_formattingContext == FormattingContext::beginningOfSentence)
        text = capitalized(*text, locale);
    return text;
}

} // namespace tidemark
