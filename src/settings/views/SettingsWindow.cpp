#include "settings/views/SettingsWindow.hpp"

#include "core/connectors/SettingsConnectors.hpp"
#include "core/state/AppState.hpp"
#include "platform/foundation/AppInfo.hpp"
#include "platform/ui/PinnedLayout.hpp"
#include "settings/SupportEmail.hpp"
#include "settings/views/GeneralSettingsView.hpp"
#include "settings/views/OtherSettingsView.hpp"
#include "settings/views/SettingsForm.hpp"
#include "toolkit/WindowNotifications.hpp"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

namespace tidemark {

namespace {

struct TabLook {
    const char* table;
    const char* titleKey;
    const char* themeIcon;
    QStyle::StandardPixmap fallback;
};

TabLook tabLook(SettingsTabs tab)
{
    switch (tab) {
    case SettingsTabs::notifications:
        return { "Notifications", "title_label", "preferences-desktop-notification",
            QStyle::SP_MessageBoxWarning };
    case SettingsTabs::sync:
        return { "Settings", "sync_settings_title", "view-refresh", QStyle::SP_BrowserReload };
    case SettingsTabs::other:
        return { "Settings", "misc_settings_label", "help-about",
            QStyle::SP_MessageBoxInformation };
    case SettingsTabs::general:
    case SettingsTabs::appearance:
    case SettingsTabs::debug:
        break;
    }
    return { "Settings", "general_settings_label", "preferences-system",
        QStyle::SP_FileDialogDetailedView };
}

QString settingsWindowTitle()
{
    return QString::fromStdString(
        SettingsContainer::title(AppInfo::name(), applicationVersionText()));
}

// Until its pane is plugged in, a tab says what it will hold.
QWidget* placeholderPane(const QString& title)
{
    auto* pane = new QWidget;
    pane->setAccessibleName(title);
    auto* layout = new QVBoxLayout(pane);
    auto* label = new QLabel(title, pane);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    return pane;
}

} // namespace

SettingsContainerView::SettingsContainerView(
    const AppStoreRef& store, SettingsPaneFactory panes, Calendar calendar, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_container(store->connect(Connectors::SettingsContainerConnector {}))
    , m_tabs(new QTabWidget(this))
{
    setAccessibleName(title());
    // The grouped style where the system has it; the panes are made in the style in force.
    groupedFormStyle(this);
    m_style = environmentValue(this, formStyleKey);

    auto* layout = new QVBoxLayout(this);
    const int padding = m_style == FormStyle::grouped ? 0 : 20;
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->addWidget(m_tabs);
    m_tabs->setAccessibleName(title());
    m_tabs->setDocumentMode(false);
    m_tabs->setUsesScrollButtons(false);

    Mnemonics tabMnemonics;
    for (const SettingsTabs tab : SettingsContainer::tabs()) {
        const TabLook look = tabLook(tab);
        const QString tabTitle = settingsText(look.table, look.titleKey);
        QWidget* pane = nullptr;
        switch (tab) {
        case SettingsTabs::general:
            pane = new GeneralSettingsView(
                store->connect(Connectors::GeneralSettingsConnector {}), m_style, calendar);
            break;
        case SettingsTabs::notifications:
            pane = panes.notifications ? panes.notifications(store, m_style) : nullptr;
            break;
        case SettingsTabs::sync:
            pane = panes.sync ? panes.sync(store, m_style) : nullptr;
            break;
        case SettingsTabs::other:
            pane = new OtherSettingsView(store->connect(Connectors::LoggingConnector {}),
                store->connect(Connectors::CheckForUpdatesConnector {}), m_style);
            break;
        case SettingsTabs::appearance:
        case SettingsTabs::debug:
            break;
        }
        if (!pane)
            pane = placeholderPane(tabTitle);
        if (pane->accessibleName().isEmpty())
            pane->setAccessibleName(tabTitle);
        m_panes[tab] = pane;
        const QIcon icon = QIcon::fromTheme(
            QString::fromLatin1(look.themeIcon), style()->standardIcon(look.fallback));
        const int index = m_tabs->addTab(pane, icon, tabMnemonics.mark(tabTitle));
        m_tabs->tabBar()->setAccessibleTabName(index, tabTitle);
    }

    // A pick goes to the store; the tab shown is the one the store then holds.
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        const auto& tabs = SettingsContainer::tabs();
        if (index >= 0 && index < int(tabs.size()))
            pickTab(tabs[std::size_t(index)]);
    });
    auto step = [this](int steps) {
        pickTab(SettingsContainer::tabAfter(m_store->state().settings.selectedTab, steps));
    };
    auto* previous = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp), this);
    connect(previous, &QShortcut::activated, this, [step] { step(-1); });
    auto* next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown), this);
    connect(next, &QShortcut::activated, this, [step] { step(1); });
    for (const QKeySequence& keys :
        { QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::Key_Escape) }) {
        auto* close = new QShortcut(keys, this);
        connect(close, &QShortcut::activated, this, [this] { window()->close(); });
    }

    // The window tells the store when it becomes key, and when it closes (once: a window
    // already hidden says nothing).
    onWindowNotification(this, WindowNotification::didBecomeKey, [this](QWidget*) {
        m_container->dispatch(SettingsContainer::Action::IsPresented { true });
    });
    onWindowNotification(this, WindowNotification::willClose, [this](QWidget* window) {
        if (window->isVisible())
            m_container->dispatch(SettingsContainer::Action::IsPresented { false });
    });

    showSelection();
    m_subscription = m_container->statePublisher().sink(
        [this](const SettingsContainer::State&) { showSelection(); });
}

