#include "reminders/views/SyncSettingsPane.hpp"

#include "core/connectors/SettingsConnectors.hpp"
#include "platform/foundation/StringTables.hpp"
#include "reminders/views/RemindersListPicker.hpp"
#include "toolkit/LabeledContent.hpp"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace tidemark {

namespace {

QString text(const char* table, const char* key)
{
    return QString::fromStdString(localized(table, key));
}

} // namespace

SyncSettingsPane::SyncSettingsPane(
    std::shared_ptr<AppleRemindersSettingsStore> store, QWidget* parent)
    : FormPane(parent)
    , m_store(std::move(store))
    , m_toggle(new QCheckBox(text("Settings", "enable_sync_checkbox_label")))
    , m_picker(new RemindersListPicker)
{
    setObjectName(QStringLiteral("SyncSettingsPane"));
    setAccessibleName(text("Settings", "sync_settings_title"));
    m_toggle->setAccessibleName(m_toggle->text());

    QGroupBox* section = addSection();
    auto* rows = FormPane::rows(section);
    rows->addWidget(m_toggle);
    auto* listLabel = new QLabel(text("Reminders", "list_selection_label"));
    listLabel->setBuddy(m_picker);
    rows->addWidget(new LabeledContent(m_picker, listLabel, section));

    using A = AppleRemindersConnectingView::Action;
    connect(m_toggle, &QCheckBox::clicked, this, [this](bool checked) {
        // The switch shows the store's value until the store itself changes.
        const QSignalBlocker blocker(m_toggle);
        m_toggle->setChecked(m_store->state().isEnabled);
        m_store->dispatch(A::IsEnabled { checked });
    });
    m_picker->setChooseHandler(
        [this](const AnyList& list) { m_store->dispatch(A::SelectedList { list }); });

    render(m_store->state());
    m_subscription = m_store->statePublisher().sink(
        [this](const AppleRemindersConnectingView::State& state) { render(state); });
}

void SyncSettingsPane::render(const AppleRemindersConnectingView::State& state)
{
    {
        const QSignalBlocker blocker(m_toggle);
        if (m_toggle->isChecked() != state.isEnabled)
            m_toggle->setChecked(state.isEnabled);
    }
    m_picker->setSources(state.sources);
    m_picker->setSelectedList(state.selectedList);
    // Off, the picker still shows the list that new reminders would go into.
    m_picker->setEnabled(state.isEnabled);
}

QWidget* makeSyncSettingsPane(std::shared_ptr<AppleRemindersSettingsStore> store, QWidget* parent)
{
    return new SyncSettingsPane(std::move(store), parent);
}

QWidget* makeSyncSettingsPane(const AppStoreRef& store, QWidget* parent)
{
    return makeSyncSettingsPane(store->connect(Connectors::AppleRemindersConnector {}), parent);
}

} // namespace tidemark
