#include "menubar/BlobIconViewModel.hpp"

#include <gtest/gtest.h>

#include <limits>

using namespace tidemark;

namespace {

const Animation spring = BlobIconViewModel::animation();

} // namespace

TEST(BlobIconViewModel, ActiveStatusesMergeTheDotsThenSwellTheCentre)
{
    using S = ZevovozoStatus;
    const struct {
        S status;
        double centre;
        std::size_t steps;
    } cases[] = {
        { S::hovering, 16, 2 },
        { S::longHold, 16, 2 },
        { S::dragging, 8, 3 },
    };
    for (const auto& c : cases) {
        BlobIconViewModel model;
        const auto steps = model.update(c.status, spring);
        ASSERT_EQ(steps.size(), c.steps);
        // First beat: the dots merge in the accent colour; the centre dot waits.
        EXPECT_EQ(steps[0].animation, spring);
        EXPECT_EQ(steps[0].state.circle.yOffset, 0.0);
        EXPECT_EQ(steps[0].state.circle.diameter, 7);
        EXPECT_EQ(steps[0].state.tintColor, BlobIcon::Tint::accent);
        EXPECT_EQ(steps[0].state.cornerRadius, std::numeric_limits<double>::infinity());
        EXPECT_EQ(steps[0].state.centerCircleLength, 2);
        // Then, 0.1 s later, the centre swells with its shadow.
        EXPECT_EQ(steps[1].animation, spring.delayed(0.1));
        EXPECT_EQ(steps[1].state.shadowOpacity, 0.4);
        EXPECT_EQ(model.state().centerCircleLength, c.centre);
        EXPECT_EQ(model.state().shadowOpacity, 0.4);
        EXPECT_TRUE(model.initial().sameLook(BlobIcon::State::large())) << "rest is kept";
    }
    BlobIconViewModel hovering;
    hovering.update(S::hovering, spring);
    BlobIconViewModel holding;
    holding.update(S::longHold, spring);
    EXPECT_TRUE(hovering.state().sameLook(holding.state()));
}

TEST(BlobIconViewModel, RestingStatusesReturnToTheInitialLookInTheOppositeOrder)
{
    using S = ZevovozoStatus;
    for (S rest : { S::idle, S::selected }) {
        BlobIconViewModel model;
        model.update(S::dragging, spring);
        const auto steps = model.update(rest, spring);
        ASSERT_EQ(steps.size(), 2u);
        EXPECT_EQ(steps[0].state.centerCircleLength, 2) << "the centre shrinks first";
        EXPECT_EQ(steps[0].state.circle.yOffset, 0.0) << "the dots still merged";
        EXPECT_EQ(steps[1].animation, spring.delayed(0.1));
        EXPECT_TRUE(model.state().sameLook(model.initial()));
    }
    BlobIconViewModel idle;
    idle.update(S::idle, spring);
    BlobIconViewModel selected;
    selected.update(S::selected, spring);
    EXPECT_TRUE(idle.state().sameLook(selected.state()));
}

TEST(BlobIconViewModel, SwitchingPresetsReplacesTheWholeLookOnlyWhenItChanges)
{
    BlobIconViewModel model;
    EXPECT_TRUE(model.isLarge());
    EXPECT_TRUE(model.setLarge(true).empty()) << "the value it has: no change";
    model.update(ZevovozoStatus::hovering, spring);
    const auto steps = model.setLarge(false);
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_TRUE(steps[0].state.sameLook(BlobIcon::State::small()));
    EXPECT_TRUE(model.state().sameLook(BlobIcon::State::small())) << "back at rest, small";
    EXPECT_TRUE(model.initial().sameLook(BlobIcon::State::small()));
}
