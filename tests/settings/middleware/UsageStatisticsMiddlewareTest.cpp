#include "MiddlewareTestSupport.hpp"

#include "settings/middleware/UsageStatisticsMiddleware.hpp"

namespace tidemark {
namespace {

using namespace test;

AppAction created(bool succeeded)
{
    AnyReminder reminder { "R", std::nullopt, std::nullopt, "Tea", std::nullopt, std::nullopt };
    auto create = succeeded ? RemindersItemsAction::CreateAction::success({ reminder })
                            : RemindersItemsAction::CreateAction::failure(Error("disk full"));
    return actions::itemsAction(RemindersItemsAction::create(create));
}

struct UsageFixture : testing::Test {
    StoredSettings settings;
    std::shared_ptr<UsageStatisticsService> statistics = std::make_shared<UsageStatisticsService>(
        UserDefaults::suite("stats", settings.folder.path()));
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>(testStart());
    std::shared_ptr<AppStore> store = makeAppStore(
        { usageStatisticsMiddleware(statistics, settings.service, clock, testCalendar()) });

    bool bannerShown() const
    {
        return store->state().view.popover.presentedNotification.contains(
            PopoverNotification::review);
    }
};

TEST_F(UsageFixture, countsCreationsThatSucceededOnly)
{
    AnyReminder reminder { "R", std::nullopt, std::nullopt, "Tea", std::nullopt, std::nullopt };
    store->dispatch(actions::itemsAction(
        RemindersItemsAction::create(RemindersItemsAction::CreateAction::submit({ reminder }))));
    store->dispatch(created(false));
    store->dispatch(actions::itemsAction(
        RemindersItemsAction::read(RemindersItemsAction::ReadAction::success({ reminder }))));
    EXPECT_EQ(statistics->data(), UsageStatistics {});

    store->dispatch(created(true));
    EXPECT_EQ(statistics->data().reminders.createdCount, 1);
    EXPECT_EQ(statistics->data().date.differentDaysCount, 1);
    EXPECT_EQ(drainMainQueue(), 0u);
}

TEST_F(UsageFixture, theBannerComesOnceAfterFortyCreationsOnSevenDays)
{
    // Six creations a day: the 40th falls on the 7th day.
    int count = 0;
    for (int day = 0; day < 7; ++day) {
        clock->set(dateByAdding(testStart(), day * 86400.0 + 8 * 3600));
        for (int i = 0; i < 6 && count < 39; ++i, ++count) {
            store->dispatch(created(true));
            clock->advance(60);
        }
    }
    drainMainQueue();
    EXPECT_EQ(statistics->data().reminders.createdCount, 39);
    EXPECT_EQ(statistics->data().date.differentDaysCount, 7);
    EXPECT_FALSE(bannerShown()) << "39 creations are not enough";

    store->dispatch(created(true));
    drainMainQueue();
    EXPECT_TRUE(bannerShown());
    EXPECT_EQ(settings.stored()["review"]["lastVersionPrompted"], "1.2.5");

    store->dispatch(actions::viewAction(ViewAction::Popover { PopoverAction::PresentedNotification {
        PresentedNotificationAction::Remove { PopoverNotification::review } } }));
    store->dispatch(created(true));
    EXPECT_EQ(drainMainQueue(), 0u);
    EXPECT_FALSE(bannerShown()) << "shown once for the stored settings";
    EXPECT_EQ(statistics->data().reminders.createdCount, 41);
}

} // namespace
} // namespace tidemark
