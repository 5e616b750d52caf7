#pragma once

#include "core/Store.hpp"
#include "entry/YoyoViewStates.hpp"
#include "entry/views/AnimatedBlob.hpp"
#include "entry/views/TimeViewWidget.hpp"
#include "platform/ui/Animator.hpp"
#include "platform/ui/DirectPresenter.hpp"
#include "platform/ui/MatchedGeometry.hpp"
#include "platform/ui/PaintThread.hpp"
#include "toolkit/AnimationCompletionObserver.hpp"
#include "toolkit/AnimationTracking.hpp"
#include "toolkit/DropShadow.hpp"

#include <QRegion>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace tidemark {

// The back layer of the drag entry, filling the back overlay window: the blob from the icon
// to the pointer and the live time label beside its lower end. After the release it springs
// the blob back and then presents the data-entry card (a pull past the minimum distance) or
// fades the blob out and returns the icon to rest (a shorter one).
//
// Its reactions read `current`, the state as the main store holds it at that moment. A pull
// whose begin finds the last animate-out still running first finishes that one (its count
// comes down) and starts afresh; a pull that ends without any change (a flick) has shown
// nothing and gets no release reactions. It paints only the old and the new bounds of what
// moved, and nothing while hidden.
class YoyoBackWidget final : public QWidget {
    Q_OBJECT
public:
    using State = YoyoBackView::State;
    using Action = YoyoBackView::Action;
    using ViewStore = Store<State, Action>;

    YoyoBackWidget(std::shared_ptr<ViewStore> store, std::function<State()> currentState = {},
        QWidget* parent = nullptr);
    ~YoyoBackWidget() override;

    // The window was shown: the return's progress starts over.
    void appeared();

    // What the view stands at, for tests and previews.
    double translationProgress() const { return m_translationProgress.value(); }
    bool springDidComplete() const { return m_springDidComplete; }
    BlobFrame blobFrame() const { return m_blob.frame(); }
    Rect labelFrame() const;
    double labelPresentation() const { return m_labelPresentation.value(); }
    std::optional<TimeLinesText> labelText() const { return m_labelText; }
    // The region the last frame painted in (its blob and label), in the view's coordinates.
    QRegion paintedRegion() const;
    // Called with the painted region whenever it changes (for windows shaped to it).
    void setOnPaintedRegionChanged(std::function<void(const QRegion&)> callback)
    {
        m_onPaintedRegionChanged = std::move(callback);
    }
    // Frames drawn so far, through Qt's paint or straight to the window.
    int frames() const { return m_paints + m_presenter.frames(); }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    State current() const;
    void stateChanged(const State& state);
    void phaseChanged(std::optional<DragGesturePhase> phase);
    void springContinued();
    void returnCompleted();
    void resetTranslation();
    void send(YoyoAnimation::Action action);
    void sendCard(DragDataEntryConnectingView::Action action);
    void updateLabelText(const YoyoTimeView::State& timeView);
    void moved();
    QRegion relayout();
    void requestFrame(const QRegion& dirty);
    void sendFrame();
    void drawFrame(QImage& target, const QPoint& origin, const QRegion& region);
    void reportPaintedRegion();
    Size labelContentSize() const;
    void paintLabel(QPainter& painter, const Rect& frame, const QRegion& region) const;

    std::shared_ptr<ViewStore> m_store;
    std::function<State()> m_current;
    State m_shown;
    AnimatedBlob m_blob;
    Animated<double> m_labelPresentation;
    Animated<double> m_translationProgress;
    double m_maxValue = 0;
    bool m_springDidComplete = false;
    // The pull under way has had a change (a flick has none).
    bool m_sawChange = false;
    // A release's animate-out is running and still owes its finish.
    bool m_animateOutInFlight = false;
    SpringAnimationContinuationModifier<double> m_continuation;
    AnimationCompletionObserverModifier<double> m_completion;
    MatchedGeometryNamespace m_namespace;
    rx::Cancellable m_followFrame;
    rx::Cancellable m_followLeading;
    Rect m_bottomBlobFrame;
    Point m_bottomBlobLeading;
    std::optional<TimeLinesText> m_labelText;
    std::optional<TimeLinesLayout> m_labelLayout;
    rx::Cancellable m_labelToken;
    rx::Cancellable m_stateToken;
    QRect m_blobBounds;
    // The blob wrote a frame since the last repaint was asked for.
    bool m_blobChanged = true;
    QRect m_labelBounds;
    QRegion m_lastPainted;
    bool m_regionReportPending = false;
    std::function<void(const QRegion&)> m_onPaintedRegionChanged;
    // Frames are drawn on the paint thread: the blob's large antialiased shapes are what it
    // saves most on.
    PaintThreadCanvas m_canvas;
    // The label's surface, stretched again where its size changes with the width of the time.
    mutable SurfaceCanvas m_labelSurface;
    // A pull's frames go straight to the window where they can, without waiting for the X
    // server between frames; Qt paints the window when it maps, and wherever they cannot.
    DirectPresenter m_presenter { this };
    QRegion m_pendingFrame;
    bool m_frameRequested = false;
    int m_paints = 0;
};

} // namespace tidemark
