#include "notifications/views/UserNotificationsSettingsPane.hpp"

#include "core/connectors/NotificationConnectors.hpp"
#include "notifications/SystemSettings.hpp"
#include "platform/foundation/AppInfo.hpp"
#include "platform/foundation/StringTables.hpp"
#include "toolkit/LabeledContent.hpp"
#include "toolkit/WindowNotifications.hpp"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>

#include <string>

namespace tidemark {

using View = UserNotificationsSettingsConnectingView;

namespace {

QString text(std::string_view table, std::string_view key)
{
    return QString::fromStdString(localized(table, key));
}

// The caption text size (callout) and the smaller one of the steps (footnote).
constexpr double calloutScale = 12.0 / 13.0;
constexpr double footnoteScale = 11.0 / 13.0;

QLabel* wrappingLabel(const QString& text)
{
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

// A label over a secondary line, as a form row's label.
QWidget* labelWithCaption(const QString& title, QLabel* caption)
{
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(new QLabel(title));
    caption->setWordWrap(true);
    layout->addWidget(caption);
    return box;
}

// A section's heading: a warning symbol and a bold text.
QWidget* warningHeader(const QString& title, QWidget* owner)
{
    auto* header = new QWidget;
    auto* layout = new QHBoxLayout(header);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    auto* symbol = new QLabel;
    const int side = owner->style()->pixelMetric(QStyle::PM_SmallIconSize);
    symbol->setPixmap(owner->style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(side));
    layout->addWidget(symbol, 0, Qt::AlignTop);
    auto* label = wrappingLabel(title);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    layout->addWidget(label, 1);
    return header;
}

QWidget* hbox(std::initializer_list<QWidget*> widgets, int spacing = 4)
{
    auto* box = new QWidget;
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    for (QWidget* widget : widgets)
        layout->addWidget(widget);
    layout->addStretch(1);
    return box;
}

} // namespace

SecondaryLabel::SecondaryLabel(const QString& text, double scale, QWidget* parent)
    : QLabel(text, parent)
    , m_scale(scale)
{
    setTextFormat(Qt::PlainText);
    follow();
}

bool SecondaryLabel::event(QEvent* event)
{
    const auto type = event->type();
    if (type == QEvent::ParentChange || type == QEvent::PaletteChange || type == QEvent::FontChange
        || type == QEvent::Polish)
        follow();
    return QLabel::event(event);
}

void SecondaryLabel::follow()
{
    if (m_following)
        return;
    m_following = true;
    const QWidget* around = parentWidget();
    const QPalette surroundings = around ? around->palette() : QApplication::palette();
    QColor colour = surroundings.color(QPalette::WindowText);
    colour.setAlphaF(0.55f);
    QPalette own;
    own.setColor(QPalette::WindowText, colour);
    own.setColor(QPalette::Text, colour);
    if (palette().color(QPalette::WindowText) != colour)
        setPalette(own);
    QFont font = around ? around->font() : QApplication::font();
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * m_scale);
    else
        font.setPixelSize(std::max(1, int(font.pixelSize() * m_scale)));
    if (this->font() != font)
        setFont(font);
    m_following = false;
}

class NotificationSettingIndicatorView::Dot final : public QWidget {
public:
    Dot()
    {
        setFixedSize(8, 8);
        setAttribute(Qt::WA_TranslucentBackground);
    }
    void setGood(bool good)
    {
        if (good == m_good)
            return;
        m_good = good;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        const bool dark = palette().color(QPalette::Window).lightnessF() < 0.5;
        const QColor green = dark ? QColor(48, 209, 88) : QColor(40, 180, 70);
        const QColor red = dark ? QColor(255, 69, 58) : QColor(230, 50, 40);
        painter.setBrush(m_good ? green : red);
        painter.drawEllipse(QRectF(rect()));
    }

private:
    bool m_good = false;
};

NotificationSettingIndicatorView::NotificationSettingIndicatorView(
    bool secondaryText, QWidget* parent)
    : QWidget(parent)
    , m_dot(new Dot)
    , m_text(secondaryText ? new SecondaryLabel(QString(), calloutScale) : new QLabel)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(m_dot, 0, Qt::AlignVCenter);
    layout->addWidget(m_text, 0, Qt::AlignVCenter);
    layout->addStretch(1);
}

void NotificationSettingIndicatorView::setIndicator(const NotificationSettingIndicator& indicator)
{
    m_good = indicator.isGood;
    m_dot->setGood(indicator.isGood);
    const QString shown = tidemark::text(indicator.table, indicator.key);
    if (m_text->text() != shown)
        m_text->setText(shown);
    setAccessibleName(shown);
}

