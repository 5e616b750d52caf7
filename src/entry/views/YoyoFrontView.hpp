#pragma once

#include "core/Store.hpp"
#include "entry/YoyoViewStates.hpp"
#include "entry/views/AnimatedBlob.hpp"
#include "entry/views/OverlayRegions.hpp"
#include "platform/ui/Animator.hpp"
#include "platform/ui/MatchedGeometry.hpp"

#include <QRegion>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QGraphicsOpacityEffect;
class QKeyEvent;

namespace tidemark {

class DragDataEntryConnectingWidget;

// The content of the front overlay window: the data-entry card, which grows out of the
// blob's lower end (invisible, the size of the upper end), settles under the menu-bar icon
// in the card's spring, and falls back and fades when dismissed. The blob it grows from is
// the back window's; this view follows its geometry without painting it again.
//
// A dismissal fades the blob and holds the icon, then reports the animate-out finished and
// rests the icon: both in that order, so the icon ends at rest. While a new pull is under
// way the dismissal leaves the blob and the icon alone (it only reports the finish).
//
// The keyboard is the card's from the release on: the view takes the focus when a pull ends
// with a reminder to enter, keeps what is typed while the card still grows in, and hands it
// to the title field, in order, once the field has the focus. Nothing typed in between is
// lost, and Return or Escape typed early act after the text before them.
class YoyoFrontWidget final : public QWidget {
    Q_OBJECT
public:
    using State = YoyoFrontView::State;
    using Action = YoyoFrontView::Action;
    using ViewStore = Store<State, Action>;

    YoyoFrontWidget(std::shared_ptr<ViewStore> store, std::function<State()> currentState = {},
        QWidget* parent = nullptr);
    ~YoyoFrontWidget() override;

    DragDataEntryConnectingWidget* card() const { return m_card; }
    // The card's frame (without its shadow) and how far it is presented (0…1, a spring may
    // pass the ends for a moment).
    Rect cardFrame() const;
    double cardPresentation() const { return m_cardPresentation.value(); }

    // Where the window should take the pointer: over the card while it is presented, nowhere
    // otherwise. And what the view paints.
    Rect inputRegion() const;
    QRegion paintedRegion() const;
    // Called whenever either changes.
    void setOnRegionsChanged(std::function<void(const Rect&, const QRegion&)> callback);

    // Keys typed before the title field had the focus, still waiting for it.
    std::size_t pendingKeys() const { return m_pendingKeys.size(); }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    State current() const;
    void stateChanged(const State& state);
    void fadeOut();
    void finish();
    bool pullUnderWay() const;
    void send(YoyoAnimation::Action action);
    void place();
    bool awaitsTitle() const;
    bool titleHasFocus() const;
    void takeKeyboard();
    void handPendingKeys();
    bool keepsKey(QEvent* event);

    std::shared_ptr<ViewStore> m_store;
    std::function<State()> m_current;
    State m_shown;
    AnimatedBlob m_blob;
    MatchedGeometryNamespace m_namespace;
    std::vector<rx::Cancellable> m_follows;
    Size m_topBlobSize;
    Point m_topBlobBottomPosition;
    Rect m_bottomBlobFrame;
    Animated<double> m_cardPresentation;
    rx::Cancellable m_presentationToken;
    DragDataEntryConnectingWidget* m_card = nullptr;
    QGraphicsOpacityEffect* m_cardOpacity = nullptr;
    rx::Cancellable m_stateToken;
    OverlayRegionReporter m_regions;
    std::vector<std::unique_ptr<QKeyEvent>> m_pendingKeys;
};

} // namespace tidemark
