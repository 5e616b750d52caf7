#include "menubar/views/PopoverContainerView.hpp"

#include "core/connectors/MenuBarConnectors.hpp"
#include "core/state/AppState.hpp"
#include "menubar/views/PopoverBannersView.hpp"
#include "menubar/views/PopoverEmptyView.hpp"
#include "menubar/views/PopoverListContainerWidget.hpp"
#include "menubar/views/PopoverStyle.hpp"
#include "platform/ui/Animator.hpp"
#include "platform/ui/PinnedLayout.hpp"
#include "settings/UsageStatistics.hpp"
#include "toolkit/WindowNotifications.hpp"

#include <QApplication>
#include <QGraphicsOpacityEffect>
#include <QTimer>

namespace tidemark {

namespace {

// Both numbers of the panel's fixed size come from one rule (a golden rectangle 230 wide
// less 102 for the header of the platform the design comes from).
constexpr double goldenRatio = 1.618034;
constexpr double designedHeight = 230 * goldenRatio - 102; // 270.15

static_assert(designedHeight > popoverMetrics::contentHeight
    && designedHeight < popoverMetrics::contentHeight + 1);

void setOpacity(QWidget* widget, double opacity)
{
    // A fully opaque or hidden view needs no effect (which draws it through an image).
    widget->setVisible(opacity > 0);
    if (opacity >= 1) {
        widget->setGraphicsEffect(nullptr);
        return;
    }
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(widget->graphicsEffect());
    if (!effect) {
        effect = new QGraphicsOpacityEffect(widget);
        widget->setGraphicsEffect(effect);
    }
    effect->setOpacity(opacity);
}

} // namespace

PopoverViewWidget::PopoverViewWidget(std::shared_ptr<PopoverViewStore> viewModel,
    PopoverListContainerWidget* list, std::function<std::optional<std::string>()> reviewAddress,
    QWidget* parent)
    : QWidget(parent)
    , m_viewModel(std::move(viewModel))
    , m_list(list)
    , m_empty(new PopoverEmptyView(this))
    , m_listOpacity(std::make_unique<Animated<double>>(1.0))
    , m_bannerProgress(std::make_unique<Animated<double>>(0.0))
{
    m_list->setParent(this);
    auto bannersStore
        = m_viewModel->derived<PopoverNotificationsView::State, PopoverNotificationsView::Action>(
            [](const PopoverView::State& state) { return state.notifications; },
            [](const PopoverNotificationsView::Action& action) {
                return PopoverView::Action(PopoverView::Action::Notifications { action });
            });
    m_banners = new PopoverBannersView(std::move(bannersStore), std::move(reviewAddress), this);
    setFixedSize(popoverMetrics::contentWidth, popoverMetrics::contentHeight);

    m_listFrames = m_listOpacity->onFrame([this](const double&) { layoutContent(); });
    m_bannerFrames = m_bannerProgress->onFrame([this](const double&) { layoutContent(); });
    render(m_viewModel->state(), false);
    m_subscription = m_viewModel->statePublisher().sink(
        [this](const PopoverView::State& state) { render(state, true); });
}

PopoverViewWidget::~PopoverViewWidget()
{
    m_subscription.cancel();
    m_listFrames.cancel();
    m_bannerFrames.cancel();
}

double PopoverViewWidget::listOpacity() const
{
    return m_listOpacity->value();
}

double PopoverViewWidget::bannerProgress() const
{
    return m_bannerProgress->value();
}

QSize PopoverViewWidget::sizeHint() const
{
    return { popoverMetrics::contentWidth, popoverMetrics::contentHeight };
}

void PopoverViewWidget::render(const PopoverView::State& state, bool animated)
{
    m_empty->setPlaying(state.emptyStateIsPlaying);
    if (m_shownEmpty != state.isEmpty) {
        const bool first = !m_shownEmpty.has_value();
        m_shownEmpty = state.isEmpty;
        const double target = state.isEmpty ? 0.0 : 1.0;
        if (first || !animated)
            m_listOpacity->jump(target);
        else
            m_listOpacity->setTarget(target, Animation::easeInOut().delayed(0.5));
    }
    const bool hasBanners = !state.notifications.notifications.empty();
    if (m_shownBanners != hasBanners) {
        const bool first = !m_shownBanners.has_value();
        m_shownBanners = hasBanners;
        const double target = hasBanners ? 1.0 : 0.0;
        if (first || !animated)
            m_bannerProgress->jump(target);
        else
            m_bannerProgress->setTarget(target, Animation::spring(0.5, 1.0, 0.0));
    }
    layoutContent();
}

void PopoverViewWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutContent();
}

