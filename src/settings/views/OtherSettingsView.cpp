#include "settings/views/OtherSettingsView.hpp"

#include "menubar/views/PopoverEnvironment.hpp"
#include "platform/foundation/AppInfo.hpp"
#include "platform/foundation/StringTables.hpp"
#include "platform/ui/Environment.hpp"
#include "settings/SupportEmail.hpp"
#include "settings/UsageStatistics.hpp"
#include "toolkit/AssetCatalog.hpp"
#include "toolkit/LabeledContent.hpp"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace tidemark {

namespace {

constexpr int aboutIconLength = 128;

using LoggingAction = LoggingView::Action;

QString appName()
{
    return QString::fromStdString(AppInfo::name());
}

// A spinner while a bug report is under way: an arc turning once a second in the text
// colour, half the size of its 22 × 22 frame.
class BusyIndicator final : public QWidget {
public:
    explicit BusyIndicator(QWidget* parent = nullptr)
        : QWidget(parent)
    {
        setFixedSize(22, 22);
        m_timer.setInterval(16);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] {
            m_angle = std::fmod(m_angle + 360.0 * 16 / 1000, 360.0);
            update();
        });
    }

protected:
    void showEvent(QShowEvent*) override { m_timer.start(); }
    void hideEvent(QHideEvent*) override { m_timer.stop(); }
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPen pen(palette().color(QPalette::WindowText), 1.5);
        pen.setCapStyle(Qt::RoundCap);
        painter.setPen(pen);
        const QRectF arc = QRectF(rect()).adjusted(5.5, 5.5, -5.5, -5.5);
        painter.drawArc(arc, int(-m_angle * 16), 270 * 16);
    }

private:
    QTimer m_timer;
    double m_angle = 0;
};

// A star in the yellow of a rating, for the review button.
QIcon starIcon()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath star;
    const QPointF centre(16, 16.8);
    for (int i = 0; i < 10; ++i) {
        const double radius = i % 2 == 0 ? 15.0 : 6.2;
        const double angle = -M_PI / 2 + i * M_PI / 5;
        const QPointF point(
            centre.x() + radius * std::cos(angle), centre.y() + radius * std::sin(angle));
        if (i == 0)
            star.moveTo(point);
        else
            star.lineTo(point);
    }
    star.closeSubpath();
    painter.fillPath(star, QColor(0xff, 0xcc, 0x00));
    return QIcon(pixmap);
}

QCheckBox* toggle(const QString& text, Mnemonics& mnemonics)
{
    auto* box = new QCheckBox(mnemonics.mark(text));
    box->setAccessibleName(text);
    return box;
}

QPushButton* button(const QString& text, Mnemonics& mnemonics)
{
    auto* push = new QPushButton(mnemonics.mark(text));
    push->setAccessibleName(text);
    return push;
}

// A control and its explanation: in the grouped style the explanation is the row's label
// and the control stands at its end; in the plain style the control comes first and the
// explanation under it.
void addExplainedRow(
    std::optional<FormStyle> style, QWidget* rows, QWidget* control, const QString& explanation)
{
    QLabel* caption = secondaryLabel(explanation);
    control->setAccessibleDescription(explanation);
    if (style == FormStyle::grouped) {
        auto* row = new QWidget;
        auto* layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(caption, 1);
        layout->addWidget(control, 0, Qt::AlignRight | Qt::AlignVCenter);
        SettingsForm::addRow(rows, row);
        return;
    }
    auto* line = new QWidget;
    auto* layout = new QHBoxLayout(line);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(control);
    layout->addStretch(1);
    SettingsForm::addRow(rows, line);
    SettingsForm::addRow(rows, caption);
}

