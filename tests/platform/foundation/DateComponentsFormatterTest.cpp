#include "platform/foundation/DateComponentsFormatter.hpp"
#include "TestDates.hpp"

#include <gtest/gtest.h>

#include <unicode/measfmt.h>
#include <unicode/measunit.h>
#include <unicode/measure.h>

#include <cmath>
#include <thread>
#include <vector>

namespace tidemark {
namespace {

using F = DateComponentsFormatter;
using U = DateComponentsFormatter::Unit;
using S = DateComponentsFormatter::UnitsStyle;
using Z = DateComponentsFormatter::ZeroFormattingBehavior;

struct FormatCase {
    const char* name;
    F::Units units;
    S style;
    Z zeros;
    int maximumUnitCount;
    TimeInterval interval;
    std::optional<std::string> expected;
};

TEST(DateComponentsFormatterTest, Outputs)
{
    const F::Units hm { U::hour, U::minute };
    const F::Units hms { U::hour, U::minute, U::second };
    const FormatCase cases[] = {
        { "short hours and minutes", hm, S::short_, Z::default_, 0, 3725, "1 hr, 2 min" },
        { "abbreviated", hm, S::abbreviated, Z::default_, 0, 3725, "1h 2m" },
        { "full, plural", hm, S::full, Z::default_, 0, 7380, "2 hours, 3 minutes" },
        { "full, singular", hm, S::full, Z::default_, 0, 3660, "1 hour, 1 minute" },
        { "spelled out", hm, S::spellOut, Z::default_, 0, 3725, "one hour, two minutes" },
        { "brief", hm, S::brief, Z::default_, 0, 3725, "1 hr 2 min" },
        { "positional", hms, S::positional, Z::default_, 0, 3725, "1:02:05" },
        { "positional drops leading hours", hms, S::positional, Z::default_, 0, 65, "1:05" },
        { "positional keeps two places", hms, S::positional, Z::default_, 0, 5, "0:05" },
        { "positional pads middle zeros", hms, S::positional, Z::default_, 0, 3610, "1:00:10" },
        { "positional padded", hms, S::positional, Z::pad, 0, 3610, "01:00:10" },
        { "default drops every zero", hms, S::abbreviated, Z::default_, 0, 3610, "1h 10s" },
        { "none keeps zeros", hms, S::abbreviated, Z::none, 0, 3610, "1h 0m 10s" },
        { "drop leading keeps the middle", hms, S::abbreviated, Z::dropLeading, 0, 10, "10s" },
        { "drop leading, zero middle", hms, S::abbreviated, Z::dropLeading, 0, 3610, "1h 0m 10s" },
        { "drop middle", hms, S::abbreviated, Z::dropMiddle, 0, 3610, "1h 10s" },
        { "drop trailing", hms, S::abbreviated, Z::dropTrailing, 0, 3600, "1h" },
        { "all zero shows the smallest unit", hms, S::abbreviated, Z::dropAll, 0, 0, "0s" },
        { "seconds are cut, not rounded", hm, S::short_, Z::dropLeading, 2, 119, "1 min" },
        { "under a minute in hours and minutes", hm, S::short_, Z::dropLeading, 2, 59, "0 min" },
        { "maximum unit count cuts", hms, S::short_, Z::default_, 2, 3725, "1 hr, 2 min" },
        { "maximum one unit", hms, S::full, Z::default_, 1, 7199, "1 hour" },
        { "days and weeks", F::Units { U::weekOfMonth, U::day, U::hour }, S::full, Z::default_, 0,
            8 * 86400 + 3600, "1 week, 1 day, 1 hour" },
        { "seconds only, short", U::second, S::short_, Z::dropLeading, 2, 45, "45 sec" },
        { "negative interval", hm, S::short_, Z::dropLeading, 2, -3725, "-1 hr, 2 min" },
        { "negative, abbreviated", U::second, S::abbreviated, Z::dropLeading, 2, -60, "-60s" },
        { "not finite", hm, S::short_, Z::default_, 0, NAN, std::nullopt },
    };
    for (const auto& c : cases) {
        F formatter;
        formatter.setAllowedUnits(c.units);
        formatter.setUnitsStyle(c.style);
        formatter.setZeroFormattingBehavior(c.zeros);
        formatter.setMaximumUnitCount(c.maximumUnitCount);
        EXPECT_EQ(formatter.string(c.interval), c.expected) << c.name;
    }
}

TEST(DateComponentsFormatterTest, FractionsCollapsingPhrasesAndContext)
{
    F formatter;
    formatter.setAllowedUnits(U::minute);
    formatter.setUnitsStyle(S::short_);
    EXPECT_EQ(formatter.string(90), "1 min");
    formatter.setAllowsFractionalUnits(true);
    EXPECT_EQ(formatter.string(90), "1.5 min");

    F collapsing;
    collapsing.setAllowedUnits(F::Units { U::minute, U::second });
    collapsing.setUnitsStyle(S::abbreviated);
    collapsing.setCollapsesLargestUnit(true);
    EXPECT_EQ(collapsing.string(70), "70s");
    EXPECT_EQ(collapsing.string(130), "2m 10s");

    F phrases;
    phrases.setAllowedUnits(U::minute);
    phrases.setUnitsStyle(S::full);
    phrases.setIncludesApproximationPhrase(true);
    phrases.setIncludesTimeRemainingPhrase(true);
    EXPECT_EQ(phrases.string(300), "About 5 minutes remaining");
    phrases.setIncludesApproximationPhrase(false);
    EXPECT_EQ(phrases.string(300), "5 minutes remaining");

    F sentence;
    sentence.setAllowedUnits(U::hour);
    sentence.setUnitsStyle(S::spellOut);
    sentence.setFormattingContext(F::FormattingContext::beginningOfSentence);
    EXPECT_EQ(sentence.string(7200), "Two hours");
    sentence.setAllowedUnits(F::Units { U::hour, U::minute });
    sentence.setFormattingContext(F::FormattingContext::standalone);
    EXPECT_EQ(sentence.string(3780), "one hour, three minutes");
    sentence.setAllowsFractionalUnits(true);
    sentence.setAllowedUnits(U::hour);
    EXPECT_EQ(sentence.string(5400), "one point five hours");
}

TEST(DateComponentsFormatterTest, LocaleAndCalendarDates)
{
    F german;
    german.setLocale("de");
    german.setAllowedUnits(F::Units { U::hour, U::minute });
    german.setUnitsStyle(S::full);
    EXPECT_EQ(german.string(3725), "1 Stunde, 2 Minuten");

    // Between dates, months follow the calendar: a month from 31 January ends on the last
    // day of February, and what is left counts in days.
    F months;
    months.setCalendar(Calendar("UTC"));
    months.setAllowedUnits(F::Units { U::month, U::day });
    months.setUnitsStyle(S::full);
    EXPECT_EQ(months.string(test::utc(2024, 1, 31), test::utc(2024, 2, 29)), "1 month");
    EXPECT_EQ(months.string(test::utc(2024, 1, 31), test::utc(2024, 3, 1)), "1 month, 1 day");
    // Across the spring change in Berlin 24 elapsed hours are 24 hours.
    F hours;
    hours.setCalendar(Calendar("Europe/Berlin"));
    hours.setAllowedUnits(F::Units { U::hour, U::minute });
    hours.setUnitsStyle(S::abbreviated);
    EXPECT_EQ(hours.string(test::utc(2024, 3, 30, 12), test::utc(2024, 3, 31, 12)), "24h");
}

// ICU's own MeasureFormat writing hours, minutes and seconds as a list: what the reused
// formatters must write in every locale, also where numbers are written by rules.
std::string measureFormatText(
    const char* locale, UMeasureFormatWidth width, double hours, double minutes, double seconds)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::MeasureFormat format(icu::Locale(locale), width, status);
    icu::Measure measures[] = {
        { icu::Formattable(hours), icu::MeasureUnit::createHour(status), status },
        { icu::Formattable(minutes), icu::MeasureUnit::createMinute(status), status },
        { icu::Formattable(seconds), icu::MeasureUnit::createSecond(status), status },
    };
    const int32_t count = minutes == 0 && seconds == 0 ? 1 : 3;
    icu::UnicodeString text;
    icu::FieldPosition position;
    format.formatMeasures(measures, count, text, position, status);
    EXPECT_TRUE(U_SUCCESS(status)) << u_errorName(status);
    std::string result;
    text.toUTF8String(result);
    return result;
}

TEST(DateComponentsFormatterTest, WritesWhatIcuMeasureFormatWrites)
{
    const char* locales[] = { "en", "de", "fr", "ar_EG", "ru", "ja", "he@numbers=hebr", "xx_YY" };
    const std::pair<S, UMeasureFormatWidth> styles[] = { { S::abbreviated, UMEASFMT_WIDTH_NARROW },
        { S::short_, UMEASFMT_WIDTH_SHORT }, { S::full, UMEASFMT_WIDTH_WIDE } };
    const struct {
        double hours, minutes, seconds;
    } amounts[] = { { 1, 2, 5 }, { 0, 0, 1 }, { 2, 1, 0 }, { 1234567, 59, 59 }, { 21, 0, 0 } };
    for (const char* locale : locales) {
        for (const auto& [style, width] : styles) {
            for (const auto& a : amounts) {
                F formatter;
                formatter.setLocale(locale);
                formatter.setUnitsStyle(style);
                const bool single = a.minutes == 0 && a.seconds == 0;
                formatter.setAllowedUnits(
                    single ? F::Units { U::hour } : F::Units { U::hour, U::minute, U::second });
                formatter.setZeroFormattingBehavior(Z::none);
                const double interval = a.hours * 3600 + a.minutes * 60 + a.seconds;
                // Twice: the second use runs on the kept formatters.
                for (int use = 0; use < 2; ++use) {
                    EXPECT_EQ(formatter.string(interval),
                        measureFormatText(locale, width, a.hours, a.minutes, a.seconds))
                        << locale << " " << int(style) << " " << interval;
                }
            }
        }
    }
    // A fraction on the last unit, and a negative first one.
    F fractional;
    fractional.setLocale("de");
    fractional.setUnitsStyle(S::short_);
    fractional.setAllowedUnits(F::Units { U::hour, U::minute });
    fractional.setAllowsFractionalUnits(true);
    EXPECT_EQ(fractional.string(-3690), "-1 Std., 1,5 Min.");
}

TEST(DateComponentsFormatterTest, FormattersOnSeveralThreadsAtOnce)
{
    // Each thread has its own formatter, as the type asks; what ICU keeps behind them must
    // not be shared between threads.
    const std::pair<const char*, std::string> expected[] = {
        { "en", "1 hour, 2 minutes" },
        { "de", "1 Stunde, 2 Minuten" },
        { "fr", "1\xC2\xA0heure et 2 minutes" }, // a no-break space
        { "en", "1 hour, 2 minutes" },
    };
    std::vector<int> mismatches(std::size(expected), 0);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < std::size(expected); ++t) {
        threads.emplace_back([&, t] {
            F formatter;
            formatter.setLocale(expected[t].first);
            formatter.setUnitsStyle(S::full);
            formatter.setAllowedUnits(F::Units { U::hour, U::minute });
            for (int i = 0; i < 300; ++i) {
                if (formatter.string(3725) != expected[t].second)
                    ++mismatches[t];
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    for (std::size_t t = 0; t < std::size(expected); ++t)
        EXPECT_EQ(mismatches[t], 0) << expected[t].first;
}

} // namespace
} // namespace tidemark