// The rows that differ between the two form styles: grouped forms put captions under their
// row's label, plain ones give them rows of their own.
struct UserNotificationsSettingsPane::Rows {
    SecondaryLabel* alertFooterGrouped = nullptr;
    QWidget* alertFooterPlain = nullptr;
    SecondaryLabel* alertFooterPlainText = nullptr;
    QWidget* recommendationGrouped = nullptr;
    QWidget* recommendationPlain = nullptr;
    QWidget* recommendationPlainDescription = nullptr;
    QWidget* soundGrouped = nullptr;
    QWidget* soundPlainDescription = nullptr;
    QWidget* soundPlainFooter = nullptr;
    QPushButton* soundPlainButton = nullptr;
    QPushButton* soundGroupedButton = nullptr;
};

UserNotificationsSettingsPane::UserNotificationsSettingsPane(
    std::shared_ptr<UserNotificationsSettingsStore> store,
    std::shared_ptr<SystemSettings> systemSettings, QWidget* parent)
    : FormPane(parent)
    , m_store(std::move(store))
    , m_systemSettings(
          systemSettings ? std::move(systemSettings) : std::make_shared<SystemSettings>())
    , m_rows(std::make_unique<Rows>())
{
    setObjectName(QStringLiteral("UserNotificationsSettingsPane"));
    setAccessibleName(text("Notifications", "title_label"));
    buildToggleSection();
    buildServerSection();
    buildDeniedSection();
    buildChecklist();

    // Coming back from the desktop's settings makes the window active again.
    onWindowNotification(this, WindowNotification::didBecomeKey,
        [this](QWidget*) { send({ View::Action::ReadNotificationSettings {} }); });
    setFormStyleHandler([this](std::optional<FormStyle> style) { arrange(style); });

    m_requestStatus = m_store->state().requestAuthorizationStatus;
    m_content = userNotificationsSettingsContent(m_store->state());
    arrange(formStyle());
    render(m_store->state());
    m_subscription
        = m_store->statePublisher().sink([this](const View::State& state) { render(state); });
}

UserNotificationsSettingsPane::~UserNotificationsSettingsPane() = default;

void UserNotificationsSettingsPane::buildToggleSection()
{
    QGroupBox* section = addSection();
    auto* rows = FormPane::rows(section);
    m_toggle = new QCheckBox(text("Notifications", "allow_notification_toggle_label"));
    m_toggle->setAccessibleName(m_toggle->text());
    rows->addWidget(m_toggle);

    auto* progress = new QProgressBar;
    progress->setRange(0, 0);
    progress->setTextVisible(false);
    progress->setFixedSize(36, 6);
    auto* waitingText = new SecondaryLabel(
        text("Notifications", "waiting_for_authorization_label"), footnoteScale);
    m_waiting = hbox({ progress, waitingText });
    m_waiting->setAccessibleName(waitingText->text());
    rows->addWidget(m_waiting);

    m_previewButton = new QPushButton(text("Notifications", "preview_notification_button_label"));
    m_previewButton->setIcon(QIcon::fromTheme(QStringLiteral("preferences-desktop-notification")));
    m_previewButton->setAccessibleName(m_previewButton->text());
    m_previewFooter = hbox({ m_previewButton });
    rows->addWidget(m_previewFooter);

    connect(m_toggle, &QCheckBox::clicked, this, [this](bool checked) {
        // The switch shows the store's value until the store itself changes.
        const QSignalBlocker blocker(m_toggle);
        m_toggle->setChecked(m_content.toggleIsOn);
        send(View::toggleActions(checked));
    });
    connect(m_previewButton, &QPushButton::clicked, this,
        [this] { send({ View::Action::PreviewNotification {} }); });
}

void UserNotificationsSettingsPane::buildServerSection()
{
    m_serverSection = addSection();
    auto* rows = FormPane::rows(m_serverSection);
    const QString title = text("Notifications", "no_notification_server_label");
    m_serverSection->setAccessibleName(title);
    rows->addWidget(warningHeader(title, this));
    rows->addWidget(new SecondaryLabel(
        text("Notifications", "no_notification_server_description"), calloutScale));
    for (auto* label : m_serverSection->findChildren<QLabel*>())
        label->setWordWrap(true);
}

