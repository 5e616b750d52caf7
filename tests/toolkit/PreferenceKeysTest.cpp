#include "toolkit/PreferenceKeys.hpp"

#include "ToolkitTesting.hpp"

#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <vector>

namespace tidemark {

static void PrintTo(const Size& s, std::ostream* os)
{
    *os << s.width << " x " << s.height;
}

namespace {

using test::nextTurn;

// A window with a container whose children publish, and what the container reads.
struct Tree {
    QWidget window;
    QWidget* container = new QWidget(&window);
    std::vector<FramePreferenceKey::Value> frames;
    std::vector<Size> sizes;

    Tree()
    {
        window.resize(300, 300);
        container->setGeometry(10, 20, 200, 200);
        window.setAttribute(Qt::WA_DontShowOnScreen);
        window.show();
        onPreferenceChange<FramePreferenceKey>(
            container, [this](const FramePreferenceKey::Value& v) { frames.push_back(v); });
        onPreferenceChange<SizePreferenceKey>(
            container, [this](const Size& s) { sizes.push_back(s); });
    }
    QWidget* child(QRect geometry)
    {
        auto* w = new QWidget(container);
        w->setGeometry(geometry);
        w->show();
        return w;
    }
};

TEST(PreferenceKeys, WithoutPublishersTheReaderHearsTheDefaults)
{
    Tree tree;
    nextTurn();
    EXPECT_EQ(tree.frames, (std::vector<FramePreferenceKey::Value> { std::nullopt }));
    EXPECT_EQ(tree.sizes, (std::vector<Size> { Size {} }));
}

TEST(PreferenceKeys, TheLastPresentFrameInTreeOrderWins)
{
    Tree tree;
    QWidget* first = tree.child({ 5, 5, 10, 10 });
    QWidget* second = tree.child({ 30, 40, 20, 10 });
    applyGlobalFrameModifier(first);
    applyGlobalFrameModifier(second);
    // A third publishes an absent frame after them: it erases nothing.
    setPreference<FramePreferenceKey>(tree.child({ 0, 0, 1, 1 }), std::nullopt);
    nextTurn();
    ASSERT_FALSE(tree.frames.empty());
    EXPECT_EQ(tree.frames.back(), Rect(40, 60, 20, 10)) << "the second, in window coordinates";
    EXPECT_EQ(tree.frames.size(), 1u) << "gathered once for the whole turn";
}

TEST(PreferenceKeys, MovingChangesTheGlobalFrameResizingChangesEverything)
{
    Tree tree;
    QWidget* global = tree.child({ 5, 5, 10, 10 });
    QWidget* local = new QWidget(global);
    local->setGeometry(0, 0, 10, 10);
    local->show();
    std::vector<FramePreferenceKey::Value> globalFrames;
    std::vector<FramePreferenceKey::Value> localFrames;
    applyGlobalFrameModifier(global);
    applyLocalFrameModifier(local);
    applySizeModifier(local);
    onPreferenceChange<FramePreferenceKey>(
        global, [&](const FramePreferenceKey::Value& v) { globalFrames.push_back(v); });
    onPreferenceChange<FramePreferenceKey>(
        local, [&](const FramePreferenceKey::Value& v) { localFrames.push_back(v); });
    nextTurn();
    EXPECT_EQ(localFrames.back(), Rect(0, 0, 10, 10));
    EXPECT_EQ(tree.sizes.back(), (Size { 10, 10 }));

    // The container moves inside the window: only the window frame changes.
    tree.container->move(50, 50);
    nextTurn();
    EXPECT_EQ(tree.frames.back(), Rect(55, 55, 10, 10)) << "reported by the global publisher";
    EXPECT_EQ(localFrames.size(), 1u) << "the local frame did not change";

    local->resize(30, 20);
    global->resize(30, 20);
    nextTurn();
    EXPECT_EQ(localFrames.back(), Rect(0, 0, 30, 20));
    EXPECT_EQ(tree.sizes.back(), (Size { 30, 20 }));
    EXPECT_EQ(tree.frames.back(), Rect(55, 55, 30, 20));
    EXPECT_EQ(globalFrames.back(), Rect(55, 55, 30, 20))
        << "a view's own frame comes after its content's local frame";
}

TEST(PreferenceKeys, TheReaderHearsOnlyChanges)
{
    Tree tree;
    QWidget* view = tree.child({ 5, 5, 10, 10 });
    PreferenceWriter* size = setPreference<SizePreferenceKey>(view, Size { 1, 2 });
    nextTurn();
    setPreference<SizePreferenceKey>(view, Size { 1, 2 });
    nextTurn();
    EXPECT_EQ(tree.sizes, (std::vector<Size> { Size { 1, 2 } }));
    delete size;
    nextTurn();
    EXPECT_EQ(tree.sizes.back(), Size {}) << "a publisher that goes takes its value with it";
}

} // namespace
} // namespace tidemark
