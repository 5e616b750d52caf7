#include "platform/foundation/DateComponentsFormatter.hpp"

#include "platform/foundation/StringTables.hpp"

#include <unicode/decimfmt.h>
#include <unicode/listformatter.h>
#include <unicode/measfmt.h>
#include <unicode/measunit.h>
#include <unicode/measure.h>
#include <unicode/numberformatter.h>
#include <unicode/rbnf.h>
#include <unicode/uchar.h>
#include <unicode/unum.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
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

constexpr int unitIndex(Unit unit)
{
    switch (unit) {
    case Unit::year:
        return 0;
    case Unit::month:
        return 1;
    case Unit::weekOfMonth:
        return 2;
    case Unit::day:
        return 3;
    case Unit::hour:
        return 4;
    case Unit::minute:
        return 5;
    default:
        return 6;
    }
}
constexpr int unitCount = 7;

UNumberUnitWidth unitWidth(UMeasureFormatWidth width)
{
    switch (width) {
    case UMEASFMT_WIDTH_WIDE:
        return UNUM_UNIT_WIDTH_FULL_NAME;
    case UMEASFMT_WIDTH_NARROW:
        return UNUM_UNIT_WIDTH_NARROW;
    default:
        return UNUM_UNIT_WIDTH_SHORT;
    }
}

UListFormatterWidth listWidth(UMeasureFormatWidth width)
{
    switch (width) {
    case UMEASFMT_WIDTH_WIDE:
        return ULISTFMT_WIDTH_WIDE;
    case UMEASFMT_WIDTH_NARROW:
        return ULISTFMT_WIDTH_NARROW;
    default:
        return ULISTFMT_WIDTH_SHORT;
    }
}

// Writes amounts of time units in one locale and width, as ICU's MeasureFormat does, but
// fast when used again. MeasureFormat builds a number formatter for the unit on every call
// and formats with it once, so the formatter never gets to prepare itself; here the
// formatters with their units are kept and reused.
class MeasureWriter {
public:
    MeasureWriter(const icu::Locale& locale, UMeasureFormatWidth width, UErrorCode& status)
        : m_unitWidth(unitWidth(width))
    {
        // The number formats MeasureFormat uses: the locale's decimal format for the last
        // amount (or the only one), and the same cut to whole numbers, rounding down, for
        // the amounts before it.
        m_number.reset(icu::NumberFormat::createInstance(locale, UNUM_DECIMAL, status));
        m_whole.reset(icu::NumberFormat::createInstance(locale, UNUM_DECIMAL, status));
        if (U_FAILURE(status))
            return;
        m_whole->setMaximumFractionDigits(0);
        auto* wholeDecimal = dynamic_cast<icu::DecimalFormat*>(m_whole.get());
        if (wholeDecimal)
            wholeDecimal->setRoundingMode(icu::DecimalFormat::kRoundDown);
        if (!wholeDecimal || !dynamic_cast<icu::DecimalFormat*>(m_number.get())) {
            // Numbers written by rules (some numbering systems): MeasureFormat's own way.
            m_fallback = std::make_unique<icu::MeasureFormat>(locale, width, status);
            return;
        }
        // The list MeasureFormat joins amounts with: of units, in the same width.
        m_list.reset(icu::ListFormatter::createInstance(
            locale, ULISTFMT_TYPE_UNITS, listWidth(width), status));
    }

    // One amount with its unit; `position` receives the first place of its field.
    void write(Unit unit, const icu::Formattable& amount, bool whole, icu::UnicodeString& appendTo,
        icu::FieldPosition& position, UErrorCode& status)
    {
        if (U_FAILURE(status))
            return;
        if (m_fallback) {
            const icu::Measure measure(amount, measureUnit(unit).clone(), status);
            if (U_FAILURE(status))
                return;
            if (whole) {
                // Only reached inside a list, which the fallback writes as a whole.
                status = U_INTERNAL_PROGRAM_ERROR;
                return;
            }
            m_fallback->formatMeasures(&measure, 1, appendTo, position, status);
            return;
        }
        auto* formatter = numberFormatter(unit, whole, status);
        if (!formatter)
            return;
        const icu::number::FormattedNumber formatted
            = formatter->formatDouble(amount.getDouble(status), status);
        if (U_FAILURE(status))
            return;
        // The first place of the field asked for, or 0 to 0 when the number has none.
        position.setBeginIndex(0);
        position.setEndIndex(0);
        if (position.getField() != icu::FieldPosition::DONT_CARE) {
            icu::ConstrainedFieldPosition place;
            place.constrainField(UFIELD_CATEGORY_NUMBER, position.getField());
            if (formatted.nextPosition(place, status)) {
                position.setBeginIndex(appendTo.length() + place.getStart());
                position.setEndIndex(appendTo.length() + place.getLimit());
            }
        }
        appendTo.append(formatted.toTempString(status));
    }

