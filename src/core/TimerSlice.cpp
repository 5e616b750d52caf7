#include "core/TimerSlice.hpp"

#include "platform/foundation/Uuid.hpp"
#include "platform/reactive/Timer.hpp"

namespace tidemark {

TimerState::TimerState()
    : id(Uuid::make())
{
}

void timerReducer(TimerState& state, TimerAction action)
{
    switch (action) {
    case TimerAction::start: {
        if (state.isRunning())
            return;
        state.id = Uuid::make();
        // One platform timer feeds every subscriber; the connection, not the subscribers,
        // decides how long it runs.
        rx::PassthroughSubject<rx::Unit> ticks;
        state.publisher = ticks.publisher();
        state.cancellable = std::make_shared<rx::Cancellable>(
            rx::repeatingTimer(std::chrono::seconds(1)).sink([ticks](const rx::Unit& tick) {
                ticks.send(tick);
            }));
        return;
    }
    case TimerAction::stop:
        if (!state.isRunning())
            return;
        state.id = Uuid::make();
        state.publisher = rx::Empty<rx::Unit>();
        state.cancellable->cancel();
        state.cancellable.reset();
        return;
    }
}

} // namespace tidemark
