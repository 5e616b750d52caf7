#include "platform/ui/MatchedGeometry.hpp"
#include "platform/ui/QtGeometry.hpp"
#include "platform/ui/TransitionEffect.hpp"
#include "platform/ui/Window.hpp"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace tidemark {
namespace {

class AnimatedViews : public testing::Test {
protected:
    void SetUp() override { setFrameClock(&clock); }
    void TearDown() override
    {
        setFrameClock(nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    ManualFrameClock clock;
};

TEST_F(AnimatedViews, InsertionFadesAndSlidesInAndRemovalHidesOnlyWhenItHasFinished)
{
    QWidget container;
    container.resize(300, 200);
    auto* card = new QWidget(&container);
    card->setGeometry(10, 10, 100, 50);
    card->hide();
    container.show();

    TransitionPresenter presenter(
        card, Transition::fade().combined(Transition::move(RectEdge::minY)));
    ASSERT_FALSE(presenter.isPresented());
    auto* effect = dynamic_cast<TransitionEffect*>(card->graphicsEffect());
    ASSERT_NE(effect, nullptr);

    withAnimation(Animation::easeOut(0.2), [&] { presenter.setPresented(true); });
    EXPECT_TRUE(card->isVisible()) << "shown at once, from its removed look";
    EXPECT_EQ(effect->appearance().opacity, 0);
    clock.runFrames(3);
    const TransitionAppearance midway = effect->appearance();
    EXPECT_GT(midway.opacity, 0);
    EXPECT_LT(midway.opacity, 1);
    EXPECT_LT(midway.offset.height, 0) << "still above its place";
    EXPECT_GT(midway.offset.height, -50);
    clock.runUntilIdle();
    EXPECT_TRUE(effect->appearance().isIdentity());

    withAnimation(Animation::easeIn(0.2), [&] { presenter.setPresented(false); });
    clock.runFrames(3);
    EXPECT_TRUE(card->isVisible()) << "stays while it fades out";
    // Turned round in mid-removal: it comes back from where it stood and is never hidden.
    withAnimation(Animation::spring(), [&] { presenter.setPresented(true); });
    clock.runUntilIdle();
    EXPECT_TRUE(card->isVisible());
    EXPECT_TRUE(effect->appearance().isIdentity());

    withAnimation(Animation::easeIn(0.2), [&] { presenter.setPresented(false); });
    clock.runUntilIdle();
    EXPECT_FALSE(card->isVisible());
    EXPECT_EQ(effect->appearance().opacity, 0);

    presenter.setPresented(true);
    EXPECT_TRUE(card->isVisible());
    EXPECT_TRUE(effect->appearance().isIdentity()) << "outside a transaction it jumps";
    presenter.setPresented(false);
    EXPECT_FALSE(card->isVisible());
}

TEST_F(AnimatedViews, TransitionEffectDrawsTheWidgetFadedAndScaled)
{
    QWidget container;
    container.resize(100, 100);
    container.setAutoFillBackground(true);
    container.setPalette(QPalette(Qt::white));
    auto* square = new QWidget(&container);
    square->setGeometry(0, 0, 100, 100);
    square->setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, Qt::black);
    square->setPalette(palette);
    auto* effect = new TransitionEffect(square);
    square->setGraphicsEffect(effect);
    effect->setAppearance(Transition::fade().combined(Transition::scaled(0)).appearance(0.5, {}));

    const QImage image = container.grab().toImage();
    EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::white))
        << "the corner lies outside the half-size square";
    const QColor centre = image.pixelColor(50, 50);
    EXPECT_GT(centre.red(), 100) << "half transparent over white";
    EXPECT_LT(centre.red(), 155);
}

