#include "menubar/ZevovozoConfiguring.hpp"

namespace tidemark {

Size ZevovozoConfiguring::clockSize() const
{
    const Size content = contentSize();
    const double inset = 2 * timerIndicatorWidth() + timerIndicatorInnerPadding();
    return { content.width - inset, content.height - inset };
}

Size MenubarZevovozoConfiguration::hourHandSize() const
{
    return { 1, clockSize().height * 0.5 - 1 };
}

Size MenubarZevovozoConfiguration::minuteHandSize() const
{
    return { 1, clockSize().height * 0.5 - 2 };
}

Size ListItemZevovozoConfiguration::hourHandSize() const
{
    return { 4, clockSize().height * 0.5 * 0.7 };
}

Size ListItemZevovozoConfiguration::minuteHandSize() const
{
    return { 4, clockSize().height * 0.5 - 4 };
}

} // namespace tidemark
