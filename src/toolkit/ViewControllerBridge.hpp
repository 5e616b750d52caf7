#pragma once

#include "platform/ui/Environment.hpp"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

namespace tidemark {

// What views inside a hosting controller want done when the controller's window has
// appeared or disappeared. Views store their closures in it; the controller calls them.
class SwiftViewBridge {
public:
    std::function<void()> onDidAppear;
    std::function<void()> onDidDisappear;
};

using SwiftViewBridgeRef = std::shared_ptr<SwiftViewBridge>;

SwiftViewBridgeRef noSwiftViewBridge();
// The bridge of the nearest enclosing SwiftyViewController; none outside one.
inline const EnvironmentKey<SwiftViewBridgeRef> swiftViewBridgeKey { "swiftViewBridge",
    &noSwiftViewBridge };

// The application's base for hosting views: a plain, empty container built in code, into
// which views are laid with layouts.
class AutoLayoutViewController : public QWidget {
    Q_OBJECT
public:
    explicit AutoLayoutViewController(QWidget* parent = nullptr);
    // The controller's view: the container itself.
    QWidget* view() { return this; }
};

// Hosts views and tells them when its window has been shown (viewDidAppear) and hidden
// (viewDidDisappear), through a bridge it puts into the hosted views' environment.
class SwiftyViewController : public AutoLayoutViewController {
    Q_OBJECT
public:
    explicit SwiftyViewController(QWidget* parent = nullptr);
    ~SwiftyViewController() override;

    const SwiftViewBridgeRef& swiftViewBridge() const { return m_bridge; }

    // Adds `content` filling the controller's view. Each call adds another.
    void embed(QWidget* content);

    // Called after the window has been shown or hidden; each calls the bridge's closure of
    // that moment, if any.
    virtual void viewDidAppear();
    virtual void viewDidDisappear();

private:
    SwiftViewBridgeRef m_bridge;
    QObject* m_windowEvents = nullptr;
};

// Runs `perform` each time the window of the enclosing SwiftyViewController has appeared,
// from the first time `view` itself is shown on. Stores it in that controller's bridge (the
// last view to do so wins) and leaves the bridge's disappear closure alone. Outside a
// controller it does nothing.
void onDidAppear(QWidget* view, std::function<void()> perform);
// The same for disappearing.
void onDidDisappear(QWidget* view, std::function<void()> perform);

} // namespace tidemark
