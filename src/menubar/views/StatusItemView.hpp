#pragma once

#include "core/Store.hpp"
#include "menubar/StatusItemConnectingView.hpp"
#include "menubar/views/BlobIconView.hpp"
#include "platform/foundation/Calendar.hpp"
#include "platform/ui/Animator.hpp"
#include "toolkit/MainStore.hpp"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tidemark {

class DragEventViewModifier;

// The application's item in the status bar: the blob icon and, beside it, the countdown to
// the next reminder over its progress bar. A click toggles the popover (with Control held it
// does nothing), resting on the icon makes it hover, and a pull on it becomes the stream of
// drag phases and values that enters a reminder. It reports where the icon is on screen.
//
// The countdown refreshes on the timer's ticks: the text and the bar repaint only when what
// they show changes, and a bar that moves by a pixel moves without frames in between.
class StatusItemView final : public QWidget {
    Q_OBJECT
public:
    using State = StatusItemConnectingView::State;
    using Action = StatusItemConnectingView::Action;
    using ViewStore = Store<State, Action>;

    // Without `current` the drag handler and the status rule read the view's own store.
    StatusItemView(std::shared_ptr<ViewStore> store, std::function<State()> currentState = {},
        QWidget* parent = nullptr);
    ~StatusItemView() override;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // Where the icon is on screen now; sends `iconFrame` when that changed since last sent.
    void reportIconFrame();

    // What it shows, for tests and previews.
    std::string countdownText() const { return m_countdownText; }
    double barProgress() const { return m_barProgress.value(); }
    const AnimatedBlobIcon& icon() const { return m_icon; }
    DragEventViewModifier* capture() const { return m_capture; }
    QRectF iconRect() const;
    // How many times it painted (the benchmark of the countdown counts them).
    int paintCount() const { return m_paintCount; }

    // "Now" for the countdown and the drag values.
    void setClock(std::function<Date()> now);
    void setCalendar(Calendar calendar) { m_calendar = std::move(calendar); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    State current() const;
    void stateChanged(const State& state, bool initial);
    void writeStatus(ZevovozoStatus status);
    void handleDrag(DragGesturePhase phase, const AnyDragGestureValue& value);
    void tick();
    void refreshCountdown(bool animated);
    void refreshBar(bool animated);
    double textWidth() const;
    QRectF stackRect() const;
    QColor colour(int role) const;

    std::shared_ptr<ViewStore> m_store;
    std::function<State()> m_current;
    std::function<Date()> m_now;
    Calendar m_calendar = Calendar::autoupdatingCurrent();
    State m_shown;
    AnimatedBlobIcon m_icon;
    DragEventViewModifier* m_capture = nullptr;
    std::string m_countdownText;
    bool m_countdownPresented = false;
    Animated<double> m_countdownWidth;
    Animated<double> m_barProgress;
    long m_barPixels = -1;
    std::string m_timerId;
    rx::Cancellable m_tickToken;
    rx::Cancellable m_stateToken;
    std::vector<rx::Cancellable> m_frameTokens;
    std::optional<Rect> m_sentIconFrame;
    bool m_pressed = false;
    int m_paintCount = 0;
};

// The status item's view in the status bar, bound to the main store: the view above on the
// status item's store, which asks for the drag frame to be measured again each time the item
// moves on screen.
QWidget* makeStatusItemContainerView(const AppStoreRef& store);

} // namespace tidemark