    // Several amounts as one list: "1 hr, 2 min".
    void writeAll(const std::vector<std::pair<Unit, icu::Formattable>>& amounts,
        icu::UnicodeString& appendTo, UErrorCode& status)
    {
        if (U_FAILURE(status) || amounts.empty())
            return;
        if (m_fallback) {
            std::vector<icu::Measure> measures;
            measures.reserve(amounts.size());
            for (const auto& [unit, amount] : amounts)
                measures.emplace_back(amount, measureUnit(unit).clone(), status);
            if (U_FAILURE(status))
                return;
            icu::FieldPosition ignored;
            m_fallback->formatMeasures(
                measures.data(), static_cast<int32_t>(measures.size()), appendTo, ignored, status);
            return;
        }
        icu::FieldPosition ignored;
        if (amounts.size() == 1) {
            write(amounts[0].first, amounts[0].second, false, appendTo, ignored, status);
            return;
        }
        std::vector<icu::UnicodeString> parts(amounts.size());
        for (std::size_t i = 0; i < amounts.size(); ++i) {
            const bool last = i + 1 == amounts.size();
            write(amounts[i].first, amounts[i].second, !last, parts[i], ignored, status);
        }
        if (!m_list) {
            status = U_MISSING_RESOURCE_ERROR;
            return;
        }
        m_list->format(parts.data(), static_cast<int32_t>(parts.size()), appendTo, status);
    }

private:
    icu::number::LocalizedNumberFormatter* numberFormatter(
        Unit unit, bool whole, UErrorCode& status)
    {
        auto& slot = m_formatters[unitIndex(unit)][whole ? 1 : 0];
        if (!slot) {
            const auto* decimal
                = dynamic_cast<const icu::DecimalFormat*>(whole ? m_whole.get() : m_number.get());
            const auto* base = decimal ? decimal->toNumberFormatter(status) : nullptr;
            if (!base || U_FAILURE(status))
                return nullptr;
            slot = base->unit(measureUnit(unit)).unitWidth(m_unitWidth);
        }
        return &*slot;
    }

    UNumberUnitWidth m_unitWidth;
    std::unique_ptr<icu::NumberFormat> m_number;
    std::unique_ptr<icu::NumberFormat> m_whole;
    std::unique_ptr<icu::MeasureFormat> m_fallback;
    std::unique_ptr<icu::ListFormatter> m_list;
    std::optional<icu::number::LocalizedNumberFormatter> m_formatters[unitCount][2];
};

// Building ICU's formatters loads locale data, which costs many times more than
// formatting with them. Each thread keeps the ones it has built, by locale and width, and
// uses them again: a formatter is used by one thread at a time, but different formatters
// may run on different threads at once, and thread-local copies never meet.
class IcuFormatters {
public:
    static IcuFormatters& forThisThread()
    {
        thread_local IcuFormatters formatters;
        return formatters;
    }

    const icu::Locale& locale(const std::string& identifier)
    {
        if (const auto it = m_locales.find(identifier); it != m_locales.end())
            return *it->second;
        if (m_locales.size() >= maximumSize)
            m_locales.clear(); // the formatters keep copies of their own
        return *m_locales.emplace(identifier, std::make_unique<icu::Locale>(identifier.c_str()))
                    .first->second;
    }

    // Null when ICU cannot build it (it is tried again next time).
    MeasureWriter* measureWriter(const std::string& locale, UMeasureFormatWidth width)
    {
        return find(m_measureWriters, locale, int(width), [&](UErrorCode& status) {
            return std::make_unique<MeasureWriter>(this->locale(locale), width, status);
        });
    }

    icu::ListFormatter* listFormatter(const std::string& locale, UListFormatterWidth width)
    {
        return find(m_listFormatters, locale, int(width), [&](UErrorCode& status) {
            return std::unique_ptr<icu::ListFormatter>(icu::ListFormatter::createInstance(
                this->locale(locale), ULISTFMT_TYPE_UNITS, width, status));
        });
    }

    icu::RuleBasedNumberFormat* spellOut(const std::string& locale)
    {
        return find(m_spellOuts, locale, 0, [&](UErrorCode& status) {
            return std::make_unique<icu::RuleBasedNumberFormat>(
                icu::URBNF_SPELLOUT, this->locale(locale), status);
        });
    }

private:
    // The locale comes from settings, so a handful at most; the bound only keeps a
    // stream of odd identifiers from growing the cache without end.
    static constexpr std::size_t maximumSize = 64;

    template <typename T> using Cache = std::map<std::pair<std::string, int>, std::unique_ptr<T>>;

