#include "toolkit/ViewControllerBridge.hpp"

#include "platform/ui/AncestorEvents.hpp"
#include "platform/ui/PinnedLayout.hpp"

#include <QEvent>

namespace tidemark {

SwiftViewBridgeRef noSwiftViewBridge()
{
    return nullptr;
}

AutoLayoutViewController::AutoLayoutViewController(QWidget* parent)
    : QWidget(parent)
{
}

SwiftyViewController::SwiftyViewController(QWidget* parent)
    : AutoLayoutViewController(parent)
    , m_bridge(std::make_shared<SwiftViewBridge>())
{
    setEnvironmentValue(this, swiftViewBridgeKey, m_bridge);
    // The window's showing and hiding, whichever window the controller lies in.
    m_windowEvents = new AncestorEventFilter(this, [this](QWidget* watched, QEvent* event) {
        if (watched != window())
            return;
        if (event->type() == QEvent::Show)
            viewDidAppear();
        else if (event->type() == QEvent::Hide)
            viewDidDisappear();
    });
}

SwiftyViewController::~SwiftyViewController()
{
    // Hiding is part of going: no closure runs for a controller that is half gone.
    delete m_windowEvents;
}

void SwiftyViewController::embed(QWidget* content)
{
    addPinnedSubview(this, content);
}

void SwiftyViewController::viewDidAppear()
{
    if (m_bridge->onDidAppear)
        m_bridge->onDidAppear();
}

void SwiftyViewController::viewDidDisappear()
{
    if (m_bridge->onDidDisappear)
        m_bridge->onDidDisappear();
}

namespace {

// Stores a view's closures in the bridge when the view first appears.
class SwiftyViewControllerModifier final : public QObject {
public:
    SwiftyViewControllerModifier(
        QWidget* view, std::function<void()> didAppear, std::function<void()> didDisappear)
        : QObject(view)
        , m_view(view)
        , m_onDidAppear(std::move(didAppear))
        , m_onDidDisappear(std::move(didDisappear))
    {
        view->installEventFilter(this);
        if (view->isVisible())
            store();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            store();
        return false;
    }

private:
    void store()
    {
        const SwiftViewBridgeRef bridge = environmentValue(m_view, swiftViewBridgeKey);
        if (!bridge)
            return;
        if (m_onDidAppear)
            bridge->onDidAppear = m_onDidAppear;
        if (m_onDidDisappear)
            bridge->onDidDisappear = m_onDidDisappear;
    }

    QWidget* m_view;
    std::function<void()> m_onDidAppear;
    std::function<void()> m_onDidDisappear;
};

} // namespace

void onDidAppear(QWidget* view, std::function<void()> perform)
{
    new SwiftyViewControllerModifier(view, std::move(perform), nullptr);
}

void onDidDisappear(QWidget* view, std::function<void()> perform)
{
    new SwiftyViewControllerModifier(view, nullptr, std::move(perform));
}

} // namespace tidemark
