// Cost of the calendar operations and of formatting a length of time, called once per
// reminder when a list of them is read or shown.
#include "platform/foundation/Calendar.hpp"
#include "platform/foundation/DateComponentsFormatter.hpp"

#include <benchmark/benchmark.h>

#include <chrono>

using namespace tidemark;

namespace {

// 2024-07-14T16:05:09Z, moved on by a second per iteration so no result repeats.
Date moment(std::int64_t i)
{
    return Date(std::chrono::seconds(1720973109 + i));
}

const CalendarComponents allComponents { CalendarComponent::calendar, CalendarComponent::timeZone,
    CalendarComponent::year, CalendarComponent::month, CalendarComponent::day,
    CalendarComponent::hour, CalendarComponent::minute, CalendarComponent::second };

void BM_DateComponents(benchmark::State& state)
{
    const Calendar calendar("Europe/Berlin");
    std::int64_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(calendar.dateComponents(allComponents, moment(++i)));
}
BENCHMARK(BM_DateComponents);

void BM_DateComponentsAutoupdating(benchmark::State& state)
{
    const Calendar calendar = Calendar::autoupdatingCurrent();
    std::int64_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(calendar.dateComponents(allComponents, moment(++i)));
}
BENCHMARK(BM_DateComponentsAutoupdating);

void BM_SystemTimeZone(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Calendar::systemTimeZone());
}
BENCHMARK(BM_SystemTimeZone);

void BM_DateFromComponents(benchmark::State& state)
{
    const Calendar calendar("Europe/Berlin");
    DateComponents components = calendar.dateComponents(allComponents, moment(0));
    int second = 0;
    for (auto _ : state) {
        components.second = ++second % 60;
        benchmark::DoNotOptimize(calendar.date(components));
    }
}
BENCHMARK(BM_DateFromComponents);

void BM_DateBySettingHour(benchmark::State& state)
{
    const Calendar calendar("Europe/Berlin");
    std::int64_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(calendar.dateBySettingHour(9, 30, 0, moment(i += 3600)));
}
BENCHMARK(BM_DateBySettingHour);

void BM_NextDate(benchmark::State& state)
{
    const Calendar calendar("Europe/Berlin");
    DateComponents wanted;
    wanted.hour = 9;
    wanted.minute = 30;
    std::int64_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            calendar.nextDate(moment(i += 3600), wanted, MatchingPolicy::nextTime));
    }
}
BENCHMARK(BM_NextDate);

void BM_FormatterString(benchmark::State& state)
{
    DateComponentsFormatter formatter;
    formatter.setUnitsStyle(DateComponentsFormatter::UnitsStyle::short_);
    formatter.setAllowedUnits(
        { DateComponentsFormatter::Unit::hour, DateComponentsFormatter::Unit::minute });
    double interval = 3600.0;
    for (auto _ : state)
        benchmark::DoNotOptimize(formatter.string(interval += 60.0));
}
BENCHMARK(BM_FormatterString);

} // namespace

BENCHMARK_MAIN();
