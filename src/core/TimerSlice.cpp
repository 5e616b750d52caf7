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
        state.publisher = rx::repeatingTimer(std::chrono::seconds(1)).share();
        // Connecting keeps the one platform timer running for every subscriber.
        state.cancellable = std::make_shared<rx::Cancellable>(state.publisher.sink([](const rx::Unit&) {}));
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
