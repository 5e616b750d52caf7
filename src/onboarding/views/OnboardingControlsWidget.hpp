#pragma once

#include "core/Store.hpp"
#include "onboarding/OnboardingControls.hpp"
#include "platform/foundation/Animation.hpp"
#include "platform/reactive/Cancellable.hpp"
#include "platform/ui/Animator.hpp"

#include <QPushButton>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>

namespace tidemark {

class Presence;

using OnboardingControlsStore = Store<OnboardingControls::State, OnboardingControls::Action>;
using OnboardingLeadingItemsStore
    = Store<OnboardingLeadingItems::State, OnboardingLeadingItems::Action>;
using OnboardingTrailingItemsStore
    = Store<OnboardingTrailingItems::State, OnboardingTrailingItems::Action>;

// How the controls change: buttons come, go, change their labels and their enabled look by
// fading over 0.4 s.
Animation onboardingControlsAnimation();

// A push button whose enabled look fades from one state to the other. It takes or refuses
// presses at once.
class FadingButton final : public QPushButton {
public:
    explicit FadingButton(const QString& text, QWidget* parent = nullptr);
    ~FadingButton() override;

    void setEnabledFading(bool enabled, const std::optional<Animation>& animation);
    // 0 disabled, 1 enabled; between while the look fades.
    double enabledness() const { return m_enabledness.value(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Animated<double> m_enabledness { 1 };
    rx::Cancellable m_frames;
};

// Set Up Later, at the leading edge: shown between the first and the last page.
class OnboardingLeadingItemsWidget final : public QWidget {
public:
    explicit OnboardingLeadingItemsWidget(
        std::shared_ptr<OnboardingLeadingItemsStore> store, QWidget* parent = nullptr);
    ~OnboardingLeadingItemsWidget() override;

    FadingButton* setUpLaterButton() const { return m_setUpLater; }

private:
    void render(
        const OnboardingLeadingItems::State& state, const std::optional<Animation>& animation);

    std::shared_ptr<OnboardingLeadingItemsStore> m_store;
    FadingButton* m_setUpLater;
    std::unique_ptr<Presence> m_presenter;
    rx::Cancellable m_subscription;
};

// Back and the primary button at the trailing edge. The primary button's three faces share
// one place and cross-fade; the place's width follows the face shown.
class OnboardingTrailingItemsWidget final : public QWidget {
public:
    explicit OnboardingTrailingItemsWidget(
        std::shared_ptr<OnboardingTrailingItemsStore> store, QWidget* parent = nullptr);
    ~OnboardingTrailingItemsWidget() override;

    FadingButton* backButton() const { return m_back; }
    FadingButton* primaryButton(OnboardingPrimaryButton face) const;
    OnboardingPrimaryButton shownPrimaryButton() const { return m_shown; }
    // Presses the primary button as Return does: only Get Started and Close, only enabled.
    bool pressDefaultButton();

private:
    class PrimarySlot;
    void render(
        const OnboardingTrailingItems::State& state, const std::optional<Animation>& animation);

    std::shared_ptr<OnboardingTrailingItemsStore> m_store;
    FadingButton* m_back;
    std::unique_ptr<Presence> m_backPresenter;
    PrimarySlot* m_slot;
    std::array<FadingButton*, 3> m_primary {};
    std::array<std::unique_ptr<Presence>, 3> m_primaryPresenters;
    OnboardingPrimaryButton m_shown = OnboardingPrimaryButton::getStarted;
    rx::Cancellable m_subscription;
};

// The row of buttons under the pages: Set Up Later, space, Back and the primary button, in
// the alert button style. Return presses Get Started and Close.
class OnboardingControlsWidget final : public QWidget {
public:
    explicit OnboardingControlsWidget(
        std::shared_ptr<OnboardingControlsStore> store, QWidget* parent = nullptr);

    OnboardingLeadingItemsWidget* leading() const { return m_leading; }
    OnboardingTrailingItemsWidget* trailing() const { return m_trailing; }

private:
    std::shared_ptr<OnboardingControlsStore> m_store;
    OnboardingLeadingItemsWidget* m_leading;
    OnboardingTrailingItemsWidget* m_trailing;
};

} // namespace tidemark
