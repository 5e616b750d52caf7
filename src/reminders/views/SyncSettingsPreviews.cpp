#include "reminders/views/SyncSettingsPreviews.hpp"

#include "reminders/views/RemindersListPicker.hpp"
#include "reminders/views/SyncSettingsPane.hpp"
#include "toolkit/FormStyle.hpp"

#include <QAbstractItemView>
#include <QListView>
#include <QVBoxLayout>

#include <string>

namespace tidemark {

std::vector<AnySource> sampleReminderSources(int count, int listsPerSource)
{
    static const char* const accounts[] = { "Personal", "Work", "Family" };
    static const char* const lists[] = { "Reminders", "Groceries", "Errands", "Projects" };
    std::vector<AnySource> sources;
    for (int s = 0; s < count; ++s) {
        AnySource source;
        source.id = "source-" + std::to_string(s);
        source.title = s < 3 ? accounts[s] : "Account " + std::to_string(s + 1);
        for (int l = 0; l < listsPerSource; ++l) {
            const std::string title = l < 4 ? lists[l] : "List " + std::to_string(l + 1);
            source.lists.insert(AnyList { source.id + "-list-" + std::to_string(l),
                count > 1 && l < 4 ? title + " (" + source.title + ")" : title });
        }
        sources.push_back(std::move(source));
    }
    return sources;
}

namespace {

// A form in the given style around a view made inside it.
QWidget* inForm(bool grouped, const std::function<QWidget*(QWidget*)>& make)
{
    auto* form = new QWidget;
    if (grouped)
        groupedFormStyle(form);
    auto* layout = new QVBoxLayout(form);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(make(form));
    form->setMinimumWidth(420);
    return form;
}

PreviewState paneState(
    std::string name, AppleRemindersConnectingView::State state, bool grouped = true)
{
    return { std::move(name), [state, grouped]() -> QWidget* {
                return inForm(grouped, [&](QWidget* parent) {
                    return makeSyncSettingsPane(
                        AppleRemindersSettingsStore::constant(state), parent);
                });
            } };
}

PreviewState pickerState(std::string name, std::vector<AnySource> sources)
{
    return { std::move(name), [sources]() -> QWidget* {
                return inForm(true, [&](QWidget* parent) {
                    // The picker, and under it its entries as its menu lists them.
                    auto* box = new QWidget(parent);
                    auto* layout = new QVBoxLayout(box);
                    layout->setContentsMargins(0, 0, 0, 0);
                    auto* picker = new RemindersListPicker(box);
                    picker->setSources(sources);
                    picker->setSelectedList(*sources.front().lists.begin());
                    layout->addWidget(picker);
                    auto* entries = new QListView(box);
                    entries->setModel(picker->model());
                    entries->setSelectionModel(picker->view()->selectionModel());
                    entries->setCurrentIndex(picker->model()->index(picker->currentIndex(), 0));
                    const int rows = picker->model()->rowCount();
                    entries->setFixedHeight(
                        entries->sizeHintForRow(0) * rows + 2 * entries->frameWidth());
                    layout->addWidget(entries);
                    return box;
                });
            } };
}

} // namespace

void registerSyncSettingsPreviews(PreviewRegistry& registry)
{
    const auto one = sampleReminderSources(1);
    const auto three = sampleReminderSources(3);
    registry.add({ "SyncSettingsPane",
        {
            paneState("without sources", {}),
            paneState("one source", { true, *one.front().lists.begin(), one }),
            paneState("three sources", { true, *three[1].lists.begin(), three }),
            paneState("three sources, off", { false, *three[1].lists.begin(), three }),
            paneState("one source, plain form", { true, *one.front().lists.begin(), one }, false),
        } });
    registry.add({ "RemindersListPicker",
        {
            pickerState("one source", one),
            pickerState("three sources", three),
        } });
}

} // namespace tidemark
