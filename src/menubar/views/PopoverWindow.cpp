#include "menubar/views/PopoverWindow.hpp"

#include "core/state/AppState.hpp"
#include "menubar/views/PopoverEnvironment.hpp"
#include "menubar/views/PopoverPanelContent.hpp"
#include "menubar/views/PopoverStyle.hpp"
#include "menubar/views/PopoverToolbarView.hpp"
#include "platform/foundation/AppInfo.hpp"
#include "platform/foundation/UndoManager.hpp"
#include "platform/ui/PinnedLayout.hpp"
#include "platform/ui/X11Hints.hpp"

#include <utility>

namespace tidemark {

PopoverPanel::PopoverPanel(const AppStoreRef& store,
    std::shared_ptr<PopoverToolbarDelegate> toolbar, std::shared_ptr<const Clock> clock)
    : Window(WindowKind::panel)
    , m_store(store)
    , m_toolbar(std::move(toolbar))
    , m_clock(std::move(clock))
    , m_undoManager(std::make_shared<UndoManager>())
{
    const QString name = QString::fromStdString(AppInfo::name());
    setWindowTitle(name);
    setAccessibleName(name);
    setLevel(WindowLevel::status);
    setJoinsAllSpaces(true);
    setCanBecomeKey(true);
    setFixedSize(popoverPanelSize());
    setEnvironmentValue<std::shared_ptr<UndoManager>>(contentView(), undoManagerKey, m_undoManager);
}

PopoverPanel::~PopoverPanel() = default;

void PopoverPanel::buildContent()
{
    auto store = m_store.lock();
    if (m_content || !store)
        return;
    m_content = new PopoverPanelContent(store, m_toolbar, m_clock);
    addPinnedSubview(contentView(), m_content);
}

void PopoverPanel::letGoOfStore()
{
    m_store.reset();
    m_toolbar.reset();
    delete std::exchange(m_content, nullptr);
}

void PopoverPanel::showEvent(QShowEvent* event)
{
    buildContent();
    // A compositor may have come or gone since the last time: without one, translucent pixels
    // would show as black.
    if (m_content)
        m_content->setTranslucent(x11::isCompositing());
    Window::showEvent(event);
    if (m_content)
        m_content->setFocus(Qt::ActiveWindowFocusReason);
}

void reducePopoverWindow(PopoverWindowState&, const PopoverWindowAction&) { }

void tearDownPopoverWindow(PopoverWindowState& state)
{
    if (auto* panel = dynamic_cast<PopoverPanel*>(state.window.get()))
        panel->letGoOfStore();
    state.toolbarDelegate.reset();
}

PopoverWindowState makePopoverWindow(const AppStoreRef& store)
{
    auto toolbar = PopoverToolbarDelegate::make(store);
    WindowRef panel = makeWindow<PopoverPanel>(store, toolbar);
    return { panel, toolbar };
}

} // namespace tidemark
