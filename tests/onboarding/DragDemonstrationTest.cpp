#include "onboarding/DragDemonstration.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

using namespace tidemark;
using Step = DragDemonstrationStep;
using Model = DragInteractionDemoViewModel;

namespace {

// One timer on a manual clock. A wait replaced by a newer one is kept aside, so a test can
// still end it late, as a wake-up already on its way would.
class ManualDemonstrationTimer final : public DragDemonstrationTimer {
public:
    void start(double seconds, std::function<void()> done) override
    {
        if (m_done)
            superseded.push_back(std::move(m_done));
        m_due = now + seconds;
        m_done = std::move(done);
        ++starts;
    }
    void stop() override
    {
        if (m_done)
            superseded.push_back(std::move(m_done));
        m_done = nullptr;
        m_due.reset();
    }
    bool isActive() const override { return m_due.has_value(); }
    std::optional<double> remaining() const
    {
        return m_due ? std::optional(*m_due - now) : std::nullopt;
    }

    // Moves the clock to the end of the wait under way and ends it.
    void fire()
    {
        ASSERT_TRUE(m_due);
        now = *m_due;
        m_due.reset();
        auto done = std::move(m_done);
        m_done = nullptr;
        done();
    }

    double now = 0;
    int starts = 0;
    std::vector<std::function<void()>> superseded;

private:
    std::optional<double> m_due;
    std::function<void()> m_done;
};

struct Change {
    double time;
    Model model;
    std::optional<Animation> animation;
};

struct Fixture {
    ManualDemonstrationTimer timer;
    std::vector<Change> changes;
    DragDemonstrationCycle cycle { timer,
        [this](const Model& model, const std::optional<Animation>& animation) {
            changes.push_back({ timer.now, model, animation });
        } };

    Fixture() { cycle.setIconFrame(Rect { 100, 3, 16, 16 }); }
};

const Point iconCentre { 108, 11 };
const Point belowIcon { 108, 61 };

} // namespace

TEST(DragDemonstration, APassRunsItsStepsInOrderWithTheirAnimationsAndWaits)
{
    struct Row {
        Step step;
        double wait; // after the step's changes
        // The picture after the step.
        ZevovozoStatus status;
        double blobOpacity;
        Point cursor;
        Size translation;
        std::vector<std::optional<Animation>> animations; // one per transaction
    };
    const Animation spring = Animation::spring(0.45, 0.775, 0);
    const Row rows[] = {
        { Step::moveCursorToIcon, 1.2, ZevovozoStatus::idle, 0, iconCentre, {},
            { Animation::easeInOut(1.0) } },
        { Step::hover, 1.0, ZevovozoStatus::hovering, 0, iconCentre, {}, { spring } },
        { Step::drag, 1.0, ZevovozoStatus::dragging, 1, belowIcon, { 0, 50 },
            { Animation::defaultAnimation(), Animation::easeInOut(1.0) } },
        { Step::dragBackUp, 0.4, ZevovozoStatus::hovering, 1, belowIcon, { 0, 1 },
            { Animation::easeInOut(0.4) } },
        { Step::hideBlob, 0.1, ZevovozoStatus::hovering, 0, belowIcon, { 0, 1 }, { std::nullopt } },
        { Step::rest, 1.5, ZevovozoStatus::idle, 0, belowIcon, { 0, 1 }, { spring } },
    };

    Fixture f;
    f.cycle.playbackChanged(true);
    // The restart's jump to the reset picture, the pointer 50 below the icon.
    ASSERT_FALSE(f.changes.empty());
    EXPECT_EQ(f.changes.front().animation, std::nullopt);
    EXPECT_EQ(f.changes.front().model.mouseCursorPosition, belowIcon);
    EXPECT_EQ(f.changes.front().model.blobOpacity, 0);
    f.changes.erase(f.changes.begin());

    double start = 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (const Row& row : rows) {
            SCOPED_TRACE(
                "pass " + std::to_string(pass) + ", step " + std::to_string(int(row.step)));
            ASSERT_EQ(f.cycle.step(), row.step);
            ASSERT_EQ(f.changes.size(), row.animations.size());
            for (std::size_t i = 0; i < row.animations.size(); ++i) {
                EXPECT_EQ(f.changes[i].animation, row.animations[i]);
                EXPECT_NEAR(f.changes[i].time, start, 1e-9);
            }
            const Model& m = f.changes.back().model;
            EXPECT_EQ(m.zevovozoStatus, row.status);
            EXPECT_EQ(m.blobOpacity, row.blobOpacity);
            EXPECT_EQ(m.mouseCursorPosition, row.cursor);
            EXPECT_EQ(m.translation, row.translation);
            EXPECT_FALSE(m.timeViewIsPresented);
            ASSERT_TRUE(f.timer.remaining());
            EXPECT_NEAR(*f.timer.remaining(), row.wait, 1e-9);
            f.changes.clear();
            start += row.wait;
            f.timer.fire();
        }
    }
    EXPECT_NEAR(start, 2 * DragDemonstrationTimings::pass, 1e-9);
    EXPECT_NEAR(DragDemonstrationTimings::pass, 5.2, 1e-9);
}