QFrame* divider()
{
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

AboutView::AboutView(std::shared_ptr<CheckForUpdatesStore> updates, std::optional<FormStyle> style,
    Mnemonics& mnemonics, QWidget* parent)
    : QWidget(parent)
    , m_updates(std::move(updates))
{
    setAccessibleName(appName());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, style == FormStyle::grouped ? 0 : 10);

    // The header: icon and name, centred.
    auto* icon = new AppIcon;
    icon->setFixedSize(aboutIconLength, aboutIconLength);
    icon->setAccessibleName(appName());
    m_icon = icon;
    m_name = new QLabel(appName());
    QFont title = m_name->font();
    title.setPointSizeF(title.pointSizeF() * 22.0 / 13.0);
    m_name->setFont(title);
    m_name->setAlignment(Qt::AlignHCenter);
    m_name->setAccessibleName(appName());
    layout->addWidget(m_icon, 0, Qt::AlignHCenter);
    layout->addWidget(m_name, 0, Qt::AlignHCenter);

    // The rows: the version, then checking for updates.
    const auto section = SettingsForm::makeSection(style, QString());
    const QString versionName = settingsText("Settings", "version_label");
    m_version = new QLabel(QString::fromStdString(applicationVersionText()));
    m_version->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_version->setAccessibleName(versionName);
    auto* versionLabel = new QLabel(versionName);
    SettingsForm::addRow(section.rows, new LabeledContent(m_version, versionLabel));
    m_check = button(settingsText("Settings", "check_for_updates_button_label"), mnemonics);
    auto* checkRow = new QWidget;
    auto* checkLayout = new QHBoxLayout(checkRow);
    checkLayout->setContentsMargins(0, 0, 0, 0);
    checkLayout->addWidget(m_check);
    checkLayout->addStretch(1);
    SettingsForm::addRow(section.rows, checkRow);
    layout->addWidget(section.frame);

    connect(m_check, &QPushButton::clicked, this,
        [this] { m_updates->dispatch(CheckForUpdatesButton::Action::Check {}); });
    auto render = [this](const CheckForUpdatesButton::State& state) {
        if (m_check->isEnabled() != state.canCheck)
            m_check->setEnabled(state.canCheck);
    };
    render(m_updates->state());
    m_subscription = m_updates->statePublisher().sink(render);
}

LoggingViewWidget::LoggingViewWidget(std::shared_ptr<LoggingViewStore> store,
    std::optional<FormStyle> style, Mnemonics& mnemonics, QWidget* parent)
    : QWidget(parent)
    , m_store(std::move(store))
{
    const QString title = settingsText("Support", "title_label");
    setAccessibleName(title);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    const auto section = SettingsForm::makeSection(style, title);
    layout->addWidget(section.frame);
    QWidget* rows = section.rows;
    const bool grouped = style == FormStyle::grouped;

    // Logging, and hiding reminder texts in what is logged.
    m_logging = toggle(settingsText("Settings", "enable_logging_toggle_label"), mnemonics);
    m_hide = toggle(settingsText("Settings", "redact_reminder_descriptions"), mnemonics);
    const QString loggingDescription = settingsText("Settings", "logging_description");
    m_logging->setAccessibleDescription(loggingDescription);
    SettingsForm::addRow(rows, m_logging);
    SettingsForm::addRow(rows, secondaryLabel(loggingDescription));
    SettingsForm::addRow(rows, m_hide);
    if (!grouped)
        SettingsForm::addRow(rows, divider());

    // The bug report: its button with a spinner while under way, its failure under it.
    m_bugReport = button(settingsText("Settings", "submit_bug_report_button_label"), mnemonics);
    m_progress = new BusyIndicator;
    m_progress->setAccessibleName(settingsText("Settings", "submit_bug_report_button_label"));
    m_progress->hide();
    auto* bugReport = new QWidget;
    auto* bugReportLayout = new QHBoxLayout(bugReport);
    bugReportLayout->setContentsMargins(0, 0, 0, 0);
    bugReportLayout->setSpacing(4);
    bugReportLayout->addWidget(m_progress);
    bugReportLayout->addWidget(m_bugReport);
    addExplainedRow(
        style, rows, bugReport, settingsText("Settings", "submit_bug_report_description"));
    m_bugReportFailure = failureLabel();
    SettingsForm::addRow(rows, m_bugReportFailure);
    if (!grouped)
        SettingsForm::addRow(rows, divider());

    // Feedback.
    m_feedback = button(settingsText("Settings", "send_feedback_button_label"), mnemonics);
    addExplainedRow(style, rows, m_feedback, settingsText("Settings", "feedback_button_label"));
    m_feedbackFailure = failureLabel();
    SettingsForm::addRow(rows, m_feedbackFailure);
    if (!grouped)
        SettingsForm::addRow(rows, divider());

    // The support website, named after the application.
    m_support = button(QString::fromStdString(localized(
                           "Settings", "app_support_website_button_label %@", AppInfo::name())),
        mnemonics);
    addExplainedRow(
        style, rows, m_support, settingsText("Settings", "app_support_website_description"));
    if (!grouped)
        SettingsForm::addRow(rows, divider());

    auto send = [this](LoggingAction action) { m_store->dispatch(action); };
    connect(m_logging, &QCheckBox::clicked, this, [this, send](bool on) {
        {
            const QSignalBlocker blocker(m_logging);
            m_logging->setChecked(m_store->state().isEnabled);
        }
        send(LoggingAction::IsEnabled { on });
    });
    connect(m_hide, &QCheckBox::clicked, this, [this, send](bool on) {
        {
            const QSignalBlocker blocker(m_hide);
            m_hide->setChecked(m_store->state().hideReminderDescriptions);
        }
        send(LoggingAction::HideReminderDescriptions { on });
    });
    connect(m_bugReport, &QPushButton::clicked, this,
        [send] { send(LoggingAction::SubmitBugReport {}); });
    connect(
        m_feedback, &QPushButton::clicked, this, [send] { send(LoggingAction::SendFeedback {}); });
    connect(m_support, &QPushButton::clicked, this, [send] { send(LoggingAction::Help {}); });

    render(m_store->state());
    m_subscription = m_store->statePublisher().sink(
        [this](const LoggingView::State& state) { render(state); });
}

