#pragma once

#include "core/Store.hpp"
#include "entry/YoyoViewStates.hpp"
#include "entry/views/AnimatedBlob.hpp"
#include "platform/ui/Animator.hpp"
#include "platform/ui/MatchedGeometry.hpp"

#include <QRegion>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QGraphicsOpacityEffect;

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

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    State current() const;
    void stateChanged(const State& state);
    void fadeOut();
    void finish();
    bool pullUnderWay() const;
    void send(YoyoAnimation::Action action);
    void place();

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
    Rect m_lastInput;
    QRegion m_lastPainted;
    std::function<void(const Rect&, const QRegion&)> m_onRegionsChanged;
};

} // namespace tidemark
