#include "entry/views/YoyoScrollWindow.hpp"

#include "core/connectors/ScrollEntryConnectors.hpp"
#include "core/state/AppState.hpp"
#include "entry/views/YoyoDragWindows.hpp"
#include "entry/views/YoyoScrollFrontView.hpp"
#include "platform/reactive/Scheduler.hpp"
#include "platform/ui/PinnedLayout.hpp"
#include "platform/ui/Screen.hpp"
#include "platform/ui/StatusBar.hpp"

namespace tidemark {

void YoyoScrollWindowState::reduce(const YoyoScrollWindowAction& action)
{
    if (!window)
        return;
    const auto* presented = caseOf<YoyoScrollWindowAction::IsPresented>(action);
    if (presented && !presented->value) {
        // Ordered out, not closed: the small window keeps its native window and image, so the
        // next entry's first notch only maps it.
        window->orderOut();
        return;
    }
    const auto* prepared = caseOf<YoyoScrollWindowAction::PreparePresentation>(action);
    const Rect itemFrame = presented ? presented->itemFrame : prepared->itemFrame;
    // Every notch presents the window again. While it shows, it stays on its screen: asking
    // where the pointer is would cost each notch a round trip to the display server.
    if (const std::optional<Screen> screen = window->presentationScreen()) {
        // Only the part the card can reach: mapping and painting a window costs by its area.
        const YoyoScrollFrontWidget* front = yoyoScrollFrontView(window);
        window->setFrame(front
                ? YoyoScrollFrontView::windowFrame(screen->frame(), itemFrame, front->reach())
                : screen->frame());
    }
    if (presented)
        window->orderFrontRegardless();
}

WindowRef makeYoyoScrollWindow(const AppStoreRef& store)
{
    WindowRef window = makeYoyoOverlayWindow(true);
    // Unlike the screen-sized drag overlays, this column is small enough to keep its image
    // between entries; it makes none before its first show.
    window->setReleasesBackingStoreWhenHidden(false);
    window->setWindowTitle(QStringLiteral("Tidemark scroll"));
    std::weak_ptr<AppStore> weak = store;
    const Connectors::YoyoScrollFrontConnector connector;
    auto* view = new YoyoScrollFrontWidget(
        store->connect(connector),
        [weak, connector] {
            auto main = weak.lock();
            return main ? connector.mapState(main->state()) : YoyoScrollFrontView::State {};
        },
        YoyoScrollFrontView::minTranslationHeight(StatusBar::system().thickness()));
    view->setObjectName(QStringLiteral("YoyoScrollFrontView"));
    addPinnedSubview(window->contentView(), view);
    Window* raw = window.get();
    view->setOnRegionsChanged(
        [raw](const Rect& input, const QRegion& painted) { raw->setRegions(input, painted); });
    view->setOnWantsKeyboard([raw] {
        if (raw->isVisible() && !raw->isKeyWindow())
            raw->makeKeyAndOrderFront();
    });
    // Another window took the keyboard: the entry is dismissed (and saves what it holds),
    // on the next turn, outside the window's own handling.
    QObject::connect(raw, &Window::didResignKey, view, [weak] {
        rx::mainQueue().post([weak] {
            if (auto main = weak.lock())
                main->dispatch(actions::viewAction(ViewAction::Yoyo {
                    YoyoAction::Scroll { YoyoScrollAction::IsPresented { false } } }));
        });
    });
    return window;
}

YoyoScrollFrontWidget* yoyoScrollFrontView(const WindowRef& window)
{
    return window ? window->findChild<YoyoScrollFrontWidget*>() : nullptr;
}

} // namespace tidemark
