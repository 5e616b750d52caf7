#pragma once

#include "core/Store.hpp"
#include "entry/ScrollEntry.hpp"
#include "entry/views/OverlayRegions.hpp"
#include "platform/ui/Animator.hpp"

#include <QRegion>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tidemark {

class FrameClock;
class ScrollDataEntryWidget;
class ScrollGestureView;

// The content of the scroll entry's window: the card under the scroll item. Every scroll
// delta (each one, equal ones included) feeds the card's model in an interactive spring; a
// card that left its rest presents the entry and its data entry, one scrolled back to rest
// ends both. Save (the save control, Return) creates the reminder once per entry, reading
// the main store's state as it is at that moment; cancel creates nothing; both collapse the
// card in four staggered steps, and when the card is back at rest the model's sum starts
// again from zero and the entry is no longer presented. An entry dismissed from outside
// while its data entry is presented is saved.
class YoyoScrollFrontWidget final : public QWidget {
    Q_OBJECT
public:
    using State = YoyoScrollFrontView::State;
    using Action = YoyoScrollFrontView::Action;
    using ViewStore = Store<State, Action>;
    using Model = ScrollDataEntryView::AnimationViewModel;

    // `currentState`: the state as it stands in the main store now (the view's own store
    // follows a turn later); without it, the view's store. `minTranslationHeight`: see
    // YoyoScrollFrontView::minTranslationHeight. `clock`: the frame clock the card moves to.
    YoyoScrollFrontWidget(std::shared_ptr<ViewStore> store, std::function<State()> currentState,
        double minTranslationHeight, QWidget* parent = nullptr, FrameClock* clock = nullptr);
    ~YoyoScrollFrontWidget() override;

    ScrollDataEntryWidget* card() const { return m_card; }
    const Model& model() const { return m_model; }
    // The card's frame (without its shadow) as it stands in this frame.
    Rect cardFrame() const;
    // How far the card reaches from the item, for the window's frame.
    YoyoScrollFrontView::Reach reach() const;
    bool isCollapsing() const { return m_collapseStep > 0; }

    // Where the window should take the pointer: over the card while it is away from its
    // rest, nowhere otherwise. And what the view paints.
    Rect inputRegion() const;
    QRegion paintedRegion() const;
    // Called whenever either changes.
    void setOnRegionsChanged(std::function<void(const Rect&, const QRegion&)> callback);
    // Called when the card shows its title field, so the window takes the keyboard.
    void setOnWantsKeyboard(std::function<void()> callback);

    void save();
    void cancel();
    void collapse();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    State current() const;
    void stateChanged(const State& state);
    void display(const State& state);
    void scrolled(Size delta);
    void measure();
    void place();
    void advanceCollapse(double time, bool animated);
    void finishCollapse();
    void collapseMoved();
    void endCollapse();
    void wantKeyboard();

    std::shared_ptr<ViewStore> m_store;
    std::function<State()> m_current;
    State m_shown;
    Model m_model;
    ScrollDataEntryWidget* m_card;
    ScrollDataEntryWidget* m_measuringCard;
    ScrollGestureView* m_reader;
    // The id of the reminder this entry saved or let go: a second save finds it.
    std::optional<std::string> m_handled;
    // The collapse: its steps run as its time passes 0, 0.1, 0.15 and 0.35 s; 0 when none.
    Animated<double> m_collapseTime;
    int m_collapseStep = 0;
    rx::Cancellable m_collapseToken;
    rx::Cancellable m_stateToken;
    OverlayRegionReporter m_regions;
    std::function<void()> m_onWantsKeyboard;
};

} // namespace tidemark
