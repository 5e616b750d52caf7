#pragma once

#include "platform/ui/Environment.hpp"

#include <functional>
#include <memory>
#include <string>

namespace tidemark {

class UndoManager;

// The undo manager of the window a view stands in (the popover panel gives its own); none
// outside such a window.
inline const EnvironmentKey<std::shared_ptr<UndoManager>> undoManagerKey { "undoManager",
    [] { return std::shared_ptr<UndoManager>(); } };

// Opens an address in the user's preferred program; false when nothing could open it.
// Copies share the function; two actions are equal when they share it.
class OpenURLAction {
public:
    using Open = std::function<bool(const std::string&)>;
    OpenURLAction()
        : m_open(std::make_shared<Open>())
    {
    }
    explicit OpenURLAction(Open open)
        : m_open(std::make_shared<Open>(std::move(open)))
    {
    }
    // The desktop's: xdg-open through the workspace, failures logged.
    static OpenURLAction system();

    bool operator()(const std::string& url) const { return *m_open && (*m_open)(url); }
    bool operator==(const OpenURLAction& other) const { return m_open == other.m_open; }

private:
    std::shared_ptr<Open> m_open;
};

inline const EnvironmentKey<OpenURLAction> openURLKey { "openURL", &OpenURLAction::system };

} // namespace tidemark
