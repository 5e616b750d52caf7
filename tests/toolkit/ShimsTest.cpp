#include "toolkit/Availability.hpp"
#include "toolkit/FormStyle.hpp"
#include "toolkit/LabeledContent.hpp"
#include "toolkit/ListAppearance.hpp"
#include "toolkit/ViewExtensions.hpp"
#include "toolkit/WindowNotifications.hpp"

#include "ToolkitTesting.hpp"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace tidemark {
namespace {

using test::nextTurn;
using test::ScopedPlatformVersion;
using test::waitFor;

const OperatingSystemVersion older { 12, 0, 0 };

// A form of two rows whose labels differ in width.
struct Form {
    QWidget window;
    QVBoxLayout* layout = new QVBoxLayout(&window);
    QLabel* shortLabel = new QLabel(QStringLiteral("Name"));
    QLabel* longLabel = new QLabel(QStringLiteral("A much longer label"));
    QLineEdit* first = new QLineEdit;
    QLineEdit* second = new QLineEdit;
    LabeledContent* firstRow;
    LabeledContent* secondRow;

    explicit Form(std::optional<OperatingSystemVersion> preview = std::nullopt)
    {
        if (preview)
            setEnvironmentValue(&window, availablePreviewVersionKey, *preview);
        firstRow = new LabeledContent(first, shortLabel);
        secondRow = new LabeledContent(second, longLabel);
        layout->addWidget(firstRow);
        layout->addWidget(secondRow);
        layout->addStretch();
        window.setAttribute(Qt::WA_DontShowOnScreen);
        window.resize(400, 120);
        window.show();
        nextTurn();
    }
    int contentX(QWidget* content) const { return content->mapTo(&window, QPoint()).x(); }
};

TEST(LabeledContent, OurRowLinesTheContentsUpTenPixelsAfterTheWidestLabel)
{
    Form form(older);
    ASSERT_FALSE(form.firstRow->usesFormLayoutRow());
    ASSERT_FALSE(form.secondRow->usesFormLayoutRow());

    const int column = form.contentX(form.first);
    EXPECT_EQ(form.contentX(form.second), column) << "contents start in one column";
    for (QLabel* label : { form.shortLabel, form.longLabel }) {
        // Each label ends 10 px before the column: right-aligned against it.
        EXPECT_EQ(label->mapTo(&form.window, QPoint()).x() + label->width() + 10, column);
    }
    EXPECT_EQ(form.secondRow->contentColumn(), form.longLabel->sizeHint().width() + 10);
    // One pixel of padding above and below the tallest part.
    const int tallest = std::max(form.first->height(), form.shortLabel->height());
    EXPECT_EQ(form.firstRow->height(), tallest + 2);
    EXPECT_EQ(std::min(form.first->y(), form.shortLabel->y()), 1);
}

TEST(LabeledContent, AChangedLabelMovesTheColumn)
{
    Form form(older);
    const int before = form.contentX(form.first);
    form.longLabel->setText(QStringLiteral("An even much, much longer label than before"));
    ASSERT_TRUE(waitFor([&] { return form.contentX(form.first) > before; }));
    EXPECT_EQ(form.contentX(form.first), form.contentX(form.second));
}

// Only visible rows decide the column: hiding the row with the long label moves the other
// row's content left, in both forms, and showing it again moves it back.
TEST(LabeledContent, AHiddenRowLeavesTheColumnToTheVisibleOnes)
{
    for (bool ours : { true, false }) {
        if (!ours)
            qunsetenv("TIDEMARK_PLATFORM_VERSION");
        auto form = ours ? std::make_unique<Form>(older) : std::make_unique<Form>();
        const int shared = form->contentX(form->first);
        form->secondRow->hide();
        ASSERT_TRUE(waitFor([&] { return form->contentX(form->first) < shared; })) << ours;
        form->secondRow->show();
        ASSERT_TRUE(waitFor([&] { return form->contentX(form->first) == shared; })) << ours;
    }
}

TEST(LabeledContent, IsThePlatformFormRowWhereTheNewerFacilityIsAllowed)
{
    qunsetenv("TIDEMARK_PLATFORM_VERSION");
    Form form;
    EXPECT_TRUE(form.firstRow->usesFormLayoutRow());
    auto* formLayout = qobject_cast<QFormLayout*>(form.firstRow->layout());
    ASSERT_NE(formLayout, nullptr);
    EXPECT_EQ(formLayout->labelForField(form.first), form.shortLabel);
    EXPECT_EQ(form.contentX(form.first), form.contentX(form.second))
        << "rows of one form share the label column here too";

    // A preview version set later on an ancestor switches the rows to our own.
    setEnvironmentValue(&form.window, availablePreviewVersionKey, older);
    EXPECT_FALSE(form.firstRow->usesFormLayoutRow());
    EXPECT_EQ(qobject_cast<QFormLayout*>(form.firstRow->layout()), nullptr);

    ScopedPlatformVersion running12("12.0");
    resetEnvironmentValue(&form.window, availablePreviewVersionKey);
    EXPECT_FALSE(form.firstRow->usesFormLayoutRow()) << "an older system keeps the fallback";
}

TEST(FormStyle, IsGroupedOnlyWhereTheGroupedStyleWasPutIntoForceOnANewerSystem)
{
    struct Case {
        const char* name;
        const char* running;
        std::optional<OperatingSystemVersion> preview;
        bool applied;
        std::optional<FormStyle> expected;
    };
    const Case cases[] = {
        { "newest system", "14.0", std::nullopt, true, FormStyle::grouped },
        { "system 12", "12.0", std::nullopt, true, std::nullopt },
        { "older preview version", "14.0", older, true, std::nullopt },
        { "grouped style never applied", "14.0", std::nullopt, false, std::nullopt },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedPlatformVersion running(c.running);
        QWidget window;
        auto* settings = new QWidget(&window);
        auto* pane = new QWidget(settings);
        if (c.preview)
            setEnvironmentValue(&window, availablePreviewVersionKey, *c.preview);
        if (c.applied)
            groupedFormStyle(settings);
        EXPECT_EQ(environmentValue(pane, formStyleKey), c.expected);
        EXPECT_EQ(environmentValue(&window, formStyleKey), std::nullopt)
            << "outside the styled view it reads none";
    }
}

TEST(FormStyle, FollowsAPreviewVersionSetAfterItWasApplied)
{
    qunsetenv("TIDEMARK_PLATFORM_VERSION");
    QWidget window;
    auto* settings = new QWidget(&window);
    auto* pane = new QWidget(settings);
    groupedFormStyle(settings);
    ASSERT_EQ(environmentValue(pane, formStyleKey), FormStyle::grouped);
    setEnvironmentValue(&window, availablePreviewVersionKey, older);
    EXPECT_EQ(environmentValue(pane, formStyleKey), std::nullopt);
    resetEnvironmentValue(&window, availablePreviewVersionKey);
    EXPECT_EQ(environmentValue(pane, formStyleKey), FormStyle::grouped);
}

TEST(ListShims, HideTheContainersBackgroundOnNewerSystemsAndTheRowsOnOlderOnes)
{
    for (const char* version : { "14.0", "12.0" }) {
        SCOPED_TRACE(version);
        ScopedPlatformVersion running(version);
        const bool newer = std::string(version) == "14.0";

        QListWidget list;
        list.setAlternatingRowColors(true);
        list.addItems({ QStringLiteral("A"), QStringLiteral("B") });
        hideListBackground(&list);
        EXPECT_EQ(list.viewport()->autoFillBackground(), !newer);
        EXPECT_EQ(list.alternatingRowColors(), newer) << "rows keep theirs on newer systems";

        QScrollArea area;
        auto* rows = new QWidget;
        auto* row = new QWidget(rows);
        rows->setAutoFillBackground(true);
        row->setAutoFillBackground(true);
        area.setWidget(rows);
        hideListBackground(&area);
        EXPECT_EQ(area.viewport()->autoFillBackground(), !newer);
        EXPECT_EQ(row->autoFillBackground(), newer);
    }
}

TEST(ListShims, AClearTableBackgroundMakesTheListTransparentAnyOtherColourOnlyTintsIt)
{
    QListWidget clear;
    clearTableBackground(&clear, Qt::transparent);
    EXPECT_EQ(clear.palette().color(QPalette::Base).alpha(), 0);
    EXPECT_FALSE(clear.viewport()->autoFillBackground());

    QListWidget tinted;
    const bool filledBefore = tinted.viewport()->autoFillBackground();
    clearTableBackground(&tinted, QColor(10, 20, 30));
    EXPECT_EQ(tinted.viewport()->palette().color(QPalette::Base), QColor(10, 20, 30));
    EXPECT_EQ(tinted.viewport()->autoFillBackground(), filledBefore);
}

TEST(ScrollShims, HideTheAskedScrollBarsOnNewerSystemsAndBothOnOlderOnes)
{
    for (const char* version : { "14.0", "12.0" }) {
        SCOPED_TRACE(version);
        ScopedPlatformVersion running(version);
        QScrollArea area;
        hideScrollIndicators(&area, Qt::Vertical);
        EXPECT_EQ(area.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        EXPECT_EQ(area.horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOff,
            std::string(version) == "12.0");
    }
}

TEST(WindowResizability, SetsTheLayoutsConstraintOnlyOnNewerSystems)
{
    struct Case {
        WindowResizability_Available value;
        QLayout::SizeConstraint expected;
    };
    const Case cases[] = {
        { WindowResizability_Available::automatic, QLayout::SetDefaultConstraint },
        { WindowResizability_Available::contentSize, QLayout::SetFixedSize },
        { WindowResizability_Available::contentMinSize, QLayout::SetMinimumSize },
    };
    for (const Case& c : cases) {
        QWidget newer;
        auto* newerLayout = new QVBoxLayout(&newer);
        newerLayout->setSizeConstraint(QLayout::SetMaximumSize);
        availableWindowResizability(&newer, c.value);
        EXPECT_EQ(newerLayout->sizeConstraint(), c.expected);

        ScopedPlatformVersion running("12.0");
        QWidget old;
        auto* oldLayout = new QVBoxLayout(&old);
        oldLayout->setSizeConstraint(QLayout::SetMaximumSize);
        availableWindowResizability(&old, c.value);
        EXPECT_EQ(oldLayout->sizeConstraint(), QLayout::SetMaximumSize);
    }
    availableWindowResizability(nullptr, WindowResizability_Available::contentSize);
    QWidget withoutLayout;
    availableWindowResizability(&withoutLayout, WindowResizability_Available::contentSize);
}

TEST(HoverEvents, CoverExactlyTheViewsBounds)
{
    QWidget window;
    window.resize(200, 200);
    auto* view = new QWidget(&window);
    view->setGeometry(50, 50, 40, 40);
    auto* child = new QWidget(view);
    child->setGeometry(10, 10, 10, 10);
    std::vector<bool> calls;
    onHoverEvents(view, [&](bool hovering) { calls.push_back(hovering); });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    QTest::mouseMove(&window, QPoint(10, 10));
    QTest::mouseMove(&window, QPoint(49, 60));
    EXPECT_TRUE(calls.empty()) << "one pixel left of the view is outside";
    QTest::mouseMove(&window, QPoint(50, 60));
    QTest::mouseMove(&window, QPoint(65, 65)); // over the child: still inside
    QTest::mouseMove(&window, QPoint(89, 89));
    QTest::mouseMove(&window, QPoint(90, 89));
    EXPECT_EQ(calls, (std::vector<bool> { true, false }));
}

// Two windows, each with a view that listens for the same notification.
struct TwoWindows {
    QWidget first;
    QWidget second;
    std::vector<QWidget*> firstHeard;
    std::vector<QWidget*> secondHeard;

    // The windows are shown first; the listening views come after.
    explicit TwoWindows(WindowNotification notification)
    {
        for (QWidget* w : { &first, &second }) {
            w->resize(100, 100);
            w->show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(w));
        }
        onWindowNotification(new QWidget(&first), notification,
            [this](QWidget* window) { firstHeard.push_back(window); });
        onWindowNotification(new QWidget(&second), notification,
            [this](QWidget* window) { secondHeard.push_back(window); });
    }
};

TEST(WindowNotifications, EachViewHearsOnlyItsOwnWindowAndOnlyOnceItIsFound)
{
    TwoWindows windows(WindowNotification::didMove);
    // The window is found on a later turn: a move before that goes unheard.
    QMoveEvent early(QPoint(1, 1), QPoint(0, 0));
    QCoreApplication::sendEvent(&windows.first, &early);
    EXPECT_TRUE(windows.firstHeard.empty());

    nextTurn();
    windows.first.move(120, 130);
    ASSERT_TRUE(waitFor([&] { return !windows.firstHeard.empty(); }));
    EXPECT_EQ(windows.firstHeard.front(), &windows.first);
    EXPECT_TRUE(windows.secondHeard.empty());
}

TEST(WindowNotifications, TellKeyChangesAndClosing)
{
    TwoWindows becameKey(WindowNotification::didBecomeKey);
    TwoWindows resigned(WindowNotification::didResignKey);
    TwoWindows closing(WindowNotification::willClose);
    nextTurn();

    // Showing the windows moved the keyboard around; what follows starts from here.
    resigned.first.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&resigned.first));
    for (TwoWindows* w : { &becameKey, &resigned }) {
        w->firstHeard.clear();
        w->secondHeard.clear();
    }

    becameKey.first.activateWindow();
    ASSERT_TRUE(waitFor([&] { return !becameKey.firstHeard.empty(); }));
    EXPECT_EQ(resigned.firstHeard, (std::vector<QWidget*> { &resigned.first }));
    EXPECT_TRUE(resigned.secondHeard.empty()) << "it was not the key window";
    becameKey.second.activateWindow();
    ASSERT_TRUE(waitFor([&] { return !becameKey.secondHeard.empty(); }));
    EXPECT_EQ(becameKey.firstHeard, (std::vector<QWidget*> { &becameKey.first }));

    closing.second.close();
    EXPECT_EQ(closing.secondHeard, (std::vector<QWidget*> { &closing.second }));
    EXPECT_TRUE(closing.firstHeard.empty());
}

