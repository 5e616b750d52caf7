#include "onboarding/OnboardingSlice.hpp"
#include "onboarding/WhatsNewSlice.hpp"

#include <gtest/gtest.h>

using namespace tidemark;
using Page = OnboardingPage;

TEST(Onboarding, NavigationFollowsThePageList)
{
    struct Case {
        const char* name;
        std::vector<Page> pages;
        Page selection;
        OnboardingAction action;
        Page expected;
    };
    const std::vector<Page> standard = OnboardingState {}.pages;
    const Case cases[] = {
        { "next from root goes to notifications, the list's order", standard, Page::root,
            OnboardingAction::Next {}, Page::notifications },
        { "next walks on", standard, Page::notifications, OnboardingAction::Next {}, Page::sync },
        { "next at the last page stays", standard, Page::completion, OnboardingAction::Next {},
            Page::completion },
        { "back at the first page stays", standard, Page::root, OnboardingAction::Back {},
            Page::root },
        { "back retraces", standard, Page::sync, OnboardingAction::Back {}, Page::notifications },
        { "back from a page not in the list stays", { Page::root, Page::general }, Page::sync,
            OnboardingAction::Back {}, Page::sync },
        { "next from a page not in the list stays", { Page::root, Page::general }, Page::sync,
            OnboardingAction::Next {}, Page::sync },
        { "an empty list never moves (next)", {}, Page::general, OnboardingAction::Next {},
            Page::general },
        { "an empty list never moves (back)", {}, Page::general, OnboardingAction::Back {},
            Page::general },
        { "moves from the first occurrence", { Page::root, Page::sync, Page::general, Page::sync },
            Page::sync, OnboardingAction::Next {}, Page::general },
    };
    for (const auto& c : cases) {
        OnboardingState state;
        state.pages = c.pages;
        state.selection = c.selection;
        onboardingReducer(state, c.action);
        EXPECT_EQ(state.selection, c.expected) << c.name;
        EXPECT_FALSE(state.isPresented) << c.name;
    }
}

TEST(Onboarding, PresentingOrClosingStartsAtRoot)
{
    OnboardingState state;
    onboardingReducer(state, OnboardingAction::Selection { Page::general });
    onboardingReducer(state, OnboardingAction::IsPresented { false });
    EXPECT_EQ(state.selection, Page::root);
    onboardingReducer(state, OnboardingAction::IsPresented { true });
    EXPECT_EQ(state, (OnboardingState { true, OnboardingState {}.pages, Page::root }));
}

TEST(WhatsNew, LaunchRuleComparesVersionsNumerically)
{
    struct Case {
        std::optional<std::string> stored;
        bool presents;
    };
    const Case cases[] = {
        { "1.2.4", true },
        { "1.2.5", false },
        { "1.10", false },
        { std::nullopt, false },
        { "1.2", true },
        { "0.9.9", true },
        { "1.2.5.1", false },
        { "01.02.04", true },
    };
    const std::string version = WhatsNewState {}.version;
    EXPECT_EQ(version, "1.2.5");
    for (const auto& c : cases)
        EXPECT_EQ(shouldPresentWhatsNew(c.stored, version), c.presents)
            << c.stored.value_or("(none)");

    WhatsNewState state;
    whatsNewReducer(state, { true });
    EXPECT_EQ(state, (WhatsNewState { true, "1.2.5" }));
}
