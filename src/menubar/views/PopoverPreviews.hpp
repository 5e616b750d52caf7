#pragma once

#include "core/state/AppState.hpp"
#include "platform/foundation/Clock.hpp"
#include "toolkit/MainStore.hpp"
#include "toolkit/Previews.hpp"

#include <QWidget>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace tidemark {

class PopoverPanelContent;

// The popover's content over a store of its own, as the panel shows it: for previews,
// benchmarks and tests. The store runs the root reducer and no middleware; its clock is a
// manual one standing at `now`.
class PopoverPreviewPanel final : public QWidget {
public:
    PopoverPreviewPanel(AppState state, std::shared_ptr<ManualClock> clock);
    ~PopoverPreviewPanel() override;

    const AppStoreRef& store() const { return m_store; }
    const std::shared_ptr<ManualClock>& clock() const { return m_clock; }
    PopoverPanelContent* content() const { return m_content; }

    // Runs once the panel is on screen and laid out (previews open editors and menus then).
    void whenShown(std::function<void(PopoverPreviewPanel&)> setUp);

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::shared_ptr<ManualClock> m_clock;
    AppStoreRef m_store;
    PopoverPanelContent* m_content;
    std::function<void(PopoverPreviewPanel&)> m_setUp;
};

// The moment the previews stand at, and a state with these reminders (each due `seconds`
// from then, starting half an hour before; none: undated), selection and banners, the
// popover presented.
Date popoverPreviewNow();
struct PopoverPreviewReminder {
    std::string id;
    std::string title;
    std::optional<double> dueIn;
};
AppState popoverPreviewState(const std::vector<PopoverPreviewReminder>& reminders,
    const std::set<std::string>& selection = {}, const std::set<PopoverNotification>& banners = {});
// A list of `count` reminders, due every two minutes from five minutes ago on.
std::vector<PopoverPreviewReminder> popoverPreviewReminders(int count);

// The popover's states for the preview program: empty; current and past reminders; a
// selected row and an edited one; the review banner; the action menu, the more menu and a
// row's context menu.
void registerPopoverPreviews(PreviewRegistry& registry);

} // namespace tidemark