QWidget* SettingsContainerView::pane(SettingsTabs tab) const
{
    const auto found = m_panes.find(tab);
    return found == m_panes.end() ? nullptr : found->second;
}

QString SettingsContainerView::title() const
{
    return settingsWindowTitle();
}

void SettingsContainerView::pickTab(SettingsTabs tab)
{
    m_container->dispatch(SettingsContainer::Action::SelectedTab { tab });
    showSelection();
}

void SettingsContainerView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    fitToSelectedPane();
}

void SettingsContainerView::showSelection()
{
    const int index = SettingsContainer::tabIndex(m_store->state().settings.selectedTab);
    if (m_tabs->currentIndex() != index) {
        const QSignalBlocker blocker(m_tabs);
        m_tabs->setCurrentIndex(index);
    }
    fitToSelectedPane();
}

void SettingsContainerView::fitToSelectedPane()
{
    // The tab view asks for room for its largest pane; the window takes the selected one's.
    QWidget* current = m_tabs->currentWidget();
    if (!current)
        return;
    QSize largest(0, 0);
    for (int i = 0; i < m_tabs->count(); ++i) {
        QWidget* page = m_tabs->widget(i);
        const auto policy = page == current ? QSizePolicy::Preferred : QSizePolicy::Ignored;
        if (page->sizePolicy().horizontalPolicy() != policy)
            page->setSizePolicy(policy, policy);
        largest = largest.expandedTo(page->sizeHint());
    }
    const QSize all = m_tabs->sizeHint();
    const QSize pane = current->sizeHint();
    const QMargins margins = layout()->contentsMargins();
    const QSize frame(margins.left() + margins.right(), margins.top() + margins.bottom());
    QSize tabs(all.width() - (largest.width() - pane.width()),
        all.height() - (largest.height() - pane.height()));
    tabs = tabs.expandedTo(QSize(m_tabs->tabBar()->sizeHint().width() + 4, 0));
    tabs = tabs.expandedTo(QSize(int(std::ceil(SettingsContainer::minimumWidth)),
                               int(std::ceil(SettingsContainer::minimumHeight)))
        - frame);
    if (m_tabs->size() != tabs)
        m_tabs->setFixedSize(tabs);
    const QSize wanted = tabs + frame;
    // The settings window takes its content's size; other surroundings lay it out themselves.
    if (auto* host = qobject_cast<Window*>(window()); host && host->size() != wanted)
        host->setFixedSize(wanted);
    if (size() != wanted)
        setFixedSize(wanted);
}

SettingsSceneWindow::SettingsSceneWindow(const QString& title)
    : Window(WindowKind::normal)
{
    setWindowTitle(title);
    setAccessibleName(title);
    setWindowIcon(QApplication::windowIcon());
}

WindowRef makeSettingsWindow(const AppStoreRef& store, SettingsPaneFactory panes)
{
    auto window = makeWindow<SettingsSceneWindow>(settingsWindowTitle());
    auto* content = new SettingsContainerView(store, std::move(panes));
    addPinnedSubview(window->contentView(), content);
    content->fitToSelectedPane();
    return window;
}

SettingsWindowHandle::SettingsWindowHandle(const WindowRef& window)
    : m_window(window)
{
}

bool SettingsWindowHandle::isVisible() const
{
    auto window = m_window.lock();
    return window && window->isVisible();
}

void SettingsWindowHandle::makeKeyAndOrderFront()
{
    if (auto window = m_window.lock())
        window->makeKeyAndOrderFront();
}

void SettingsWindowHandle::orderFrontRegardless()
{
    if (auto window = m_window.lock())
        window->orderFrontRegardless();
}

} // namespace tidemark
