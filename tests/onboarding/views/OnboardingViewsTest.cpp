// The onboarding's controls drive the real store: each button sends its action, and the
// pages follow the state the store then holds.
#include "core/state/AppState.hpp"
#include "onboarding/views/OnboardingControlsWidget.hpp"
#include "onboarding/views/OnboardingWindow.hpp"
#include "platform/foundation/Calendar.hpp"
#include "platform/foundation/Clock.hpp"
#include "support/AppTestStore.hpp"
#include "support/TestMainQueue.hpp"

#include <QApplication>

#include <gtest/gtest.h>

namespace tidemark {
namespace {

struct ButtonCase {
    const char* name;
    OnboardingPage from;
    std::function<QPushButton*(OnboardingControlsWidget&)> button;
    OnboardingPage expectedPage;
    bool expectedPresented;
};

void PrintTo(const ButtonCase& c, std::ostream* out)
{
    *out << c.name;
}

class OnboardingControlsTest : public testing::TestWithParam<ButtonCase> { };

TEST_P(OnboardingControlsTest, eachButtonMovesTheStoreAndThePagesFollow)
{
    const ButtonCase& c = GetParam();
    const Date now = dateFromTimeIntervalSince1970(1'700'000'000);
    AppState state = AppState::initial(now, Calendar("UTC"));
    state.view.onboarding.isPresented = true;
    state.view.onboarding.selection = c.from;
    auto store = AppStore::make(state, test::rootReducer(std::make_shared<ManualClock>(now)), {});

    OnboardingContainerView view(store);
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.show();
    test::drainMainQueue();
    QApplication::processEvents();

    QPushButton* button = c.button(*view.view()->controls());
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isVisible() && button->isEnabled()) << c.name;
    button->click();
    test::drainMainQueue();
    QApplication::processEvents();

    EXPECT_EQ(store->state().view.onboarding.selection, c.expectedPage);
    EXPECT_EQ(store->state().view.onboarding.isPresented, c.expectedPresented);
    if (c.expectedPresented) {
        const auto* pages = view.view()->pageView();
        ASSERT_GE(pages->selectedIndex(), 0);
        EXPECT_EQ(pages->arrangedObjects().at(std::size_t(pages->selectedIndex())), c.expectedPage);
    }
}

INSTANTIATE_TEST_SUITE_P(Buttons, OnboardingControlsTest,
    testing::Values(ButtonCase { "get started", OnboardingPage::root,
                        [](OnboardingControlsWidget& w) {
                            return w.trailing()->primaryButton(OnboardingPrimaryButton::getStarted);
                        },
                        OnboardingPage::notifications, true },
        ButtonCase { "back", OnboardingPage::sync,
            [](OnboardingControlsWidget& w) { return w.trailing()->backButton(); },
            OnboardingPage::notifications, true },
        // Offered while Continue waits for the page's task, and goes one page on.
        ButtonCase { "set up later", OnboardingPage::notifications,
            [](OnboardingControlsWidget& w) { return w.leading()->setUpLaterButton(); },
            OnboardingPage::sync, true },
        ButtonCase { "close", OnboardingPage::completion,
            [](OnboardingControlsWidget& w) {
                return w.trailing()->primaryButton(OnboardingPrimaryButton::close);
            },
            // The next onboarding starts from the first page again.
            OnboardingPage::root, false }),
    [](const testing::TestParamInfo<ButtonCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (ch == ' ')
                ch = '_';
        return name;
    });

} // namespace
} // namespace tidemark
