#include "settings/views/GeneralSettingsView.hpp"

#include "settings/GeneralSettingsRules.hpp"
#include "toolkit/LabeledContent.hpp"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace tidemark {

namespace {

using GeneralAction = GeneralSettingsConnectingView::Action;
using MenuBarAction = MenuBarSettingsConnectingView::Action;

QCheckBox* toggle(const QString& text, Mnemonics& mnemonics)
{
    auto* box = new QCheckBox(mnemonics.mark(text));
    box->setAccessibleName(text);
    return box;
}

// A switch shows the store's value until the store itself changes: a click is turned back at
// once and sent as an action.
template <class Store, class MakeAction, class Current>
void sendToggles(
    QCheckBox* box, QObject* context, Store store, MakeAction makeAction, Current current)
{
    QObject::connect(box, &QCheckBox::clicked, context, [box, store, makeAction, current](bool on) {
        {
            const QSignalBlocker blocker(box);
            box->setChecked(current());
        }
        store->dispatch(makeAction(on));
    });
}

QSlider* horizontalSlider(const QString& name)
{
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setAccessibleName(name);
    slider->setMinimumWidth(160);
    return slider;
}

// A slider between its two end labels.
QWidget* sliderWithEnds(QSlider* slider, const QString& minimum, const QString& maximum)
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* less = new QLabel(minimum);
    auto* more = new QLabel(maximum);
    less->setAccessibleName(minimum);
    more->setAccessibleName(maximum);
    layout->addWidget(less);
    layout->addWidget(slider, 1);
    layout->addWidget(more);
    return row;
}

// A form row whose label names and focuses its control.
LabeledContent* labeledRow(
    QWidget* content, QWidget* control, const QString& text, Mnemonics& mnemonics)
{
    auto* label = new QLabel(mnemonics.mark(text));
    label->setBuddy(control);
    return new LabeledContent(content, label);
}

void setEnabledIfChanged(QWidget* widget, bool enabled)
{
    if (widget->isEnabled() != enabled)
        widget->setEnabled(enabled);
}

} // namespace

