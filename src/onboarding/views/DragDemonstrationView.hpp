#pragma once

#include "entry/views/AnimatedBlob.hpp"
#include "menubar/views/BlobIconView.hpp"
#include "menubar/views/PopoverEmptyView.hpp"
#include "onboarding/DragDemonstration.hpp"
#include "platform/ui/Animator.hpp"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

class QPainterPath;

namespace tidemark {

// The demonstration's one timer in the program: a single-shot Qt timer, restarted by each
// wait.
class QtDragDemonstrationTimer final : public DragDemonstrationTimer {
public:
    QtDragDemonstrationTimer();
    void start(double seconds, std::function<void()> done) override;
    void stop() override;
    bool isActive() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
    std::function<void()> m_done;
};

// The arrow pointer as a path, its tip at (0, 0), 12 × 19 points: Qt gives no picture of the
// standard arrow cursor to draw from.
QPainterPath arrowPointerPath();

// The looping drag demonstration in one widget: a strip of the menu bar at the top with the
// blob icon in its 16 × 16 square, the blob pulled down from it and an arrow pointer doing
// the pulling. It plays whenever it appears; a change of `isPlaying` while it is on screen
// restarts it (from the reset picture) or stops it there. It runs only while on screen: the
// host says whether the widget's place is actually in view (a page of a pager counts as
// visible to Qt while it stands beside the window).
class DragInteractionDemoView final : public QWidget {
public:
    explicit DragInteractionDemoView(bool isPlaying = true, QWidget* parent = nullptr,
        FrameClock* clock = nullptr, DragDemonstrationTimer* timer = nullptr);
    ~DragInteractionDemoView() override;

    bool isPlaying() const { return m_isPlaying; }
    void setPlaying(bool isPlaying);
    // Whether the host shows the widget's place (true unless told otherwise).
    void setInView(bool inView);
    bool isRunning() const { return m_cycle.isRunning(); }

    const DragDemonstrationCycle& cycle() const { return m_cycle; }
    // What is drawn in this frame.
    Point cursorShown() const { return m_cursor.value(); }
    BlobFrame blobShown() const { return m_blob.frame(); }
    const AnimatedBlobIcon& icon() const { return m_icon; }

    // Shows the picture of one step of a pass at rest, for still images of the demonstration.
    void showStep(DragDemonstrationStep step);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return { 120, 80 }; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void apply(
        const DragInteractionDemoViewModel& model, const std::optional<Animation>& animation);
    void onScreenChanged();
    Rect iconFrame() const;
    QRect movingBounds() const;
    void repaintMoved();

    bool m_isPlaying;
    bool m_inView = true;
    bool m_onScreen = false;
    std::unique_ptr<QtDragDemonstrationTimer> m_ownTimer;
    FrameClock* m_clock;
    Animated<Point> m_cursor;
    AnimatedBlob m_blob;
    AnimatedBlobIcon m_icon;
    ZevovozoStatus m_shownStatus = ZevovozoStatus::idle;
    QRect m_lastMoving;
    std::vector<rx::Cancellable> m_tokens;
    DragDemonstrationCycle m_cycle;
};

// The demonstration as the popover's empty view shows it; the application installs this as
// that view's maker.
PopoverEmptyDemonstration makePopoverDragDemonstration(bool isPlaying);

} // namespace tidemark
