#include "toolkit/SingleInstanceWindow.hpp"
#include "platform/ui/Application.hpp"

#include <QApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace tidemark {
namespace {

class SingleInstanceWindowTest : public testing::Test {
protected:
    void TearDown() override
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    Application m_application { qApp };
    QSignalSpy m_activations { &m_application, &Application::activationRequested };
};

TEST_F(SingleInstanceWindowTest, PresentingShowsTheKeptWindowCentredAndActivates)
{
    SingleInstanceWindowState state { makeWindow<Window>() };
    state.window->resize(200, 100);
    state.window->move(0, 0);

    singleInstanceWindowReducer(state, SingleInstanceWindowAction::IsPresented { true });

    ASSERT_TRUE(state.window);
    EXPECT_TRUE(state.window->isVisible());
    const Rect screen = state.window->currentScreen()->visibleFrame();
    EXPECT_NEAR(state.window->frame().midX(), screen.midX(), 1);
    EXPECT_NEAR(state.window->frame().midY(), screen.midY(), 1);
    ASSERT_EQ(m_activations.count(), 1);
    EXPECT_EQ(m_activations.at(0).at(0).toBool(), true);
}

TEST_F(SingleInstanceWindowTest, PresentingWithoutAWindowOnlyActivates)
{
    SingleInstanceWindowState state;
    singleInstanceWindowReducer(state, SingleInstanceWindowAction::IsPresented { true });
    EXPECT_FALSE(state.window);
    EXPECT_EQ(m_activations.count(), 1);
}

TEST_F(SingleInstanceWindowTest, DismissingClosesOnceAndForgetsTheWindow)
{
    WindowRef window = makeWindow<Window>();
    std::weak_ptr<Window> weak = window;
    QSignalSpy closes(window.get(), &Window::willClose);
    SingleInstanceWindowState state { window };
    window.reset();
    singleInstanceWindowReducer(state, SingleInstanceWindowAction::IsPresented { true });

    singleInstanceWindowReducer(state, SingleInstanceWindowAction::IsPresented { false });
    singleInstanceWindowReducer(state, SingleInstanceWindowAction::IsPresented { false });

    EXPECT_EQ(closes.count(), 1);
    EXPECT_FALSE(state.window);
    // Forgotten: nothing else holds it, so the next showing needs a new window.
    EXPECT_TRUE(weak.expired());
}

TEST_F(SingleInstanceWindowTest, MakingTheWindowIsLeftToTheOwner)
{
    SingleInstanceWindowState empty;
    singleInstanceWindowReducer(empty, SingleInstanceWindowAction::Window { nullptr });
    EXPECT_EQ(empty, SingleInstanceWindowState {});

    SingleInstanceWindowState kept { makeWindow<Window>() };
    const SingleInstanceWindowState before = kept;
    singleInstanceWindowReducer(kept, SingleInstanceWindowAction::Window { nullptr });
    EXPECT_EQ(kept, before);
    EXPECT_FALSE(kept.window->isVisible());
    EXPECT_EQ(m_activations.count(), 0);
}

} // namespace
} // namespace tidemark
