#include "onboarding/views/OnboardingWindow.hpp"

#include "core/connectors/OnboardingConnectors.hpp"
#include "core/state/AppState.hpp"
#include "onboarding/OnboardingLayout.hpp"
#include "onboarding/views/OnboardingControlsWidget.hpp"
#include "onboarding/views/OnboardingPageLayout.hpp"
#include "onboarding/views/OnboardingPages.hpp"
#include "platform/foundation/AppInfo.hpp"
#include "platform/foundation/StringTables.hpp"
#include "platform/ui/PinnedLayout.hpp"
#include "toolkit/AppIconArtwork.hpp"
#include "toolkit/MaterialView.hpp"

#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace tidemark {

namespace {

int px(double value)
{
    return int(std::lround(value));
}

QString onboardingTitle()
{
    return QString::fromStdString(localized("Onboarding", "window_title %@", AppInfo::name()));
}

} // namespace

OnboardingViewWidget::OnboardingViewWidget(
    std::shared_ptr<OnboardingViewStore> store, QWidget* parent)
    : QWidget(parent)
    , m_store(std::move(store))
{
    using State = OnboardingView::State;
    using A = OnboardingView::Action;
    const State& state = m_store->state();

    std::vector<std::pair<OnboardingPage, QWidget*>> content;
    for (const OnboardingPage page : state.pages) {
        if (m_pages.contains(page))
            continue;
        QWidget* view = nullptr;
        switch (page) {
        case OnboardingPage::root:
            view = new OnboardingRootView;
            break;
        case OnboardingPage::notifications:
            view = new OnboardingUserNotificationsView(
                m_store
                    ->derived<OnboardingNotificationsPaneState, OnboardingNotificationsPaneAction>(
                        [](const State& s) { return s.userNotifications; },
                        [](const OnboardingNotificationsPaneAction& a) -> A {
                            return A::UserNotifications { a };
                        }));
            break;
        case OnboardingPage::sync:
            view = new OnboardingAppleRemindersView(
                m_store->derived<AppleRemindersConnectingView::State,
                    AppleRemindersConnectingView::Action>(
                    [](const State& s) { return s.appleReminders; },
                    [](const AppleRemindersConnectingView::Action& a) -> A {
                        return A::AppleReminders { a };
                    }));
            break;
        case OnboardingPage::general:
            view = new OnboardingGeneralWidget(
                m_store->derived<OnboardingGeneralView::State, OnboardingGeneralView::Action>(
                    [](const State& s) { return s.general; },
                    [](const OnboardingGeneralView::Action& a) -> A { return A::General { a }; }));
            break;
        case OnboardingPage::completion:
            m_lastView = new OnboardingLastView;
            view = m_lastView;
            break;
        }
        m_pages[page] = view;
        content.emplace_back(page, view);
    }
    m_pageView = new PageView<OnboardingPage>(selectionBinding(), false, state.pages, content);
    m_pageView->setAccessibleName(onboardingTitle());

    auto controlsStore = m_store->derived<OnboardingControls::State, OnboardingControls::Action>(
        [](const State& s) { return s.controls; },
        [](const OnboardingControls::Action& a) -> A { return A::Controls { a }; });
    m_controls = new OnboardingControlsWidget(std::move(controlsStore));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_pageView, 1);
    layout->addWidget(new Divider);
    auto* controlsRow = new QVBoxLayout;
    const int padding = px(OnboardingLayout::controlsPadding);
    controlsRow->setContentsMargins(padding, padding, padding, padding);
    controlsRow->addWidget(m_controls);
    layout->addLayout(controlsRow);

    // Not on screen yet: the strip stands on the selected page at once.
    render(state);
    const auto& pages = state.pages;
    if (const auto found = std::find(pages.begin(), pages.end(), state.selection);
        found != pages.end())
        m_pageView->animateToIndex(int(found - pages.begin()));
    m_subscription = m_store->statePublisher().sink([this](const State& s) { render(s); });
}

QWidget* OnboardingViewWidget::page(OnboardingPage page) const
{
    const auto found = m_pages.find(page);
    return found == m_pages.end() ? nullptr : found->second;
}

Binding<OnboardingPage> OnboardingViewWidget::selectionBinding()
{
    return m_store->binding<OnboardingPage>(
        [](const OnboardingView::State& s) { return s.selection; },
        [](const OnboardingPage& page) -> OnboardingView::Action {
            return OnboardingView::Action::Selection { page };
        });
}

void OnboardingViewWidget::render(const OnboardingView::State& state)
{
    m_pageView->update(selectionBinding(), false, state.pages);
    if (!m_lastView)
        return;
    m_lastView->setInView(state.selection == OnboardingPage::completion);
    if (state.selection == OnboardingPage::completion)
        m_lastView->appear(isVisible());
}

OnboardingContainerView::OnboardingContainerView(const AppStoreRef& store, QWidget* parent)
    : QWidget(parent)
    , m_view(new OnboardingViewWidget(store->connect(Connectors::OnboardingConnector {})))
{
    setAccessibleName(onboardingTitle());
    visualEffectBackground(this, Material::underWindowBackground, BlendingMode::behindWindow);
    addPinnedSubview(this, m_view);
    setFixedSize(px(OnboardingLayout::windowWidth), px(OnboardingLayout::windowHeight));
}

OnboardingWindow::OnboardingWindow()
    : Window(WindowKind::normal)
{
    setWindowTitle(onboardingTitle());
    setAccessibleName(onboardingTitle());
    setWindowIcon(appIcon());
    setFixedSize(px(OnboardingLayout::windowWidth), px(OnboardingLayout::windowHeight));
}

WindowRef makeOnboardingWindow()
{
    return makeWindow<OnboardingWindow>();
}

QWidget* makeOnboardingContainerView(const AppStoreRef& store)
{
    return new OnboardingContainerView(store);
}

} // namespace tidemark
