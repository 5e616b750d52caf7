#pragma once

#include "core/Store.hpp"
#include "entry/TimeView.hpp"
#include "entry/YoyoViewStates.hpp"
#include "platform/foundation/Date.hpp"
#include "toolkit/DropShadow.hpp"

#include <QUuid>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tidemark {

class DataEntryControls;
class TimeViewWidget;

// The drag data-entry card as it draws: the reminder's time (expanded, never ticking) with
// its title field above the cancel-and-save row, on the popover material with a continuous
// corner of 16, a soft shadow at `progress` and an accent cover at 1 − `progress` that fades
// as the content fades in. It holds no state of its own: the owner hands it the reminder's
// fields and its two steps. The widget leaves room for its shadow around the card.
class DragDataEntryView final : public QWidget {
    Q_OBJECT
public:
    explicit DragDataEntryView(QWidget* parent = nullptr);

    // Room on every side for the shadow: the card itself is the widget's rect less this.
    static int shadowMargin();

    void setProgress(double progress);
    double progress() const { return m_progress; }

    TimeViewWidget* timeView() const { return m_timeView; }
    DataEntryControls* controls() const { return m_controls; }

    // The card's size at full presentation (shadow room not included).
    QSize cardSizeHint() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    class Cover;
    void apply();

    double m_progress = 1;
    // The card's surface: it grows with `progress`, frame by frame.
    SurfaceCanvas m_surface;
    QWidget* m_content;
    TimeViewWidget* m_timeView;
    DataEntryControls* m_controls;
    Cover* m_cover;
};

// The store-connected owner of the card: binds the reminder being entered to the card's
// fields and owns its two decisions. Save: when the reminder has not been handled (its id is
// not `saved`), mark it, create it, then dismiss. Dismiss: mark the reminder handled, then
// hide the card in the card's spring. A card hidden by anything else saves what it holds.
// Each step reads `current`, the state as it stands in the main store at that moment, so a
// second save in the same turn (Return and the save shortcut) finds the first one's mark.
class DragDataEntryConnectingWidget final : public QWidget {
    Q_OBJECT
public:
    using State = DragDataEntryConnectingView::State;
    using Action = DragDataEntryConnectingView::Action;
    using CardStore = Store<State, Action>;

    // Without `current` the steps read the card's own store.
    DragDataEntryConnectingWidget(std::shared_ptr<CardStore> store,
        std::function<State()> currentState = {}, QWidget* parent = nullptr);

    void primaryAction();
    void secondaryAction();

    DragDataEntryView* card() const { return m_card; }
    const std::string& id() const { return m_id; }
    const std::optional<TimeView::Focusable>& focus() const { return m_focus; }
    // Moves the card's presentation (the owner animates it).
    void setProgress(double progress);

private:
    State current() const;
    void display(const State& state);

    std::shared_ptr<CardStore> m_store;
    std::function<State()> m_current;
    std::string m_id;
    std::optional<TimeView::Focusable> m_focus;
    DragDataEntryView* m_card;
    bool m_wasPresented = false;
    rx::Cancellable m_token;
};

} // namespace tidemark
