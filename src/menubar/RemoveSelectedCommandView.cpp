#include "menubar/RemoveSelectedCommandView.hpp"

#include "platform/foundation/StringTables.hpp"

namespace tidemark {

std::string removeSelectedTitle(std::size_t count, std::size_t total)
{
    if (count >= 2 && count == total)
        return localized("MainMenu", "remove_all_label");
    return localized("MainMenu", "remove_selected_items_label %d", count);
}

} // namespace tidemark
