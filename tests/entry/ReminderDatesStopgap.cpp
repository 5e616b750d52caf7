// The reminders library declares its calendar conversions and calls them from code that
// this test program links in, but does not define them yet. These weak stand-ins let the
// program link until it does; a real definition overrides them. None of these tests
// converts reminder dates, so reaching one is a fault.
#include "reminders/Reminder.hpp"

#include <cstdlib>

namespace tidemark {

__attribute__((weak)) DateComponents reminderComponents(Date)
{
    std::abort();
}

__attribute__((weak)) std::optional<Date> reminderDate(const std::optional<DateComponents>&)
{
    std::abort();
}

} // namespace tidemark
