#include "MiddlewareTestSupport.hpp"

#include "settings/middleware/UpdaterMiddleware.hpp"

namespace tidemark {
namespace {

using namespace test;

// Counts the checks it is asked for and fails the test on any beyond those it expects.
class FakeUpdater final : public UpdaterServicable {
public:
    void checkForUpdates() override
    {
        ++checks;
        if (checks > expectedChecks)
            ADD_FAILURE() << "check for updates number " << checks << " was not expected";
    }

    int expectedChecks = 0;
    int checks = 0;
};

// Until the root action carries the update action, the test sends it inside the help
// action, which nothing else in this store handles.
const UpdateAction* checkInHelp(const AppAction& action)
{
    static const UpdateAction check = UpdateAction::Check {};
    return caseAt<AppAction::View, ViewAction::HelpIsPresented>(action) ? &check : nullptr;
}

TEST(UpdaterMiddlewareTest, onlyACheckReachesTheUpdaterAndEveryCheckDoes)
{
    auto updater = std::make_shared<FakeUpdater>();
    auto store = makeAppStore({ updaterMiddleware(updater, &checkInHelp) });

    store->dispatch(AppAction::Countdown { CountdownAction::ReadDueDate {} });
    store->dispatch(actions::viewAction(ViewAction::Quit {}));
    EXPECT_EQ(updater->checks, 0) << "no other action reaches the updater";

    // A second check while one may run is the updater's to ignore, not the middleware's.
    updater->expectedChecks = 2;
    store->dispatch(actions::viewAction(ViewAction::HelpIsPresented { true }));
    EXPECT_EQ(updater->checks, 1);
    store->dispatch(actions::viewAction(ViewAction::HelpIsPresented { true }));
    EXPECT_EQ(updater->checks, 2);

    EXPECT_EQ(drainMainQueue(), 0u) << "the middleware answers with nothing";
    EXPECT_EQ(store->liveSubscriptions(), 0u);

    AppAction plain = actions::viewAction(ViewAction::Quit {});
    EXPECT_EQ(carriedUpdateAction(plain), nullptr) << "the root action carries no update case yet";
}

} // namespace
} // namespace tidemark
