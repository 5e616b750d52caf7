#include "menubar/views/PopoverPreviews.hpp"

#include "core/state/AppReducer.hpp"
#include "menubar/views/PopoverContainerView.hpp"
#include "menubar/views/PopoverListContainerWidget.hpp"
#include "menubar/views/PopoverListModel.hpp"
#include "menubar/views/PopoverListView.hpp"
#include "menubar/views/PopoverPanelContent.hpp"
#include "menubar/views/PopoverStyle.hpp"
#include "menubar/views/PopoverToolbarView.hpp"
#include "platform/ui/PinnedLayout.hpp"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QVBoxLayout>

namespace tidemark {

PopoverPreviewPanel::PopoverPreviewPanel(AppState state, std::shared_ptr<ManualClock> clock)
    : m_clock(std::move(clock))
    , m_store(AppStore::make(std::move(state),
          [environment = ReducerEnvironment { m_clock }](
              AppState& s, const AppAction& action) { appReducer(s, action, environment); }))
    , m_content(
          new PopoverPanelContent(m_store, PopoverToolbarDelegate::make(m_store), m_clock, this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_content, 0, Qt::AlignTop);
    m_content->setFixedSize(popoverPanelSize());
    // Offscreen nothing blends the corners with a desktop; the gallery shows them on its own
    // checkered background.
    m_content->setTranslucent(true);
}

PopoverPreviewPanel::~PopoverPreviewPanel() = default;

void PopoverPreviewPanel::whenShown(std::function<void(PopoverPreviewPanel&)> setUp)
{
    m_setUp = std::move(setUp);
}

void PopoverPreviewPanel::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_setUp) {
        QTimer::singleShot(0, this, [this, setUp = std::exchange(m_setUp, nullptr)] {
            m_content->container()->popoverView()->listContainer()->list()->doItemsLayout();
            setUp(*this);
        });
    }
}

Date popoverPreviewNow()
{
    // Monday 10 June 2024, 9:41 in the morning, UTC.
    return dateFromTimeIntervalSince1970(1718012460);
}

AppState popoverPreviewState(const std::vector<PopoverPreviewReminder>& reminders,
    const std::set<std::string>& selection, const std::set<PopoverNotification>& banners)
{
    const Date now = popoverPreviewNow();
    AppState state = AppState::initial(now, Calendar::autoupdatingCurrent());
    for (const auto& entry : reminders) {
        AnyReminder reminder;
        reminder.id = entry.id;
        reminder.title = entry.title;
        if (entry.dueIn) {
            const Date due = dateByAdding(now, *entry.dueIn);
            setStartDate(reminder, dateByAdding(due, -1800));
            setDueDate(reminder, due);
        }
        state.remindersStore.items.value.insert(std::move(reminder));
    }
    state.reminders.selection = selection;
    state.view.popover.presentedNotification = banners;
    state.view.popover.isPresented = true;
    state.view.popover.wasPresentedSinceAppLaunch = true;
    return state;
}

std::vector<PopoverPreviewReminder> popoverPreviewReminders(int count)
{
    static const char* const titles[]
        = { "Call the dentist", "Take the bread out", "", "Water the plants", "Stand-up meeting" };
    std::vector<PopoverPreviewReminder> reminders;
    reminders.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i)
        reminders.push_back({ "reminder-" + std::to_string(i), titles[i % 5], -300.0 + 120.0 * i });
    return reminders;
}

namespace {

const std::vector<PopoverPreviewReminder>& sampleReminders()
{
    static const std::vector<PopoverPreviewReminder> reminders = {
        { "dentist", "Call the dentist", 25 * 60 },
        { "untitled", "", 70 * 60 + 20 },
        { "parcel", "Pick up the parcel at the post office before it closes", 3 * 3600 },
        { "plants", "Water the plants", -20 * 60 },
        { "standup", "Stand-up meeting", -2 * 3600 - 5 * 60 },
    };
    return reminders;
}

PreviewState panelState(std::string name, std::function<AppState()> state,
    std::function<void(PopoverPreviewPanel&)> setUp = {})
{
    return { std::move(name), [state = std::move(state), setUp = std::move(setUp)]() -> QWidget* {
                auto* panel = new PopoverPreviewPanel(
                    state(), std::make_shared<ManualClock>(popoverPreviewNow()));
                if (setUp)
                    panel->whenShown(setUp);
                return panel;
            } };
}

PopoverListView* listOf(PopoverPreviewPanel& panel)
{
    return panel.content()->container()->popoverView()->listContainer()->list();
}

// Shows a menu as a plain view beside the panel, where the gallery can draw it, at `offset`
// from the panel's top.
void showMenuBeside(PopoverPreviewPanel& panel, QMenu* menu, int offset)
{
    auto* column = new QWidget(&panel);
    auto* columnLayout = new QVBoxLayout(column);
    columnLayout->setContentsMargins(4, offset, 0, 0);
    menu->setParent(column, Qt::Widget);
    columnLayout->addWidget(menu);
    columnLayout->addStretch(1);
    static_cast<QHBoxLayout*>(panel.layout())->addWidget(column, 0, Qt::AlignTop);
    column->show();
    menu->show();
    panel.adjustSize();
}

} // namespace

void registerPopoverPreviews(PreviewRegistry& registry)
{
    PreviewProvider provider { "Popover", {} };
    provider.states.push_back(panelState("Empty", [] { return popoverPreviewState({}); }));
    provider.states.push_back(panelState(
        "Current and past reminders", [] { return popoverPreviewState(sampleReminders()); }));
    provider.states.push_back(panelState(
        "A selected row and an edited row",
        [] { return popoverPreviewState(sampleReminders(), { "untitled" }); },
        [](PopoverPreviewPanel& panel) {
            PopoverListView* list = listOf(panel);
            list->editTitle(list->listModel()->rowOf("dentist"));
            if (QLineEdit* editor = list->titleEditor()) {
                editor->setText(QStringLiteral("Call the dentist about Tuesday"));
                editor->setCursorPosition(13);
            }
        }));
    provider.states.push_back(panelState("Review banner", [] {
        return popoverPreviewState(sampleReminders(), {}, { PopoverNotification::review });
    }));
    provider.states.push_back(panelState(
        "Action menu",
        [] {
            return popoverPreviewState(sampleReminders(), { "dentist", "parcel" });
        },
        [](PopoverPreviewPanel& panel) {
            showMenuBeside(panel, panel.content()->header()->actionMenu(), 30);
        }));
    provider.states.push_back(panelState(
        "More menu", [] { return popoverPreviewState(sampleReminders()); },
        [](PopoverPreviewPanel& panel) {
            showMenuBeside(panel, panel.content()->header()->moreMenu(), 30);
        }));
    provider.states.push_back(panelState(
        "Context menu of a row",
        [] { return popoverPreviewState(sampleReminders(), { "plants" }); },
        [](PopoverPreviewPanel& panel) {
            PopoverListView* list = listOf(panel);
            const int row = list->listModel()->rowOf("dentist");
            QMenu* menu = list->makeContextMenu(row);
            showMenuBeside(panel, menu,
                popoverMetrics::headerHeight + list->visualRect(list->listModel()->index(row)).top()
                    + 20);
        }));
    registry.add(std::move(provider));
}

} // namespace tidemark