    template <typename T, typename Build>
    T* find(Cache<T>& cache, const std::string& locale, int variant, Build build)
    {
        const auto key = std::make_pair(locale, variant);
        if (const auto it = cache.find(key); it != cache.end())
            return it->second.get();
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<T> made = build(status);
        if (!made || U_FAILURE(status))
            return nullptr;
        if (cache.size() >= maximumSize)
            cache.clear();
        return cache.emplace(key, std::move(made)).first->second.get();
    }

    std::map<std::string, std::unique_ptr<icu::Locale>> m_locales;
    Cache<MeasureWriter> m_measureWriters;
    Cache<icu::ListFormatter> m_listFormatters;
    Cache<icu::RuleBasedNumberFormat> m_spellOuts;
};

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
    const std::vector<Field>& fields, bool negative, Style style, const std::string& locale)
{
    auto& formatters = IcuFormatters::forThisThread();
    UErrorCode status = U_ZERO_ERROR;
    std::vector<std::pair<Unit, icu::Formattable>> amounts;
    amounts.reserve(fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const double value = (i == 0 && negative) ? -fields[i].value : fields[i].value;
        amounts.emplace_back(fields[i].unit, formattable(value));
    }

    icu::UnicodeString result;
    if (style == Style::brief) {
        // Short unit names without commas between them: "1 hr 2 min".
        auto* writer = formatters.measureWriter(locale, UMEASFMT_WIDTH_SHORT);
        if (!writer)
            return std::nullopt;
        std::vector<icu::UnicodeString> parts(amounts.size());
        for (std::size_t i = 0; i < amounts.size(); ++i)
            writer->writeAll({ amounts[i] }, parts[i], status);
        const auto* list = formatters.listFormatter(locale, ULISTFMT_WIDTH_NARROW);
        if (!list || U_FAILURE(status))
            return std::nullopt;
        list->format(parts.data(), static_cast<int32_t>(parts.size()), result, status);
    } else if (style == Style::spellOut) {
        // Each amount with its full unit name, its digits then replaced by words, so the
        // unit keeps the plural the number asks for: "one hour, two minutes".
        auto* writer = formatters.measureWriter(locale, UMEASFMT_WIDTH_WIDE);
        auto* words = formatters.spellOut(locale);
        if (!writer || !words)
            return std::nullopt;
        std::vector<icu::UnicodeString> parts(amounts.size());
        for (std::size_t i = 0; i < amounts.size(); ++i) {
            const auto& [unit, amount] = amounts[i];
            icu::FieldPosition number(UNUM_INTEGER_FIELD);
            writer->write(unit, amount, false, parts[i], number, status);
            icu::FieldPosition fraction(UNUM_FRACTION_FIELD);
            icu::UnicodeString ignored;
            writer->write(unit, amount, false, ignored, fraction, status);
            const int32_t end = std::max(number.getEndIndex(), fraction.getEndIndex());
            if (number.getEndIndex() > 0) {
                int32_t begin = number.getBeginIndex();
                if (begin > 0 && parts[i][begin - 1] == u'-')
                    --begin; // the sign is spelled out too
                icu::UnicodeString spelled;
                words->format(amount, spelled, status);
                parts[i].replace(begin, end - begin, spelled);
            }
        }
        const auto* list = formatters.listFormatter(locale, ULISTFMT_WIDTH_WIDE);
        if (!list || U_FAILURE(status))
            return std::nullopt;
        list->format(parts.data(), static_cast<int32_t>(parts.size()), result, status);
    } else {
        const UMeasureFormatWidth width = style == Style::abbreviated ? UMEASFMT_WIDTH_NARROW
            : style == Style::short_                                  ? UMEASFMT_WIDTH_SHORT
                                                                      : UMEASFMT_WIDTH_WIDE;
        auto* writer = formatters.measureWriter(locale, width);
        if (!writer)
            return std::nullopt;
        writer->writeAll(amounts, result, status);
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

    const bool signShown = negative
        && std::any_of(shown.begin(), shown.end(), [](const Field& f) { return f.value != 0; });
    auto text = positional ? formatPositional(shown, signShown, pad)
                           : formatMeasures(shown, signShown, m_unitsStyle, m_locale);
    if (!text)
        return std::nullopt;

    if (m_includesApproximationPhrase && m_includesTimeRemainingPhrase)
        text = localized("Time", "approximate_time_remaining_phrase %@", *text);
    else if (m_includesApproximationPhrase)
        text = localized("Time", "approximation_phrase %@", *text);
    else if (m_includesTimeRemainingPhrase)
        text = localized("Time", "time_remaining_phrase %@", *text);
    if (m_formattingContext == FormattingContext::beginningOfSentence)
        text = capitalized(*text, IcuFormatters::forThisThread().locale(m_locale));
    return text;
}

} // namespace tidemark