void PopoverViewWidget::layoutContent()
{
    const int width = this->width();
    const double progress = std::clamp(m_bannerProgress->value(), 0.0, 1.0);
    const int bannerHeight
        = m_banners->rows().empty() && progress <= 0 ? 0 : m_banners->sizeHint().height();
    // The strip slides down from above the top edge; what it covers the content gives up.
    const int shown = int(std::lround(bannerHeight * progress));
    m_banners->setGeometry(0, shown - bannerHeight, width, bannerHeight);
    m_banners->setVisible(shown > 0);
    const QRect content(0, shown, width, height() - shown);
    m_list->setGeometry(content);
    m_empty->setGeometry(content);

    const double opacity = std::clamp(m_listOpacity->value(), 0.0, 1.0);
    setOpacity(m_list, opacity);
    setOpacity(m_empty, 1.0 - opacity);
    m_banners->raise();
}

PopoverContainerView::PopoverContainerView(
    const AppStoreRef& store, std::shared_ptr<const Clock> clock, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
{
    auto listStore = store->connect(Connectors::PopoverListConnector { clock });
    auto viewStore = store->connect(Connectors::PopoverViewConnector { clock });
    auto* list = new PopoverListContainerWidget(std::move(listStore), clock);
    m_view = new PopoverViewWidget(
        std::move(viewStore), list, [] { return writeReviewUrl(); }, this);
    addPinnedSubview(this, m_view);
    setFocusProxy(list);

    m_openSettings = new OpenSettingsViewModifier(this, store->state().settings.isPresented);
    // What the main state says beyond the popover's own stores: whether the settings are
    // wanted, and when the data source has answered a request (a removal's undo step is
    // registered by then, or never).
    auto requestStatus = std::make_shared<Status>(store->state().remindersStore.items.status);
    m_mainState = store->statePublisher().sink([this, requestStatus](const AppState& state) {
        m_openSettings->setPresented(state.settings.isPresented);
        const Status status = state.remindersStore.items.status;
        if (status != *requestStatus) {
            const bool answered = *requestStatus == Status::loading;
            *requestStatus = status;
            if (answered)
                m_view->listContainer()->requestAnswered();
        }
    });

    onWindowNotification(this, WindowNotification::didResignKey,
        [this](QWidget* window) { windowResignedKey(window); });
}

PopoverContainerView::~PopoverContainerView()
{
    m_mainState.cancel();
}

void PopoverContainerView::windowResignedKey(QWidget* window)
{
    // Decided on the next turn, when the activation has settled: a menu of the panel's own
    // (the header's, a row's context menu) takes the keyboard without the panel losing its
    // place, and focus moving into a title field is no change of window at all.
    QPointer<QWidget> watched = window;
    std::weak_ptr<AppStore> weak = m_store;
    QTimer::singleShot(0, this, [watched, weak] {
        auto store = weak.lock();
        if (!store || !watched || !store->state().view.popover.isPresented)
            return;
        if (QApplication::activePopupWidget() || watched->isActiveWindow())
            return;
        if (QWidget* active = QApplication::activeWindow(); active && active != watched.data()) {
            // A window of the panel's own, such as a menu torn off it.
            for (QWidget* w = active->parentWidget(); w; w = w->parentWidget()) {
                if (w == watched.data())
                    return;
            }
        }
        store->dispatch(actions::popoverIsPresented(false));
    });
}

} // namespace tidemark
