#pragma once

#include "core/Store.hpp"
#include "platform/reactive/Cancellable.hpp"
#include "settings/AppleRemindersConnectingView.hpp"
#include "toolkit/FormPane.hpp"
#include "toolkit/MainStore.hpp"

#include <memory>

class QCheckBox;

namespace tidemark {

class RemindersListPicker;

using AppleRemindersSettingsStore
    = Store<AppleRemindersConnectingView::State, AppleRemindersConnectingView::Action>;

// The sync pane: where reminders live (the switch: the user's task lists or the local store)
// and the list new reminders go into, which can be picked only while the switch is on. It
// takes any store of its state and action (the settings window's and the onboarding's), is
// built once, and shows each new state with the controls' signals blocked: only the user's
// changes send actions, and the controls show a change once the store holds it.
class SyncSettingsPane final : public FormPane {
public:
    explicit SyncSettingsPane(
        std::shared_ptr<AppleRemindersSettingsStore> store, QWidget* parent = nullptr);

    QCheckBox* toggle() const { return m_toggle; }
    RemindersListPicker* picker() const { return m_picker; }

private:
    void render(const AppleRemindersConnectingView::State& state);

    std::shared_ptr<AppleRemindersSettingsStore> m_store;
    QCheckBox* m_toggle;
    RemindersListPicker* m_picker;
    rx::Cancellable m_subscription;
};

// The pane on a store of its own state and action.
QWidget* makeSyncSettingsPane(
    std::shared_ptr<AppleRemindersSettingsStore> store, QWidget* parent = nullptr);
// The pane on the main store, through the sync connector.
QWidget* makeSyncSettingsPane(const AppStoreRef& store, QWidget* parent = nullptr);

} // namespace tidemark
