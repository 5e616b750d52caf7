#include "entry/YoyoState.hpp"

#include "core/Overloaded.hpp"

#include <limits>

namespace tidemark {

void raiseSemaphore(YoyoDragState& state)
{
    if (state.semaphore < std::numeric_limits<std::int64_t>::max())
        ++state.semaphore;
}

void yoyoDragReducer(YoyoDragState& state, const YoyoDragAction& action)
{
    std::visit(overloaded {
                   [&](const YoyoDragAction::BlobOpacity& a) -> void {
                       state.blobOpacity = a.blobOpacity;
                   },
                   [&](const YoyoDragAction::IsPresented& a) -> void {
                       state.isPresented = a.isPresented;
                   },
                   [&](const YoyoDragAction::Saved& a) -> void { state.saved = a.id; },
                   [&](const YoyoDragAction::AnimateOutDidEnd&) -> void {
                       if (state.semaphore > 0)
                           --state.semaphore;
                   },
               },
        asVariant(action));
}

void yoyoScrollReducer(YoyoScrollState& state, const YoyoScrollAction& action)
{
    std::visit(overloaded {
                   [&](const YoyoScrollAction::IsPresented& a) -> void {
                       state.isPresented = a.isPresented;
                   },
                   [&](const YoyoScrollAction::DataEntryIsPresented& a) -> void {
                       state.dataEntryIsPresented = a.dataEntryIsPresented;
                   },
               },
        asVariant(action));
}

void yoyoReducer(YoyoState& state, const YoyoAction& action)
{
    std::visit(
        overloaded {
            [&](const YoyoAction::Drag& a) -> void { yoyoDragReducer(state.drag, a.action); },
            [&](const YoyoAction::Scroll& a) -> void { yoyoScrollReducer(state.scroll, a.action); },
        },
        asVariant(action));
}

} // namespace tidemark
