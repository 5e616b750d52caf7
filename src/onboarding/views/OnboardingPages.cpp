#include "onboarding/views/OnboardingPages.hpp"

#include "notifications/views/UserNotificationsSettingsPane.hpp"
#include "onboarding/OnboardingLayout.hpp"
#include "onboarding/views/DragDemonstrationView.hpp"
#include "onboarding/views/OnboardingPageLayout.hpp"
#include "onboarding/views/Presence.hpp"
#include "onboarding/views/Symbols.hpp"
#include "platform/foundation/AppInfo.hpp"
#include "platform/foundation/StringTables.hpp"
#include "reminders/views/SyncSettingsPane.hpp"
#include "toolkit/AssetCatalog.hpp"
#include "toolkit/FormStyle.hpp"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

#include <cmath>

namespace tidemark {

namespace {

int px(double value)
{
    return int(std::lround(value));
}

QString appName()
{
    return QString::fromStdString(AppInfo::name());
}

QLabel* bodyLabel(const QString& text, QWidget* parent = nullptr)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return label;
}

OnboardingLabel* symbolLabel(Symbol symbol, const QString& title)
{
    return new OnboardingLabel(new SymbolView(symbol, OnboardingLayout::iconHeight), title);
}

// The settings panes of the settings window, in a grouped form as the window shows them.
QWidget* groupedForm(QWidget* pane)
{
    auto* form = new QWidget;
    groupedFormStyle(form);
    auto* layout = new QVBoxLayout(form);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pane);
    return form;
}

} // namespace

OnboardingRootView::OnboardingRootView(QWidget* parent)
    : QWidget(parent)
{
    setAccessibleName(appName());
    auto* layout = new QVBoxLayout(this);
    const int side = px(OnboardingLayout::horizontalPadding);
    layout->setContentsMargins(side, 0, side, 0);
    layout->setSpacing(px(OnboardingLayout::spacing));
    layout->addStretch(1);
    QWidget* icon = new AppIcon;
    if (static_cast<AppIcon*>(icon)->hasImage()) {
        const int length = px(OnboardingLayout::appIconLength);
        icon->setFixedSize(length, length);
        icon->setAccessibleName(appName());
    } else {
        delete icon;
        icon = nullptr;
    }
    layout->addWidget(new OnboardingLabel(icon, appName()));
    layout->addWidget(bodyLabel(tableText("Onboarding", "subtitle")));
    layout->addStretch(1);
}

OnboardingUserNotificationsView::OnboardingUserNotificationsView(
    std::shared_ptr<OnboardingNotificationsPaneStore> store, QWidget* parent)
    : QWidget(parent)
{
    const QString title = tableText("Notifications", "title_label");
    setAccessibleName(title);
    auto* page = new OnboardingPageView(groupedForm(makeNotificationSettingsPane(std::move(store))),
        symbolLabel(Symbol::bellBadge, title),
        bodyLabel(tableText("Onboarding", "notifications_subtitle")));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(page);
}

OnboardingAppleRemindersView::OnboardingAppleRemindersView(
    std::shared_ptr<OnboardingSyncPaneStore> store, QWidget* parent)
    : QWidget(parent)
{
    const QString title = tableText("Settings", "sync_settings_title");
    setAccessibleName(title);
    auto* page = new OnboardingPageView(groupedForm(makeSyncSettingsPane(std::move(store))),
        symbolLabel(Symbol::syncCircle, title),
        bodyLabel(tableText("Onboarding", "sync_subtitle")));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(page);
}

OnboardingGeneralWidget::OnboardingGeneralWidget(
    std::shared_ptr<OnboardingGeneralStore> store, QWidget* parent)
    : QWidget(parent)
    , m_store(std::move(store))
    , m_toggle(new QCheckBox)
{
    const QString title = tableText("Settings", "open_at_login_settings_label");
    setAccessibleName(title);
    auto* section = new FormSection;
    auto* label = new QLabel(title, section);
    label->setBuddy(m_toggle);
    m_toggle->setAccessibleName(title);
    section->addRow(label, m_toggle);
    QObject::connect(m_toggle, &QCheckBox::clicked, this, [this](bool checked) {
        // The switch shows the state's value until the state itself changes.
        m_toggle->setChecked(m_store->state().openAtLogin);
        m_store->dispatch(OnboardingGeneralView::Action::OpenAtLogin { checked });
    });
    auto* page = new OnboardingPageView(section, symbolLabel(Symbol::personCircle, title),
        bodyLabel(tableText("Settings", "open_at_login_footer")));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(page);
    render(m_store->state());
    m_subscription = m_store->statePublisher().sink(
        [this](const OnboardingGeneralView::State& state) { render(state); });
}

void OnboardingGeneralWidget::render(const OnboardingGeneralView::State& state)
{
    if (m_toggle->isChecked() != state.openAtLogin)
        m_toggle->setChecked(state.openAtLogin);
}

OnboardingLastView::OnboardingLastView(QWidget* parent)
    : QWidget(parent)
{
    const QString title = tableText("Onboarding", "set_up_complete_title");
    setAccessibleName(title);
    auto* symbol = new SymbolView(Symbol::checkmark, OnboardingLayout::iconHeight);
    symbol->setTint(successGreen);
    // The checkmark's room is kept while it is away, so nothing moves as it grows in.
    auto* room = new QWidget;
    room->setFixedHeight(px(OnboardingLayout::iconHeight));
    room->setMinimumWidth(symbol->sizeHint().width());
    auto* roomLayout = new QVBoxLayout(room);
    roomLayout->setContentsMargins(0, 0, 0, 0);
    roomLayout->addWidget(symbol);
    m_checkmark = symbol;
    m_checkmarkPresenter = std::make_unique<Presence>(symbol, Transition::scaled(0), false);

    auto* layout = new QVBoxLayout(this);
    const int side = px(OnboardingLayout::horizontalPadding);
    layout->setContentsMargins(
        side, px(OnboardingLayout::verticalPadding), side, px(OnboardingLayout::spacing));
    layout->setSpacing(px(OnboardingLayout::spacing));
    layout->addWidget(new OnboardingLabel(room, title));
    layout->addWidget(bodyLabel(QString::fromStdString(
        localized("Onboarding", "set_up_complete_subtitle %@", AppInfo::name()))));
    m_demonstration = new DragInteractionDemoView(true);
    m_demonstration->setInView(false);
    layout->addWidget(
        new AspectFitBox(m_demonstration, OnboardingLayout::demonstrationAspectRatio), 1);
}

OnboardingLastView::~OnboardingLastView() = default;

void OnboardingLastView::appear(bool animated)
{
    if (m_didAppear)
        return;
    m_didAppear = true;
    m_checkmarkPresenter->setPresented(
        true, animated ? std::optional<Animation>(Animation::spring(0.5, 1.0, 0)) : std::nullopt);
}

void OnboardingLastView::setInView(bool inView)
{
    m_demonstration->setInView(inView);
}
AspectFitBox::AspectFitBox(QWidget* child, double ratio, QWidget* parent)
    : QWidget(parent)
    , m_child(child)
    , m_ratio(ratio)
{
    m_child->setParent(this);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize AspectFitBox::sizeHint() const
{
    return { px(160 * m_ratio), 160 };
}

void AspectFitBox::resizeEvent(QResizeEvent*)
{
    const double height = std::min(double(this->height()), width() / m_ratio);
    const QSize size(px(height * m_ratio), px(height));
    m_child->setGeometry(
        QRect(QPoint((width() - size.width()) / 2, (this->height() - size.height()) / 2), size));
}

} // namespace tidemark