TEST(OpenSettings, OpensOnceWhenTheBooleanTurnsTrue)
{
    QWidget view;
    OpenSettingsAction action;
    int opened = 0;
    action.connect([&] { ++opened; });
    setEnvironmentValue(&view, openSettingsKey, action);
    auto* modifier = new OpenSettingsViewModifier(&view);

    modifier->setPresented(true);
    modifier->setPresented(true); // stays true: no second opening
    EXPECT_EQ(opened, 0) << "the opening waits for the delay";
    ASSERT_TRUE(waitFor([&] { return opened == 1; }));

    modifier->setPresented(false);
    // A sentinel due after anything the calls above could have scheduled.
    bool sentinel = false;
    QTimer::singleShot(2 * OpenSettingsViewModifier::delay, [&] { sentinel = true; });
    ASSERT_TRUE(waitFor([&] { return sentinel; }));
    EXPECT_EQ(opened, 1);

    modifier->setPresented(true);
    ASSERT_TRUE(waitFor([&] { return opened == 2; }));
}

TEST(OpenSettings, AnActionThatIsNotConnectedShowsNothingAndReportsNothing)
{
    OpenSettingsAction notConnected;
    EXPECT_FALSE(notConnected.isConnected());
    EXPECT_FALSE(notConnected());
    OpenSettingsViewModifier::open(notConnected);

    QWidget view;
    EXPECT_EQ(environmentValue(&view, openSettingsKey), OpenSettingsAction::shared());
}

} // namespace
} // namespace tidemark
