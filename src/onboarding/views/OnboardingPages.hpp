#pragma once

#include "core/Store.hpp"
#include "onboarding/OnboardingView.hpp"
#include "platform/reactive/Cancellable.hpp"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QLabel;

namespace tidemark {

class DragInteractionDemoView;
class OnboardingLabel;
class Presence;

using OnboardingGeneralStore = Store<OnboardingGeneralView::State, OnboardingGeneralView::Action>;
using OnboardingSyncPaneStore
    = Store<AppleRemindersConnectingView::State, AppleRemindersConnectingView::Action>;
using OnboardingNotificationsPaneStore
    = Store<OnboardingNotificationsPaneState, OnboardingNotificationsPaneAction>;

// The welcome page: the application's icon (128 × 128, none when the catalog has no
// "AppIcon") and name, and what the application is for.
class OnboardingRootView final : public QWidget {
public:
    explicit OnboardingRootView(QWidget* parent = nullptr);
};

// The notifications page: the notification settings pane under its header.
class OnboardingUserNotificationsView final : public QWidget {
public:
    explicit OnboardingUserNotificationsView(
        std::shared_ptr<OnboardingNotificationsPaneStore> store, QWidget* parent = nullptr);
};

// The sync page: the pane that chooses the user's reminder lists under its header.
class OnboardingAppleRemindersView final : public QWidget {
public:
    explicit OnboardingAppleRemindersView(
        std::shared_ptr<OnboardingSyncPaneStore> store, QWidget* parent = nullptr);
};

// The general page: one switch, open at login. It shows the state's value and sends the
// flipped one; the state decides.
class OnboardingGeneralWidget final : public QWidget {
public:
    explicit OnboardingGeneralWidget(
        std::shared_ptr<OnboardingGeneralStore> store, QWidget* parent = nullptr);

    QCheckBox* toggle() const { return m_toggle; }

private:
    void render(const OnboardingGeneralView::State& state);

    std::shared_ptr<OnboardingGeneralStore> m_store;
    QCheckBox* m_toggle;
    rx::Cancellable m_subscription;
};

// The last page: a green checkmark that grows in once the page is shown, the news that the
// application is ready, and below them the place of the drag demonstration at the golden
// ratio.
class OnboardingLastView final : public QWidget {
public:
    explicit OnboardingLastView(QWidget* parent = nullptr);
    ~OnboardingLastView() override;

    bool didAppear() const { return m_didAppear; }
    // The page is on screen: the checkmark grows in, animated or at once.
    void appear(bool animated = true);
    // Whether the pager shows this page: the demonstration plays only then.
    void setInView(bool inView);
    QWidget* checkmark() const { return m_checkmark; }
    DragInteractionDemoView* demonstration() const { return m_demonstration; }

private:
    bool m_didAppear = false;
    QWidget* m_checkmark;
    DragInteractionDemoView* m_demonstration;
    std::unique_ptr<Presence> m_checkmarkPresenter;
};

// Places its one child in the largest rectangle of `ratio` (width to height) that fits,
// centred.
class AspectFitBox final : public QWidget {
public:
    AspectFitBox(QWidget* child, double ratio, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return { 0, 0 }; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* m_child;
    double m_ratio;
};

} // namespace tidemark