MenuBarSettingsView::MenuBarSettingsView(
    std::shared_ptr<MenuBarSettingsStore> store, Mnemonics& mnemonics, QWidget* parent)
    : QWidget(parent)
    , m_store(std::move(store))
    , m_countdown(toggle(settingsText("Settings", "show_countdown_in_menu_bar_label"), mnemonics))
    , m_progressBar(toggle(
          settingsText("Settings", "menu_bar_countdown_progress_bar_toggle_label"), mnemonics))
    , m_opacity(horizontalSlider(
          settingsText("Settings", "menu_bar_countdown_progress_bar_opacity_label")))
{
    setAccessibleName(settingsText("Settings", "menu_bar_settings_title"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_countdown);
    layout->addWidget(m_progressBar);
    m_opacity->setRange(OpacitySlider::minimumPosition, OpacitySlider::maximumPosition);
    m_opacity->setSingleStep(1);
    m_opacity->setPageStep(1);
    m_opacity->setTickPosition(QSlider::TicksBelow);
    m_opacity->setTickInterval(1);
    layout->addWidget(labeledRow(sliderWithEnds(m_opacity, settingsText("Localizable", "10%"),
                                     settingsText("Localizable", "100%")),
        m_opacity, settingsText("Settings", "menu_bar_countdown_progress_bar_opacity_label"),
        mnemonics));

    auto shared = m_store;
    sendToggles(
        m_countdown, this, shared,
        [](bool on) -> MenuBarAction { return MenuBarAction::MenuBarCountdownIsEnabled { on }; },
        [shared] { return shared->state().menuBarCountdownIsEnabled; });
    sendToggles(
        m_progressBar, this, shared,
        [](bool on) -> MenuBarAction {
            return MenuBarAction::ProgressBar { CountdownProgressBarAction::IsEnabled { on } };
        },
        [shared] { return shared->state().progressBar.isEnabled; });
    connect(m_opacity, &QSlider::valueChanged, this, [shared](int position) {
        shared->dispatch(MenuBarAction::ProgressBar {
            CountdownProgressBarAction::Opacity { OpacitySlider::value(position) } });
    });
    render(m_store->state());
    m_subscription = m_store->statePublisher().sink(
        [this](const MenuBarSettingsConnectingView::State& state) { render(state); });
}

void MenuBarSettingsView::render(const MenuBarSettingsConnectingView::State& state)
{
    const QSignalBlocker countdown(m_countdown);
    const QSignalBlocker progressBar(m_progressBar);
    const QSignalBlocker opacity(m_opacity);
    m_countdown->setChecked(state.menuBarCountdownIsEnabled);
    m_progressBar->setChecked(state.progressBar.isEnabled);
    const int position = OpacitySlider::position(state.progressBar.opacity);
    if (m_opacity->value() != position)
        m_opacity->setValue(position);
    const auto enabling = generalSettingsEnabling({}, state);
    setEnabledIfChanged(m_progressBar, enabling.progressBarToggle);
    setEnabledIfChanged(m_opacity, enabling.opacitySlider);
}

GeneralSettingsView::GeneralSettingsView(std::shared_ptr<GeneralSettingsStore> store,
    std::optional<FormStyle> style, Calendar calendar, QWidget* parent)
    : QWidget(parent)
    , m_store(std::move(store))
    , m_calendar(std::move(calendar))
{
    setAccessibleName(settingsText("Settings", "general_settings_label"));
    Mnemonics mnemonics;
    auto* form = new SettingsForm(style, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(form);
    layout->addStretch(1);

    // Open at login, and why the desktop refused it.
    QWidget* login = form->addSection();
    m_openAtLogin = toggle(settingsText("Settings", "open_at_login_settings_label"), mnemonics);
    m_openAtLoginFailure = failureLabel();
    SettingsForm::addRow(login, m_openAtLogin);
    SettingsForm::addRow(login, m_openAtLoginFailure);

    // The drag sensitivity, in fine steps.
    QWidget* drag = form->addSection();
    const QString sensitivityName = settingsText("Settings", "drag_sensitivity_settings_label");
    m_sensitivity = horizontalSlider(sensitivityName);
    m_sensitivity->setRange(0, SensitivitySlider::maximumPosition());
    m_sensitivity->setSingleStep(SensitivitySlider::stepsPerUnit / 10);
    m_sensitivity->setPageStep(SensitivitySlider::stepsPerUnit);
    SettingsForm::addRow(drag,
        labeledRow(sliderWithEnds(m_sensitivity,
                       settingsText("Settings", "drag_sensitivity_less_sensitive_label"),
                       settingsText("Settings", "drag_sensitivity_more_sensitive_label")),
            m_sensitivity, sensitivityName, mnemonics));

    // The automatic removal and its time of day.
    QWidget* removal = form->addSection();
    m_removal = toggle(settingsText("Reminders", "automatic_removal_settings_label"), mnemonics);
    SettingsForm::addRow(removal, m_removal);
    const QString timeName = settingsText("Reminders", "automatic_removal_time_settings_label");
    m_removalTime = new QTimeEdit;
    m_removalTime->setDisplayFormat(QStringLiteral("HH:mm"));
    m_removalTime->setAccessibleName(timeName);
    m_removalTime->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    SettingsForm::addRow(removal, labeledRow(m_removalTime, m_removalTime, timeName, mnemonics));

    // The menu bar.
    QWidget* menuBar = form->addSection(settingsText("Settings", "menu_bar_settings_title"));
    m_menuBar = new MenuBarSettingsView(
        m_store
            ->derived<MenuBarSettingsConnectingView::State, MenuBarSettingsConnectingView::Action>(
                [](const GeneralSettingsConnectingView::State& s) { return s.menuBarSettings; },
                [](const MenuBarSettingsConnectingView::Action& a) -> GeneralAction {
                    return GeneralAction::MenuBarSettings { a };
                }),
        mnemonics);
    SettingsForm::addRow(menuBar, m_menuBar);

    auto shared = m_store;
    sendToggles(
        m_openAtLogin, this, shared,
        [](bool on) -> GeneralAction { return GeneralAction::OpenAtLogin { on }; },
        [shared] { return shared->state().openAtLogin; });
    sendToggles(
        m_removal, this, shared,
        [](bool on) -> GeneralAction {
            return GeneralAction::RemindersAutomaticRemoval { AutomaticRemovalAction::IsEnabled {
                on } };
        },
        [shared] { return shared->state().remindersAutomaticRemoval.isEnabled; });
    connect(m_sensitivity, &QSlider::valueChanged, this, [shared](int position) {
        shared->dispatch(GeneralAction::DragSensitivity { SensitivitySlider::value(position) });
    });
    connect(m_removalTime, &QTimeEdit::timeChanged, this, [this](const QTime& time) {
        const Date stored = m_store->state().remindersAutomaticRemoval.date;
        const Date picked = removalDate({ time.hour(), time.minute() }, stored, m_calendar);
        m_store->dispatch(
            GeneralAction::RemindersAutomaticRemoval { AutomaticRemovalAction::Date { picked } });
    });

    render(m_store->state());
    m_subscription = m_store->statePublisher().sink(
        [this](const GeneralSettingsConnectingView::State& state) { render(state); });
}

void GeneralSettingsView::render(const GeneralSettingsConnectingView::State& state)
{
    const QSignalBlocker login(m_openAtLogin);
    const QSignalBlocker sensitivity(m_sensitivity);
    const QSignalBlocker removal(m_removal);
    const QSignalBlocker time(m_removalTime);
    m_openAtLogin->setChecked(state.openAtLogin);
    showFailure(m_openAtLoginFailure,
        state.openAtLoginFailure
            ? std::optional<QString>(QString::fromStdString(*state.openAtLoginFailure))
            : std::nullopt);
    const int position = SensitivitySlider::position(state.dragSensitivity);
    if (m_sensitivity->value() != position)
        m_sensitivity->setValue(position);
    m_removal->setChecked(state.remindersAutomaticRemoval.isEnabled);
    const TimeOfDay shown = removalTimeOfDay(state.remindersAutomaticRemoval.date, m_calendar);
    const QTime wanted(shown.hour, shown.minute);
    if (m_removalTime->time() != wanted)
        m_removalTime->setTime(wanted);
    const auto enabling
        = generalSettingsEnabling(state.remindersAutomaticRemoval, state.menuBarSettings);
    setEnabledIfChanged(m_removalTime, enabling.removalTime);
}

} // namespace tidemark
