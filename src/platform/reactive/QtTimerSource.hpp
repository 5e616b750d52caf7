#pragma once

#include "platform/reactive/Timer.hpp"

namespace tidemark::rx {

// Repeating timers of the Qt event loop of the main thread.
class QtTimerSource final : public TimerSource {
public:
    Cancellable start(std::chrono::milliseconds interval, std::function<void()> tick) override;
};

} // namespace tidemark::rx
