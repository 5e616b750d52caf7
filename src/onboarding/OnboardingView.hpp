#pragma once

#include "core/Action.hpp"
#include "notifications/UserNotificationsSettings.hpp"
#include "onboarding/OnboardingControls.hpp"
#include "onboarding/OnboardingSlice.hpp"
#include "settings/AppleRemindersConnectingView.hpp"

#include <variant>
#include <vector>

namespace tidemark {

struct OnboardingGeneralViewActionCases {
    struct OpenAtLogin {
        bool value;
        bool operator==(const OpenAtLogin&) const = default;
    };
    using Variant = std::variant<OpenAtLogin>;
};

// The onboarding's general page: open at login.
struct OnboardingGeneralView {
    struct State {
        bool openAtLogin = false;
        bool operator==(const State&) const = default;
    };

    struct Action : ActionOf<OnboardingGeneralViewActionCases> {
        using ActionOf::ActionOf;
    };
};

// What the notifications page's pane sees and sends: the settings window's notification pane.
using OnboardingNotificationsPaneState = UserNotificationsSettingsConnectingView::State;
using OnboardingNotificationsPaneAction = UserNotificationsSettingsConnectingView::Action;

struct OnboardingViewActionCases {
    // The page controller settled on a page.
    struct Selection {
        OnboardingPage page;
        bool operator==(const Selection&) const = default;
    };
    struct AppleReminders {
        AppleRemindersConnectingView::Action action;
        bool operator==(const AppleReminders&) const = default;
    };
    struct General {
        OnboardingGeneralView::Action action;
        bool operator==(const General&) const = default;
    };
    struct UserNotifications {
        OnboardingNotificationsPaneAction action;
        bool operator==(const UserNotifications&) const = default;
    };
    struct Controls {
        OnboardingControls::Action action;
        bool operator==(const Controls&) const = default;
    };
    struct Close {
        bool operator==(const Close&) const = default;
    };
    using Variant
        = std::variant<Selection, AppleReminders, General, UserNotifications, Controls, Close>;
};

// The onboarding window's content: the pages, a divider and the controls.
struct OnboardingView {
    struct State {
        std::vector<OnboardingPage> pages;
        OnboardingPage selection = OnboardingPage::root;
        AppleRemindersConnectingView::State appleReminders;
        OnboardingGeneralView::State general;
        OnboardingNotificationsPaneState userNotifications;
        OnboardingControls::State controls;

        bool operator==(const State&) const = default;
    };

    struct Action : ActionOf<OnboardingViewActionCases> {
        using ActionOf::ActionOf;
    };
};

} // namespace tidemark
