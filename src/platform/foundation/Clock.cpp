#include "platform/foundation/Clock.hpp"

namespace tidemark {

std::shared_ptr<Clock> Clock::system()
{
    static const std::shared_ptr<Clock> clock = std::make_shared<SystemClock>();
    return clock;
}

} // namespace tidemark
