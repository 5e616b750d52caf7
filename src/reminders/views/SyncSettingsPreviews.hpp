#pragma once

#include "reminders/Reminder.hpp"
#include "toolkit/Previews.hpp"

#include <vector>

namespace tidemark {

// `count` accounts of `listsPerSource` lists each, titled as a user's would be.
std::vector<AnySource> sampleReminderSources(int count, int listsPerSource = 3);

// The sync pane without sources, with one and with three (in the grouped form style, and
// once in the plain one), and the list picker with one and with three sources.
void registerSyncSettingsPreviews(PreviewRegistry& registry);

} // namespace tidemark
