#include "toolkit/SingleInstanceWindow.hpp"

#include "platform/ui/Application.hpp"

namespace tidemark {

void singleInstanceWindowReducer(
    SingleInstanceWindowState& state, const SingleInstanceWindowAction& action)
{
    if (const auto* presented = caseOf<SingleInstanceWindowAction::IsPresented>(action)) {
        if (presented->value) {
            if (state.window) {
                state.window->makeKeyAndOrderFront();
                state.window->center();
            }
            if (Application* application = Application::shared())
                application->activate(true);
        } else if (state.window) {
            // Taken out of the state first: closing may reach code that reads it.
            const WindowRef window = std::move(state.window);
            state.window.reset();
            window->close();
        }
    }
}

} // namespace tidemark
