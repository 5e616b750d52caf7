#pragma once

#include "platform/reactive/Publisher.hpp"

#include <memory>
#include <string>
#include <variant>

namespace tidemark {

// The one-second tick that views showing relative times redraw on. It runs exactly while
// `cancellable` is present. States compare by `id` alone, so a view state that embeds the
// timer changes when the tick starts or stops, not on each tick.
struct TimerState {
    std::string id;
    rx::Publisher<rx::Unit> publisher = rx::Empty<rx::Unit>();
    std::shared_ptr<rx::Cancellable> cancellable;

    TimerState();
    bool isRunning() const { return cancellable != nullptr; }
    bool operator==(const TimerState& other) const { return id == other.id; }
};

enum class TimerAction {
    start,
    stop,
};

// `start` on a stopped timer starts one shared one-second timer under a new id; `stop` on
// a running one stops it under a new id. Anything else changes nothing.
void timerReducer(TimerState& state, TimerAction action);

} // namespace tidemark
