#include "core/connectors/Connectors.hpp"

#include "core/Store.hpp"

namespace tidemark::Connectors {

static_assert(Connector<YoyoBlobConnector>);
static_assert(Connector<DragDataEntryConnector>);
static_assert(Connector<YoyoTimeViewConnector>);
static_assert(Connector<YoyoAnimationConnector>);
static_assert(Connector<YoyoFrontConnector>);
static_assert(Connector<YoyoBackConnector>);
static_assert(Connector<ScrollMenuBarExtraConnector>);
static_assert(Connector<YoyoScrollFrontConnector>);
static_assert(Connector<CountdownConnector>);
static_assert(Connector<StatusItemConnector>);
static_assert(Connector<PopoverListConnector>);
static_assert(Connector<PopoverNotificationsConnector>);
static_assert(Connector<PopoverViewConnector>);
static_assert(Connector<RemoveSelectedCommandConnector>);
static_assert(Connector<PopoverToolbarConnector>);
static_assert(Connector<MenuBarSettingsConnector>);
static_assert(Connector<GeneralSettingsConnector>);
static_assert(Connector<AutomaticRemindersRemovalConnector>);
static_assert(Connector<AppleRemindersConnector>);
static_assert(Connector<DebugSettingsConnector>);
static_assert(Connector<OnboardingLeadingItemsConnector>);

} // namespace tidemark::Connectors
