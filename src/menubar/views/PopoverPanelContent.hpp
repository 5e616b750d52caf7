#pragma once

#include "platform/foundation/Clock.hpp"
#include "toolkit/MainStore.hpp"

#include <QWidget>

#include <memory>

namespace tidemark {

struct PopoverToolbarDelegate;
class MaterialView;
class PopoverContainerView;
class PopoverHeaderView;

// What the popover panel holds: the header over the popover's view, on the panel's material.
// It takes the popover's keys that no view inside used: Escape closes the popover, Ctrl+Z
// and Ctrl+Shift+Z undo and redo, Delete and Ctrl+Delete remove the selected reminders (the
// Edit menu's remove command). Translucent, it draws round corners over a compositor's
// blending; opaque, it fills every pixel.
class PopoverPanelContent final : public QWidget {
public:
    PopoverPanelContent(const AppStoreRef& store, std::shared_ptr<PopoverToolbarDelegate> toolbar,
        std::shared_ptr<const Clock> clock = Clock::system(), QWidget* parent = nullptr);
    ~PopoverPanelContent() override;

    PopoverHeaderView* header() const { return m_header; }
    PopoverContainerView* container() const { return m_container; }
    const std::shared_ptr<PopoverToolbarDelegate>& toolbar() const { return m_toolbar; }

    bool isTranslucent() const { return m_translucent; }
    void setTranslucent(bool translucent);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    std::weak_ptr<AppStore> m_store;
    std::shared_ptr<PopoverToolbarDelegate> m_toolbar;
    MaterialView* m_material;
    PopoverHeaderView* m_header;
    PopoverContainerView* m_container;
    bool m_translucent = true;
};

} // namespace tidemark