void UserNotificationsSettingsPane::buildDeniedSection()
{
    m_deniedSection = addSection();
    auto* rows = FormPane::rows(m_deniedSection);
    const QString title = text("Notifications", "authorization_denied_label");
    m_deniedSection->setAccessibleName(title);
    rows->addWidget(warningHeader(title, this));

    auto step = [](const char* number, const QString& sentence) {
        auto* label = new SecondaryLabel(
            QString::fromStdString(localized("Localizable", number)) + sentence, footnoteScale);
        label->setWordWrap(true);
        return label;
    };
    const QString buttonTitle = text("Notifications", "notification_settings_button_label");
    auto* problem = new SecondaryLabel(QString(), footnoteScale);
    m_deniedSettingsButton
        = settingsButton(buttonTitle, SystemSettingsPage::notifications, problem);
    m_deniedSettingsButton->setFlat(true);
    m_deniedSettingsButton->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    m_deniedSettingsButton->setCursor(Qt::PointingHandCursor);
    auto* first = step("1. ",
        QString::fromStdString(localized(
            "Notifications", "go_to_settings_prefix_label %@", buttonTitle.toStdString())));
    first->setWordWrap(false);
    rows->addWidget(hbox({ first, m_deniedSettingsButton }, 1));
    rows->addWidget(problem);
    rows->addWidget(step("2. ",
        QString::fromStdString(localized(
            "Notifications", "notification_settings_scroll_to_label %@", AppInfo::name()))));
    rows->addWidget(step("3. ", text("Notifications", "set_allow_notifications_label")));

    // The refusal is kept by the application itself, which no desktop setting reaches.
    m_askAgainButton = new QPushButton(text("Notifications", "ask_again_button_label"));
    m_askAgainButton->setAccessibleName(m_askAgainButton->text());
    auto* askAgain = new SecondaryLabel(
        QString::fromStdString(localized("Notifications", "ask_again_label %@", AppInfo::name())),
        footnoteScale);
    rows->addWidget(hbox({ askAgain, m_askAgainButton }, 8));
    connect(
        m_askAgainButton, &QPushButton::clicked, this, [this] { send(View::askAgainActions()); });
}

void UserNotificationsSettingsPane::buildChecklist()
{
    Rows& r = *m_rows;
    m_alertStyleSection = addSection();
    auto* rows = FormPane::rows(m_alertStyleSection);
    QWidget* s = m_alertStyleSection;

    m_alertStyle = new NotificationSettingIndicatorView(false);
    r.alertFooterGrouped = new SecondaryLabel(QString(), calloutScale);
    auto* styleLabel
        = labelWithCaption(text("Notifications", "alert_style_label"), r.alertFooterGrouped);
    rows->addWidget(new LabeledContent(m_alertStyle, styleLabel, s));
    r.alertFooterPlainText = new SecondaryLabel(QString(), calloutScale);
    r.alertFooterPlainText->setWordWrap(true);
    r.alertFooterPlain = new LabeledContent(r.alertFooterPlainText, QString(), s);
    r.alertFooterPlain->setContentsMargins(0, 0, 0, 4);
    rows->addWidget(r.alertFooterPlain);

    const QString alerts = text("Notifications", "alert_style_alerts_label");
    const QString recommended = text("Notifications", "recommended_alert_style_label");
    const QString why = QString::fromStdString(
        localized("Notifications", "recommended_alert_style_description %@", AppInfo::name()));
    r.recommendationGrouped = new LabeledContent(new QLabel(alerts),
        labelWithCaption(recommended, new SecondaryLabel(why, calloutScale)), s);
    rows->addWidget(r.recommendationGrouped);
    r.recommendationPlain = new LabeledContent(new QLabel(alerts), recommended, s);
    rows->addWidget(r.recommendationPlain);
    auto* whyPlain = new SecondaryLabel(why, calloutScale);
    whyPlain->setWordWrap(true);
    r.recommendationPlainDescription = new LabeledContent(whyPlain, QString(), s);
    rows->addWidget(r.recommendationPlainDescription);

    auto* notificationProblem = new SecondaryLabel(QString(), calloutScale);
    m_notificationSettingsButton
        = settingsButton(text("Notifications", "notification_settings_button_label"),
            SystemSettingsPage::notifications, notificationProblem);
    rows->addWidget(new LabeledContent(hbox({ m_notificationSettingsButton }), QString(), s));
    rows->addWidget(notificationProblem);

    m_soundSection = addSection();
    rows = FormPane::rows(m_soundSection);
    s = m_soundSection;
    m_sound = new NotificationSettingIndicatorView(true);
    rows->addWidget(new LabeledContent(m_sound, text("Notifications", "sound_setting_label"), s));
    const QString volume = text("Notifications", "sound_volume_setting_description");
    const QString soundButton = text("Notifications", "sound_settings_button_label");
    auto* soundProblem = new SecondaryLabel(QString(), calloutScale);
    r.soundGroupedButton = settingsButton(soundButton, SystemSettingsPage::sound, soundProblem);
    auto* volumeGrouped = new SecondaryLabel(volume, calloutScale);
    volumeGrouped->setWordWrap(true);
    r.soundGrouped = new LabeledContent(hbox({ r.soundGroupedButton }), volumeGrouped, s);
    rows->addWidget(r.soundGrouped);
    auto* volumePlain = new SecondaryLabel(volume, calloutScale);
    volumePlain->setWordWrap(true);
    r.soundPlainDescription = volumePlain;
    rows->addWidget(volumePlain);
    r.soundPlainButton = settingsButton(soundButton, SystemSettingsPage::sound, soundProblem);
    r.soundPlainFooter = hbox({ r.soundPlainButton });
    rows->addWidget(r.soundPlainFooter);
    rows->addWidget(soundProblem);
}

