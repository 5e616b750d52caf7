#include "entry/views/YoyoFrontView.hpp"

#include "entry/YoyoAnimation.hpp"
#include "entry/YoyoLayout.hpp"
#include "entry/views/DragDataEntryCard.hpp"
#include "entry/views/TimeViewWidget.hpp"
#include "entry/views/YoyoDragWindows.hpp"
#include "platform/ui/QtGeometry.hpp"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QGraphicsOpacityEffect>
#include <QKeyEvent>
#include <QLineEdit>

#include <string>

namespace tidemark {

namespace {

using AnimationAction = YoyoAnimation::Action;
using CardState = DragDataEntryConnectingView::State;
using CardAction = DragDataEntryConnectingView::Action;

} // namespace

YoyoFrontWidget::YoyoFrontWidget(
    std::shared_ptr<ViewStore> store, std::function<State()> currentState, QWidget* parent)
    : QWidget(parent)
    , m_store(std::move(store))
    , m_current(std::move(currentState))
    , m_cardPresentation(0.0)
{
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);

    m_follows.push_back(m_namespace.follow(std::string(YoyoConstants::TopBlob::size),
        [this](const Rect& r) { m_topBlobSize = r.size; }));
    m_follows.push_back(m_namespace.follow(std::string(YoyoConstants::TopBlob::bottomPosition),
        [this](const Rect& r) { m_topBlobBottomPosition = r.center(); }));
    m_follows.push_back(m_namespace.follow(std::string(YoyoConstants::BottomBlob::frame),
        [this](const Rect& r) { m_bottomBlobFrame = r; }));
    m_blob.publish(m_namespace);
    m_blob.setOnFrame([this] { place(); });

    auto cardStore = m_store->derived<CardState, CardAction>(
        [](const State& state) { return state.dataEntry; },
        [](const CardAction& action) -> Action {
            return YoyoOverlayActionCases::DataEntry { action };
        });
    m_card = new DragDataEntryConnectingWidget(
        cardStore, [this] { return current().dataEntry; }, this);
    m_cardOpacity = new QGraphicsOpacityEffect(m_card);
    m_card->setGraphicsEffect(m_cardOpacity);
    m_presentationToken = m_cardPresentation.onFrame([this](double) { place(); });

    m_shown = m_store->state();
    m_blob.jump(m_shown.blobView);
    m_cardPresentation.jump(m_shown.dataEntry.isPresented ? 1.0 : 0.0);
    m_stateToken
        = m_store->statePublisher().sink([this](const State& state) { stateChanged(state); });
    place();
}

YoyoFrontWidget::~YoyoFrontWidget() = default;

YoyoFrontWidget::State YoyoFrontWidget::current() const
{
    return m_current ? m_current() : m_store->state();
}

void YoyoFrontWidget::send(YoyoAnimation::Action action)
{
    m_store->dispatch(YoyoOverlayActionCases::Animation { std::move(action) });
}

bool YoyoFrontWidget::pullUnderWay() const
{
    const auto phase = current().animation.phase;
    return phase == DragGesturePhase::begin || phase == DragGesturePhase::changed;
}

void YoyoFrontWidget::fadeOut()
{
    // A new pull's first change dismissed the card: its blob is already at full opacity and
    // the icon is dragging; both stay as they are.
    if (pullUnderWay())
        return;
    for (const YoyoAnimationStep& step : yoyoFadeOutSteps())
        withAnimation(step.animation ? std::optional<Animation>(*step.animation) : std::nullopt,
            [&] { send(step.action); });
}

void YoyoFrontWidget::finish()
{
    const bool pulling = pullUnderWay();
    for (const YoyoAnimationStep& step : yoyoFinishSteps()) {
        if (pulling && caseOf<AnimationAction::ZevovozoStatus>(step.action))
            continue;
        withAnimation(step.animation ? std::optional<Animation>(*step.animation) : std::nullopt,
            [&] { send(step.action); });
    }
}

void YoyoFrontWidget::stateChanged(const State& state)
{
    const State old = m_shown;
    m_shown = state;
    m_blob.set(state.blobView);
    const bool presentedChanged = state.dataEntry.isPresented != old.dataEntry.isPresented;
    if (presentedChanged) {
        m_cardPresentation.setTarget(
            state.dataEntry.isPresented ? 1.0 : 0.0, Animation(dragDataEntrySpring()));
    }
    // A dismissal changes both at once: the fade first, then the finish, so the icon ends
    // at rest.
    if (presentedChanged && !state.dataEntry.isPresented)
        fadeOut();
    if (state.dataEntry.progress != old.dataEntry.progress && !current().dataEntry.isPresented)
        finish();
    if (state.dataEntry.position != old.dataEntry.position)
        place();
    if (state.animation.phase != old.animation.phase) {
        if (state.animation.phase == DragGesturePhase::begin)
            m_pendingKeys.clear();
        else if (state.animation.phase == DragGesturePhase::ended)
            takeKeyboard();
    }
}

bool YoyoFrontWidget::awaitsTitle() const
{
    const auto card = current().dataEntry;
    return card.reminder && card.saved != card.reminder->id;
}