TEST(DragDemonstration, LoopsOnOneWaitWithoutGrowing)
{
    Fixture f;
    f.cycle.playbackChanged(true);
    const Model afterFirstStep = f.changes.back().model;
    const std::uint64_t id = f.cycle.model().id;
    // A thousand passes: every step ends its wait and starts exactly one new one; each pass
    // comes back to the same picture at the same step.
    for (int i = 0; i < 1000 * 6; ++i) {
        f.changes.clear();
        f.timer.fire();
        ASSERT_TRUE(f.timer.isActive());
    }
    EXPECT_EQ(f.cycle.step(), Step::moveCursorToIcon);
    EXPECT_EQ(f.changes.back().model, afterFirstStep);
    EXPECT_EQ(f.cycle.model().id, id);
    EXPECT_EQ(f.timer.starts, 1000 * 6 + 1);
    EXPECT_TRUE(f.timer.superseded.empty());
}

TEST(DragDemonstration, PlaybackChangesAndLeavingTheScreen)
{
    struct Case {
        const char* name;
        std::function<void(Fixture&)> act;
        bool running;
        std::optional<Step> step;
        // The picture afterwards: the reset one (pointer under the icon, nothing shown) or
        // the one the pass had reached.
        bool resetPicture;
    };
    const Case cases[] = {
        { "stopping playback resets the picture and ends the pass",
            [](Fixture& f) { f.cycle.playbackChanged(false); }, false, std::nullopt, true },
        { "a restart within one wait leaves one pass, from its first step",
            [](Fixture& f) {
                f.cycle.playbackChanged(false);
                f.cycle.playbackChanged(true);
            },
            true, Step::moveCursorToIcon, false },
        { "a second start while playing replaces the pass",
            [](Fixture& f) { f.cycle.playbackChanged(true); }, true, Step::moveCursorToIcon,
            false },
        { "leaving the screen cancels the wait and keeps the picture",
            [](Fixture& f) { f.cycle.stop(); }, false, std::nullopt, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.cycle.playbackChanged(true);
        f.timer.fire();
        f.timer.fire(); // dragging, the blob down
        const Model before = f.cycle.model();
        ASSERT_EQ(before.zevovozoStatus, ZevovozoStatus::dragging);

        c.act(f);
        EXPECT_EQ(f.cycle.isRunning(), c.running);
        EXPECT_EQ(f.timer.isActive(), c.running);
        EXPECT_EQ(f.cycle.step(), c.step);
        const Model after = f.cycle.model();
        if (c.resetPicture) {
            EXPECT_EQ(after.zevovozoStatus, ZevovozoStatus::idle);
            EXPECT_EQ(after.blobOpacity, 0);
            EXPECT_EQ(after.translation, Size {});
            EXPECT_EQ(after.mouseCursorPosition, belowIcon);
        } else if (!c.running) {
            EXPECT_EQ(after, before);
        }

        // Waits of the replaced pass that still come in change nothing.
        f.changes.clear();
        for (auto& stale : f.timer.superseded)
            stale();
        EXPECT_TRUE(f.changes.empty());
        EXPECT_EQ(f.cycle.model(), after);
        EXPECT_EQ(f.timer.isActive(), c.running);
        if (c.running) {
            // The one pass left carries on step by step.
            f.timer.fire();
            EXPECT_EQ(f.cycle.step(), Step::hover);
            EXPECT_EQ(f.changes.size(), 1u);
        }
    }
}

TEST(DragDemonstration, TheIconSquareMeasuredLateIsUsedFromTheNextStep)
{
    ManualDemonstrationTimer timer;
    std::vector<Model> models;
    DragDemonstrationCycle cycle(
        timer, [&](const Model& m, const std::optional<Animation>&) { models.push_back(m); });
    // Before the first layout the square is empty: the pointer starts at (0, 50).
    cycle.playbackChanged(true);
    EXPECT_EQ(models.front().mouseCursorPosition, (Point { 0, 50 }));
    EXPECT_EQ(models.back().mouseCursorPosition, (Point { 0, 0 }));
    cycle.setIconFrame(Rect { 100, 3, 16, 16 });
    for (int i = 0; i < 6; ++i)
        timer.fire();
    EXPECT_EQ(models.back().mouseCursorPosition, iconCentre);
}
