#include "entry/views/YoyoDragWindows.hpp"

#include "core/connectors/TimeEntryConnectors.hpp"
#include "core/state/AppState.hpp"
#include "entry/views/YoyoBackView.hpp"
#include "entry/views/YoyoFrontView.hpp"
#include "platform/reactive/Scheduler.hpp"
#include "platform/ui/PinnedLayout.hpp"

namespace tidemark {

WindowRef makeYoyoOverlayWindow(bool takesKeyboard)
{
    WindowRef window = makeWindow<Window>(WindowKind::overlay);
    window->setLevel(WindowLevel::status);
    window->setCanBecomeKey(takesKeyboard);
    window->setIgnoresMouseEvents(!takesKeyboard);
    window->setHasShadow(false);
    window->setJoinsAllSpaces(true);
    window->setReleasesBackingStoreWhenHidden(true);
    return window;
}

bool hiddenInWindow(const QWidget* view)
{
    const auto* window = qobject_cast<const Window*>(view->window());
    return window && !window->isVisible();
}

WindowRef makeYoyoDragBackWindow(const AppStoreRef& store)
{
    WindowRef window = makeYoyoOverlayWindow(false);
    window->setWindowTitle(QStringLiteral("Tidemark drag"));
    std::weak_ptr<AppStore> weak = store;
    auto* view = new YoyoBackWidget(store->connect(Connectors::YoyoBackConnector {}), [weak] {
        auto main = weak.lock();
        return main ? Connectors::YoyoBackConnector {}.mapState(main->state())
                    : YoyoBackView::State {};
    });
    view->setObjectName(QStringLiteral("YoyoBackView"));
    addPinnedSubview(window->contentView(), view);
    Window* raw = window.get();
    QObject::connect(raw, &Window::didAppear, view, [view] { view->appeared(); });
    view->setOnPaintedRegionChanged(
        [raw](const QRegion& region) { raw->setPaintedRegion(region); });
    raw->setPaintedRegion(QRegion());
    return window;
}

WindowRef makeYoyoDragFrontWindow(const AppStoreRef& store)
{
    WindowRef window = makeYoyoOverlayWindow(true);
    window->setWindowTitle(QStringLiteral("Tidemark reminder"));
    std::weak_ptr<AppStore> weak = store;
    auto* view = new YoyoFrontWidget(store->connect(Connectors::YoyoFrontConnector {}), [weak] {
        auto main = weak.lock();
        return main ? Connectors::YoyoFrontConnector {}.mapState(main->state())
                    : YoyoFrontView::State {};
    });
    view->setObjectName(QStringLiteral("YoyoFrontView"));
    addPinnedSubview(window->contentView(), view);
    Window* raw = window.get();
    view->setOnRegionsChanged(
        [raw](const Rect& input, const QRegion& painted) { raw->setRegions(input, painted); });
    // Another window took the keyboard: the card goes (and saves what it holds), on the
    // next turn, outside the window's own handling.
    QObject::connect(raw, &Window::didResignKey, view, [weak] {
        rx::mainQueue().post([weak] {
            if (auto main = weak.lock())
                main->dispatch(actions::viewAction(ViewAction::Yoyo {
                    YoyoAction::Drag { YoyoDragAction::IsPresented { false } } }));
        });
    });
    return window;
}

YoyoBackWidget* yoyoBackView(const WindowRef& window)
{
    return window ? window->findChild<YoyoBackWidget*>() : nullptr;
}

YoyoFrontWidget* yoyoFrontView(const WindowRef& window)
{
    return window ? window->findChild<YoyoFrontWidget*>() : nullptr;
}

} // namespace tidemark