bool YoyoFrontWidget::titleHasFocus() const
{
    const QLineEdit* field = m_card->card()->timeView()->titleField();
    return field->isVisible() && window()->focusWidget() == field;
}

void YoyoFrontWidget::takeKeyboard()
{
    // The card grows in for a while after the release; what is typed meanwhile comes here.
    if (!awaitsTitle() || titleHasFocus())
        return;
    setFocus(Qt::OtherFocusReason);
    QWidget* top = window();
    if (top->isVisible() && !top->isActiveWindow())
        top->activateWindow();
}

void YoyoFrontWidget::handPendingKeys()
{
    QLineEdit* field = m_card->card()->timeView()->titleField();
    const auto keys = std::move(m_pendingKeys);
    m_pendingKeys.clear();
    // The text typed so far becomes the title as one edit, reported as typed; Escape and
    // Return then end the entry, and nothing typed after them belongs to it.
    QString title = field->text();
    std::optional<int> ending;
    for (const auto& key : keys) {
        if (key->key() == Qt::Key_Escape || key->key() == Qt::Key_Return
            || key->key() == Qt::Key_Enter) {
            ending = key->key();
            break;
        }
        if (key->key() == Qt::Key_Backspace)
            title.chop(1);
        else if (!key->text().isEmpty() && key->text().at(0).isPrint())
            title += key->text();
    }
    if (title != field->text()) {
        field->setText(title);
        Q_EMIT field->textEdited(title);
    }
    if (ending == Qt::Key_Escape)
        m_card->secondaryAction();
    else if (ending)
        Q_EMIT field->returnPressed();
}

// Until the title has the focus, Return and Escape are keys to keep in order, not the card's
// shortcuts: a title typed just before them must reach the reminder first.
bool YoyoFrontWidget::keepsKey(QEvent* event)
{
    if (!awaitsTitle() || titleHasFocus())
        return false;
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    m_pendingKeys.emplace_back(static_cast<QKeyEvent*>(event)->clone());
    event->accept();
    return true;
}

bool YoyoFrontWidget::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride && keepsKey(event))
        return true;
    return QWidget::event(event);
}

bool YoyoFrontWidget::eventFilter(QObject* watched, QEvent* event)
{
    // Keys that reach the window before this view has the focus (typed in the same moment as
    // the release, ahead of the state that gives it the focus) are kept all the same.
    if (watched == window() && watched != this
        && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)
        && keepsKey(event)) {
        takeKeyboard();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void YoyoFrontWidget::keyPressEvent(QKeyEvent* event)
{
    if (keepsKey(event))
        return;
    QWidget::keyPressEvent(event);
}

// The view itself draws nothing that shows the focus. The base class would repaint all of it,
// the whole screen under the pull, whenever the window takes the keyboard (as it does when it
// appears) or gives it back.
void YoyoFrontWidget::focusInEvent(QFocusEvent* event)
{
    event->accept();
}

void YoyoFrontWidget::focusOutEvent(QFocusEvent* event)
{
    event->accept();
}

Rect YoyoFrontWidget::cardFrame() const
{
    const QSize size = m_card->card()->cardSizeHint();
    return dragDataEntryCardFrame(Size { double(size.width()), double(size.height()) },
        m_cardPresentation.value(), m_shown.dataEntry.position, m_topBlobSize,
        m_topBlobBottomPosition, m_bottomBlobFrame, Rect(0, 0, width(), height()));
}

Rect YoyoFrontWidget::inputRegion() const
{
    if (!m_shown.dataEntry.isPresented)
        return {};
    return cardFrame();
}

QRegion YoyoFrontWidget::paintedRegion() const
{
    if (!m_card->isVisible())
        return {};
    return QRegion(m_card->geometry());
}

void YoyoFrontWidget::setOnRegionsChanged(std::function<void(const Rect&, const QRegion&)> callback)
{
    m_regions.setCallback(std::move(callback), inputRegion(), paintedRegion());
}

void YoyoFrontWidget::place()
{
    const double presentation = m_cardPresentation.value();
    const double opacity = std::clamp(presentation, 0.0, 1.0);
    // A hidden window lays nothing out: showing it places the card from here.
    if (!hiddenInWindow(this)) {
        const bool shown = opacity > 0;
        if (shown) {
            m_card->setProgress(presentation);
            const int margin = DragDataEntryView::shadowMargin();
            const Rect frame = cardFrame();
            m_card->setGeometry(toQRect(frame).adjusted(-margin, -margin, margin, margin));
            m_cardOpacity->setOpacity(opacity);
            m_cardOpacity->setEnabled(opacity < 1);
        }
        if (shown != m_card->isVisible())
            m_card->setVisible(shown);
        if (!shown)
            m_card->setProgress(0);
        if (!m_pendingKeys.empty() && titleHasFocus())
            handPendingKeys();
    }
    if (m_regions.isSet())
        m_regions.report(inputRegion(), paintedRegion());
}

void YoyoFrontWidget::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (window() != this)
        window()->installEventFilter(this);
    place();
}

void YoyoFrontWidget::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_pendingKeys.clear();
}

void YoyoFrontWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    place();
}

} // namespace tidemark