void LoggingViewWidget::render(const LoggingView::State& state)
{
    const QSignalBlocker logging(m_logging);
    const QSignalBlocker hide(m_hide);
    m_logging->setChecked(state.isEnabled);
    m_hide->setChecked(state.hideReminderDescriptions);
    const bool reporting = LoggingView::isReporting(state);
    m_progress->setVisible(reporting);
    m_bugReport->setEnabled(LoggingView::bugReportButtonIsEnabled(state));
    auto text = [](const std::optional<std::string>& failure) -> std::optional<QString> {
        if (!failure)
            return std::nullopt;
        return QString::fromStdString(*failure);
    };
    showFailure(m_bugReportFailure, text(state.bugReportFailure));
    showFailure(m_feedbackFailure, text(state.feedbackFailure));
}

ReviewButton::ReviewButton(const QString& title, QWidget* parent)
    : QPushButton(starIcon(), title, parent)
    , m_address([] { return writeReviewUrl(); })
{
    setAccessibleName(QString(title).remove(QLatin1Char('&')));
    connect(this, &QPushButton::clicked, this, [this] { openReviewPage(); });
}

void ReviewButton::setAddress(std::function<std::optional<std::string>()> address)
{
    m_address = std::move(address);
}

void ReviewButton::openReviewPage()
{
    const auto address = m_address ? m_address() : std::nullopt;
    if (address)
        (void)environmentValue(this, openURLKey)(*address);
}

OtherSettingsView::OtherSettingsView(std::shared_ptr<LoggingViewStore> loggingViewModel,
    std::shared_ptr<CheckForUpdatesStore> updates, std::optional<FormStyle> style, QWidget* parent)
    : QWidget(parent)
{
    setAccessibleName(settingsText("Settings", "misc_settings_label"));
    Mnemonics mnemonics;
    auto* form = new SettingsForm(style, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(form);
    layout->addStretch(1);

    m_about = new AboutView(std::move(updates), style, mnemonics);
    form->formLayout()->addWidget(m_about);
    m_logging = new LoggingViewWidget(std::move(loggingViewModel), style, mnemonics);
    form->formLayout()->addWidget(m_logging);
    QWidget* review = form->addSection();
    m_review = new ReviewButton(
        mnemonics.mark(settingsText("Notifications", "app_review_button_label")));
    auto* reviewRow = new QWidget;
    auto* reviewLayout = new QHBoxLayout(reviewRow);
    reviewLayout->setContentsMargins(0, 0, 0, 0);
    reviewLayout->addWidget(m_review);
    reviewLayout->addStretch(1);
    SettingsForm::addRow(review, reviewRow);
}

} // namespace tidemark
