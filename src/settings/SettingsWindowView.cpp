#include "settings/SettingsWindowView.hpp"

#include <algorithm>

namespace tidemark {

const std::vector<SettingsTabs>& SettingsContainer::tabs()
{
    static const std::vector<SettingsTabs> tabs { SettingsTabs::general,
        SettingsTabs::notifications, SettingsTabs::sync, SettingsTabs::other };
    return tabs;
}

int SettingsContainer::tabIndex(SettingsTabs tab)
{
    const auto& all = tabs();
    const auto found = std::find(all.begin(), all.end(), tab);
    return found == all.end() ? 0 : int(found - all.begin());
}

SettingsTabs SettingsContainer::tabAfter(SettingsTabs tab, int steps)
{
    const int count = int(tabs().size());
    const int index = ((tabIndex(tab) + steps) % count + count) % count;
    return tabs()[std::size_t(index)];
}

std::string SettingsContainer::title(const std::string& name, const std::string& versionText)
{
    return name + " " + versionText;
}

} // namespace tidemark
