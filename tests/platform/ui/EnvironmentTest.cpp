#include "platform/ui/Environment.hpp"
#include "platform/ui/AncestorEvents.hpp"
#include "platform/ui/ColorScheme.hpp"

#include <QCoreApplication>
#include <QMoveEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tidemark {
namespace {

int defaultLevel()
{
    return 1;
}
const EnvironmentKey<int> levelKey { "level", &defaultLevel };

std::string defaultName()
{
    return "none";
}
const EnvironmentKey<std::string> nameKey { "name", &defaultName };

// Counts the environment changes a widget hears.
class Listener final : public QWidget {
public:
    using QWidget::QWidget;
    int changes = 0;

protected:
    bool event(QEvent* event) override
    {
        if (isEnvironmentChange(event))
            ++changes;
        return QWidget::event(event);
    }
};

TEST(Environment, TheNearestAncestorThatSetAValueWins)
{
    QWidget root;
    auto* middle = new QWidget(&root);
    auto* leaf = new QWidget(middle);
    auto* sibling = new QWidget(&root);

    EXPECT_EQ(environmentValue(leaf, levelKey), 1) << "nobody set it: the default";
    setEnvironmentValue(&root, levelKey, 2);
    setEnvironmentValue(middle, levelKey, 3);
    EXPECT_EQ(environmentValue(leaf, levelKey), 3);
    EXPECT_EQ(environmentValue(middle, levelKey), 3);
    EXPECT_EQ(environmentValue(sibling, levelKey), 2);
    EXPECT_EQ(environmentValue(&root, nameKey), "none") << "keys are independent";

    resetEnvironmentValue(middle, levelKey);
    EXPECT_EQ(environmentValue(leaf, levelKey), 2);

    // A subtree moved under another ancestor reads that ancestor's values.
    QWidget other;
    setEnvironmentValue(&other, levelKey, 7);
    middle->setParent(&other);
    EXPECT_EQ(environmentValue(leaf, levelKey), 7);
}

TEST(Environment, ChangesReachTheWholeSubtreeOnceAndOnlyWhenTheValueChanges)
{
    QWidget root;
    auto* child = new Listener(&root);
    auto* grandchild = new Listener(child);
    Listener outside;

    setEnvironmentValue(&root, nameKey, std::string("grouped"));
    EXPECT_EQ(child->changes, 1);
    EXPECT_EQ(grandchild->changes, 1);
    EXPECT_EQ(outside.changes, 0);

    setEnvironmentValue(&root, nameKey, std::string("grouped"));
    EXPECT_EQ(grandchild->changes, 1) << "the same value again tells nobody";

    resetEnvironmentValue(&root, nameKey);
    EXPECT_EQ(grandchild->changes, 2);
    resetEnvironmentValue(&root, nameKey);
    EXPECT_EQ(grandchild->changes, 2) << "nothing to reset";
}

TEST(Environment, ValuesGoWithTheirWidget)
{
    auto root = std::make_unique<QWidget>();
    auto* child = new QWidget(root.get());
    setEnvironmentValue(child, levelKey, 5);
    delete child;
    auto* another = new QWidget(root.get());
    EXPECT_EQ(environmentValue(another, levelKey), 1);
}

TEST(AncestorEventFilter, FollowsTheViewWhenAnAncestorIsReparented)
{
    QWidget first;
    QWidget second;
    auto* middle = new QWidget(&first);
    auto* view = new QWidget(middle);
    std::vector<QWidget*> moved;
    auto* filter = new AncestorEventFilter(view, [&](QWidget* watched, QEvent* event) {
        if (event->type() == QEvent::Move)
            moved.push_back(watched);
    });
    EXPECT_EQ(filter->chain(), (std::vector<QWidget*> { view, middle, &first }));

    middle->setParent(&second);
    EXPECT_EQ(filter->chain(), (std::vector<QWidget*> { view, middle, &second }));
    // Widgets that are not shown keep their moves until shown; send the events directly.
    QMoveEvent firstMove(QPoint(1, 1), QPoint(0, 0));
    QCoreApplication::sendEvent(&first, &firstMove);
    QMoveEvent secondMove(QPoint(1, 1), QPoint(0, 0));
    QCoreApplication::sendEvent(&second, &secondMove);
    EXPECT_EQ(moved, (std::vector<QWidget*> { &second })) << "the old ancestor is no longer heard";
}

TEST(ColorScheme, FollowsThePalette)
{
    EXPECT_EQ(colorScheme(lightPalette()), ColorScheme::light);
    EXPECT_EQ(colorScheme(darkPalette()), ColorScheme::dark);
    QWidget root;
    auto* child = new QWidget(&root);
    root.setPalette(darkPalette());
    EXPECT_EQ(colorScheme(child), ColorScheme::dark);
    EXPECT_EQ(withOpacity(QColor(255, 0, 0, 128), 0.5).alpha(), 64);
}

} // namespace
} // namespace tidemark