TEST_F(AnimatedViews, FollowersTakeThePublishedFrameAtOnceFirstThenAnimateToNewOnes)
{
    MatchedGeometryNamespace space;
    std::vector<Rect> followed;
    auto token = space.follow("blob", [&](const Rect& r) { followed.push_back(r); });
    EXPECT_FALSE(space.frame("blob"));

    withAnimation(Animation::spring(), [&] { space.publish("blob", { 10, 10, 20, 20 }); });
    EXPECT_EQ(followed, (std::vector<Rect> { Rect(10, 10, 20, 20) }))
        << "the first frame places at once, animation or not";
    EXPECT_TRUE(space.hasSource("blob"));

    withAnimation(Animation::linear(0.2), [&] { space.publish("blob", { 110, 10, 40, 20 }); });
    clock.runFrames(6);
    EXPECT_NEAR(space.frame("blob")->x(), 60, 1e-9);
    EXPECT_NEAR(space.frame("blob")->width(), 30, 1e-9);
    clock.runUntilIdle();
    EXPECT_EQ(followed.back(), Rect(110, 10, 40, 20));

    space.withdraw("blob");
    EXPECT_FALSE(space.hasSource("blob"));
    EXPECT_EQ(space.frame("blob"), Rect(110, 10, 40, 20)) << "followers stay where it was last";

    std::vector<Rect> late;
    auto lateToken = space.follow("blob", [&](const Rect& r) { late.push_back(r); });
    EXPECT_EQ(late, (std::vector<Rect> { Rect(110, 10, 40, 20) }))
        << "a late follower starts there";
}

TEST_F(AnimatedViews, WidgetFollowsASourceInAnotherWindowThroughScreenCoordinates)
{
    WindowRef front = makeWindow<Window>(WindowKind::panel);
    WindowRef back = makeWindow<Window>(WindowKind::panel);
    front->setGeometry(100, 100, 300, 200);
    back->setGeometry(50, 40, 400, 300);
    front->show();
    back->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(front.get()));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(back.get()));

    MatchedGeometryNamespace space;
    auto* card = new QWidget(front->contentView());
    card->setGeometry(20, 30, 120, 60);
    card->show();
    new MatchedGeometryEffect(card, space, "card", true);
    auto* blob = new QWidget(back->contentView());
    blob->show();
    new MatchedGeometryEffect(blob, space, "card", false);

    const QPoint cardOnScreen = card->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(blob->mapToGlobal(QPoint(0, 0)), cardOnScreen);
    EXPECT_EQ(blob->size(), QSize(120, 60));

    withAnimation(Animation::easeInOut(0.2), [&] { card->setGeometry(60, 30, 120, 60); });
    EXPECT_EQ(blob->mapToGlobal(QPoint(0, 0)), cardOnScreen) << "it moves on the clock";
    clock.runUntilIdle();
    EXPECT_EQ(blob->mapToGlobal(QPoint(0, 0)), card->mapToGlobal(QPoint(0, 0)));
}

TEST_F(AnimatedViews, WindowSlidesToTheLastFrameItWasGivenAndAPlainMoveStopsTheSlide)
{
    WindowRef window = makeWindow<Window>(WindowKind::panel);
    window->setFrame({ 100, 100, 200, 100 });
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));

    window->setFrame({ 400, 100, 200, 100 }, true);
    clock.runFrames(3);
    const double midway = window->frame().x();
    EXPECT_GT(midway, 100);
    EXPECT_LT(midway, 400);
    // A second move in mid-slide: one motion turns towards it, nothing races.
    window->setFrame({ 300, 300, 250, 120 }, true);
    clock.advance(1.0 / 60);
    EXPECT_LE(window->frame().x(), midway) << "from where it stood, not from the start";
    EXPECT_GE(window->frame().x(), 300);
    clock.runUntilIdle();
    EXPECT_EQ(window->frame(), Rect(300, 300, 250, 120));

    window->setFrame({ 0, 0, 200, 100 }, true);
    clock.runFrames(2);
    window->setFrame({ 500, 500, 200, 100 });
    EXPECT_EQ(window->frame(), Rect(500, 500, 200, 100));
    EXPECT_FALSE(clock.isRunning()) << "the plain move ended the slide";
    clock.runFrames(20);
    EXPECT_EQ(window->frame(), Rect(500, 500, 200, 100));

    // Moved by other means, a window slides from where it really stands.
    window->move(10, 10);
    window->setFrame({ 20, 10, 200, 100 }, true);
    clock.advance(1.0 / 60);
    EXPECT_GE(window->frame().x(), 10);
    EXPECT_LE(window->frame().x(), 20);
    clock.runUntilIdle();

    window->hide();
    window->setFrame({ 700, 20, 200, 100 }, true);
    EXPECT_EQ(window->frame(), Rect(700, 20, 200, 100)) << "a hidden window moves at once";
}

} // namespace
} // namespace tidemark