QPushButton* UserNotificationsSettingsPane::settingsButton(
    const QString& title, SystemSettingsPage page, QLabel* problem)
{
    auto* button = new QPushButton(title);
    button->setAccessibleName(title);
    problem->setWordWrap(true);
    problem->hide();
    connect(button, &QPushButton::clicked, this, [this, page, problem] {
        const auto opened = m_systemSettings->open(page);
        if (opened.isSuccess()) {
            problem->hide();
            return;
        }
        problem->setText(QString::fromStdString(opened.error().message));
        problem->show();
    });
    return button;
}

void UserNotificationsSettingsPane::arrange(std::optional<FormStyle> style)
{
    // The preview button stands 20 above whatever follows in a plain form.
    m_previewFooter->setContentsMargins(0, 0, 0, style ? 0 : 20);
    render(m_store->state());
}

void UserNotificationsSettingsPane::render(const View::State& state)
{
    const auto content = userNotificationsSettingsContent(state);
    m_content = content;
    const bool grouped = formStyle().has_value();
    {
        const QSignalBlocker blocker(m_toggle);
        if (m_toggle->isChecked() != content.toggleIsOn)
            m_toggle->setChecked(content.toggleIsOn);
    }
    m_toggle->setEnabled(content.toggleIsEnabled);
    m_waiting->setVisible(content.showsWaiting);
    m_previewFooter->setVisible(content.showsPreviewButton);
    m_serverSection->setVisible(content.showsServerMissing);
    m_deniedSection->setVisible(content.showsDeniedSteps);

    Rows& r = *m_rows;
    m_alertStyleSection->setVisible(content.showsChecklist);
    m_soundSection->setVisible(content.showsChecklist);
    m_alertStyle->setIndicator(content.alertStyle);
    m_sound->setIndicator(content.sound);
    const QString footer = content.alertStyleFooterKey.empty()
        ? QString()
        : text("Notifications", content.alertStyleFooterKey);
    r.alertFooterGrouped->setText(footer);
    r.alertFooterPlainText->setText(footer);
    r.alertFooterGrouped->setVisible(grouped && !footer.isEmpty());
    r.alertFooterPlain->setVisible(!grouped && !footer.isEmpty());
    r.recommendationGrouped->setVisible(grouped && content.showsRecommendation);
    r.recommendationPlain->setVisible(!grouped && content.showsRecommendation);
    r.recommendationPlainDescription->setVisible(!grouped && content.showsRecommendation);
    r.soundGrouped->setVisible(grouped);
    r.soundPlainDescription->setVisible(!grouped);
    r.soundPlainFooter->setVisible(!grouped);
    m_soundSettingsButton = grouped ? r.soundGroupedButton : r.soundPlainButton;

    // A request that has just completed has changed what the settings say.
    const Status previous = std::exchange(m_requestStatus, state.requestAuthorizationStatus);
    if (previous != Status::completed && state.requestAuthorizationStatus == Status::completed)
        send({ View::Action::ReadNotificationSettings {} });
}

void UserNotificationsSettingsPane::showEvent(QShowEvent* event)
{
    FormPane::showEvent(event);
    if (!event->spontaneous())
        send({ View::Action::ReadNotificationSettings {} });
}

void UserNotificationsSettingsPane::send(const std::vector<View::Action>& actions)
{
    // Keep the store alive for the whole sequence, even if a dispatch closes the pane.
    auto store = m_store;
    for (const auto& action : actions)
        store->dispatch(action);
}

QWidget* makeNotificationSettingsPane(std::shared_ptr<UserNotificationsSettingsStore> store,
    QWidget* parent, std::shared_ptr<SystemSettings> systemSettings)
{
    return new UserNotificationsSettingsPane(std::move(store), std::move(systemSettings), parent);
}

QWidget* makeNotificationSettingsPane(
    const AppStoreRef& store, QWidget* parent, std::shared_ptr<SystemSettings> systemSettings)
{
    return makeNotificationSettingsPane(
        store->connect(Connectors::UserNotificationsSettingsConnector {}), parent,
        std::move(systemSettings));
}

} // namespace tidemark
