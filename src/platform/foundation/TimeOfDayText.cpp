#include "platform/foundation/TimeOfDayText.hpp"

#include "platform/foundation/Calendar.hpp"

#include <unicode/datefmt.h>
#include <unicode/timezone.h>

#include <chrono>
#include <map>
#include <memory>
#include <utility>

namespace tidemark {

namespace {

// Building an ICU date format loads locale data (tens of microseconds); formatting with a
// built one costs about a microsecond. A list row repaints every second, so keep them.
class TimeFormats {
public:
    static TimeFormats& forThisThread()
    {
        thread_local TimeFormats formats;
        return formats;
    }

    icu::DateFormat* find(const std::string& locale, const std::string& zone)
    {
        auto key = std::make_pair(locale, zone);
        if (auto it = m_formats.find(key); it != m_formats.end())
            return it->second.get();
        if (m_formats.size() >= maximumSize)
            m_formats.clear();
        std::unique_ptr<icu::DateFormat> format(icu::DateFormat::createTimeInstance(
            icu::DateFormat::kShort, icu::Locale(locale.c_str())));
        if (!format)
            return nullptr;
        std::unique_ptr<icu::TimeZone> timeZone(
            icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(zone)));
        if (!timeZone || *timeZone == icu::TimeZone::getUnknown())
            timeZone.reset(icu::TimeZone::getGMT()->clone());
        format->adoptTimeZone(timeZone.release());
        return m_formats.emplace(std::move(key), std::move(format)).first->second.get();
    }

private:
    static constexpr std::size_t maximumSize = 16;
    std::map<std::pair<std::string, std::string>, std::unique_ptr<icu::DateFormat>> m_formats;
};

} // namespace

std::string shortTimeText(Date date, const std::string& locale, const std::string& timeZone)
{
    const std::string zone = timeZone.empty() ? Calendar::systemTimeZone() : timeZone;
    icu::DateFormat* format = TimeFormats::forThisThread().find(locale, zone);
    if (!format)
        return std::string();
    const UDate milliseconds
        = std::chrono::duration<double, std::milli>(date.time_since_epoch()).count();
    icu::UnicodeString text;
    format->format(milliseconds, text);
    std::string result;
    text.toUTF8String(result);
    return result;
}

} // namespace tidemark
