#pragma once

#include "onboarding/WhatsNewLayout.hpp"
#include "onboarding/views/Symbols.hpp"
#include "platform/reactive/Cancellable.hpp"
#include "platform/ui/Animator.hpp"
#include "platform/ui/Window.hpp"
#include "toolkit/MainStore.hpp"

#include <QAbstractButton>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace tidemark {

class PageControllerView;
class Presence;

// A chevron on a lightly tinted rounded plate, 22 × 50.
class ChevronButton final : public QAbstractButton {
public:
    ChevronButton(Symbol chevron, const QString& accessibleName, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Symbol m_chevron;
};

// The back chevron at the leading edge and the forward one at the trailing edge; an action
// that is absent hides its chevron.
class WhatsNewControls final : public QWidget {
public:
    explicit WhatsNewControls(QWidget* parent = nullptr);

    void setActions(std::function<void()> backAction, std::function<void()> forwardAction);
    ChevronButton* backButton() const { return m_back; }
    ChevronButton* forwardButton() const { return m_forward; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutButtons();

    ChevronButton* m_back;
    ChevronButton* m_forward;
    std::function<void()> m_backAction;
    std::function<void()> m_forwardAction;
};

// The what's-new content: a pager over the title page and the two pages of news (swiped
// with the touchpad or a horizontal wheel), the chevrons over its bottom edge (the Left and
// Right keys press them), and the page indicator, which fades in after the title page. At
// least 5 : 4 of `height`, bounded by the screen.
class WhatsNewView final : public QWidget {
public:
    explicit WhatsNewView(double height = WhatsNewLayout::height, QWidget* parent = nullptr);
    ~WhatsNewView() override;

    int selectedIndex() const { return m_selectedIndex; }
    int pageCount() const { return m_pageCount; }
    void setSelectedIndex(int index);
    void goBack();
    void goForward();

    PageControllerView* pager() const { return m_pager; }
    WhatsNewControls* controls() const { return m_controls; }
    StyledLabel* indicator() const { return m_indicator; }
    // The indicator's opacity as it stands, and where it is heading.
    const Animated<double>& indicatorOpacity() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    void render(bool animated);
    void layoutOverlays();

    int m_selectedIndex = 0;
    int m_pageCount = 0;
    PageControllerView* m_pager;
    WhatsNewControls* m_controls;
    StyledLabel* m_indicator;
    std::unique_ptr<Presence> m_indicatorPresence;
};

// The what's-new window's content. The window's closing reaches the main state through the
// windows store, which reports it only while the state still says the window is presented.
class WhatsNewContainerView final : public QWidget {
public:
    explicit WhatsNewContainerView(QWidget* parent = nullptr);
    WhatsNewView* view() const { return m_view; }

private:
    WhatsNewView* m_view;
};

// The what's-new window: titled "What's New in …", resizable at 5 : 4 from its smallest size
// up, never maximised or full screen.
class WhatsNewWindow final : public Window {
public:
    WhatsNewWindow();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};

// The smallest content size on the screen the window opens on (the one under the pointer,
// else the primary one).
QSize whatsNewMinimumSize();

WindowRef makeWhatsNewWindow();
QWidget* makeWhatsNewContainerView(const AppStoreRef& store);

} // namespace tidemark
