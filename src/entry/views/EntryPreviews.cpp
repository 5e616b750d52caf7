#include "entry/views/EntryPreviews.hpp"

#include "core/connectors/TimeEntryConnectors.hpp"
#include "core/state/AppState.hpp"
#include "entry/views/DataEntryControls.hpp"
#include "entry/views/DragDataEntryCard.hpp"
#include "entry/views/YoyoBackView.hpp"
#include "entry/views/YoyoFrontView.hpp"
#include "platform/foundation/Calendar.hpp"
#include "platform/foundation/Clock.hpp"
#include "platform/ui/PinnedLayout.hpp"

#include <QTimer>
#include <QWidget>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tidemark {

namespace {

using Phase = DragGesturePhase;

// The previews show a corner of the screen, 360 × 240, the icon at its top right.
constexpr int canvasWidth = 360;
constexpr int canvasHeight = 240;
const Rect iconFrame { 300, 2, 24, 20 };

// The pull starts now, as a real one does: the label counts from the present moment.
Date previewStart()
{
    return Clock::system()->now();
}

AppState initialState()
{
    AppState state = AppState::initial(previewStart(), Calendar("UTC"));
    state.view.statusItem.dragFrame = iconFrame;
    return state;
}

// A pull by (dx, dy) from the icon, still under way.
AppState pulling(double dx, double dy)
{
    AppState state = initialState();
    state.dragGesture.phase = Phase::changed;
    state.dragGesture.startDate = previewStart();
    AnyDragGestureValue value;
    value.translation = { dx, dy };
    state.dragGesture.value = value;
    state.view.yoyo.drag.semaphore = 1;
    return state;
}

// A pull of 100 points released: its reminder in the card (presented or not), the blob back
// at the icon.
AppState released(bool cardPresented, std::string title)
{
    AppState state = pulling(0, 100);
    state.dragGesture.phase = Phase::ended;
    state.dragGesture.didEndTranslation = Size { 0, 1 };
    AnyReminder reminder = CreateReminder(previewStart(), 600, std::move(title)).toAnyReminder();
    state.dataEntry.editing = reminder;
    state.view.yoyo.drag.isPresented = cardPresented;
    return state;
}

QWidget* canvas(QWidget* view)
{
    auto* holder = new QWidget;
    holder->setFixedSize(canvasWidth, canvasHeight);
    addPinnedSubview(holder, view);
    return holder;
}

QWidget* backView(AppState state)
{
    const auto connector = Connectors::YoyoBackConnector {};
    auto store
        = Store<YoyoBackView::State, YoyoBackView::Action>::constant(connector.mapState(state));
    return canvas(new YoyoBackWidget(store));
}

QWidget* frontView(AppState state)
{
    const auto connector = Connectors::YoyoFrontConnector {};
    auto store
        = Store<YoyoFrontView::State, YoyoFrontView::Action>::constant(connector.mapState(state));
    return canvas(new YoyoFrontWidget(store));
}

// The card alone at `progress`, in the size it takes at full presentation.
QWidget* card(double progress, std::string title)
{
    const AppState state = released(true, std::move(title));
    auto store
        = Store<DragDataEntryConnectingView::State, DragDataEntryConnectingView::Action>::constant(
            Connectors::DragDataEntryConnector {}.mapState(state));
    auto* view = new DragDataEntryConnectingWidget(store);
    // Its size is known once its fonts are: on the first turn after it shows, it grows from
    // hidden to `progress`, as the front view moves it, in the size it takes when presented.
    QTimer::singleShot(0, view, [view, progress] {
        view->setProgress(0);
        view->setProgress(progress);
        const int margin = DragDataEntryView::shadowMargin();
        view->setFixedSize(view->card()->cardSizeHint() + QSize(2 * margin, 2 * margin));
    });
    return view;
}

QWidget* controls(double progress)
{
    auto* view = new DataEntryControls;
    view->setProgress(progress);
    view->setFixedWidth(260);
    return view;
}

} // namespace

void registerEntryPreviews(PreviewRegistry& registry)
{
    registry.add({ "YoyoBackView",
        {
            { "at rest on the icon", [] { return backView(pulling(0, 0)); } },
            { "a short pull of 15 points: the label wears the blob's colour",
                [] { return backView(pulling(0, 15)); } },
            { "a pull of 100 points: ten minutes", [] { return backView(pulling(0, 100)); } },
            { "a pull down to the left", [] { return backView(pulling(-90, 120)); } },
            { "a pull to the right, level with the icon", [] { return backView(pulling(40, 0)); } },
            { "released: the blob back at the icon, small under the card",
                [] { return backView(released(true, "")); } },
            { "faded out after a short pull",
                [] {
                    AppState state = pulling(0, 15);
                    state.dragGesture.phase = Phase::ended;
                    state.dragGesture.didEndTranslation = Size { 0, 1 };
                    state.view.yoyo.drag.blobOpacity = 0;
                    return backView(state);
                } },
        } });
    registry.add({ "YoyoFrontView",
        {
            { "the card presented", [] { return frontView(released(true, "")); } },
            { "the card presented with a title",
                [] { return frontView(released(true, "Buy milk")); } },
            { "the card dismissed: nothing shows",
                [] { return frontView(released(false, "Buy milk")); } },
        } });
    registry.add({ "DragDataEntryConnectingView",
        {
            { "progress 0.25", [] { return card(0.25, "Buy milk"); } },
            { "progress 0.5", [] { return card(0.5, "Buy milk"); } },
            { "progress 1, no title yet", [] { return card(1, ""); } },
            { "progress 1", [] { return card(1, "Buy milk"); } },
        } });
    registry.add({ "DataEntryControls",
        {
            { "progress 0.5", [] { return controls(0.5); } },
            { "progress 1", [] { return controls(1); } },
        } });
}

} // namespace tidemark
