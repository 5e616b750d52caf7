#pragma once

#include "core/Store.hpp"
#include "onboarding/OnboardingView.hpp"
#include "platform/reactive/Cancellable.hpp"
#include "platform/ui/Window.hpp"
#include "toolkit/MainStore.hpp"
#include "toolkit/PageView.hpp"

#include <QWidget>

#include <map>
#include <memory>

namespace tidemark {

class OnboardingControlsWidget;
class OnboardingLastView;

using OnboardingViewStore = Store<OnboardingView::State, OnboardingView::Action>;

// The onboarding's content: the pages (turned only by the controls, never by swiping), a
// divider, and the controls padded 10. The pages are made once, each bound to its own part
// of the state, so a change of state never rebuilds one under the user's focus.
class OnboardingViewWidget final : public QWidget {
public:
    explicit OnboardingViewWidget(
        std::shared_ptr<OnboardingViewStore> store, QWidget* parent = nullptr);

    PageView<OnboardingPage>* pageView() const { return m_pageView; }
    OnboardingControlsWidget* controls() const { return m_controls; }
    // The view made for a page; null for a page it has none of.
    QWidget* page(OnboardingPage page) const;

private:
    void render(const OnboardingView::State& state);
    Binding<OnboardingPage> selectionBinding();

    std::shared_ptr<OnboardingViewStore> m_store;
    std::map<OnboardingPage, QWidget*> m_pages;
    PageView<OnboardingPage>* m_pageView;
    OnboardingLastView* m_lastView = nullptr;
    OnboardingControlsWidget* m_controls;
    rx::Cancellable m_subscription;
};

// The onboarding window's content bound to the main store: the onboarding view on the
// window's material, 700 × 600.
class OnboardingContainerView final : public QWidget {
public:
    explicit OnboardingContainerView(const AppStoreRef& store, QWidget* parent = nullptr);

    OnboardingViewWidget* view() const { return m_view; }

private:
    OnboardingViewWidget* m_view;
};

// The onboarding window: titled "Welcome to …", its content fixed at 700 × 600, not
// resizable.
class OnboardingWindow final : public Window {
public:
    OnboardingWindow();
};

// What the windows store makes: the window, and its content for the main store.
WindowRef makeOnboardingWindow();
QWidget* makeOnboardingContainerView(const AppStoreRef& store);

} // namespace tidemark
