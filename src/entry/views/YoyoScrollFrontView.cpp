#include "entry/views/YoyoScrollFrontView.hpp"

#include "core/SharedValues.hpp"
#include "entry/views/ScrollDataEntryCard.hpp"
#include "entry/views/ScrollGestureView.hpp"
#include "entry/views/YoyoDragWindows.hpp"
#include "platform/ui/QtGeometry.hpp"

#include <QEvent>

#include <algorithm>

namespace tidemark {

namespace {

using A = YoyoScrollFrontViewActionCases;

constexpr double hideLabelAt = 0.1;
constexpr double shrinkAt = 0.15;
constexpr double resetAt = 0.35;

Animation cardSpring()
{
    return Animation::spring(YoyoScrollFrontView::response, YoyoScrollFrontView::dampingFraction,
        YoyoScrollFrontView::blendDuration);
}

// The times the measuring card is laid out with: both time lines showing.
constexpr TimeInterval measuredInterval = 3600;

} // namespace

YoyoScrollFrontWidget::YoyoScrollFrontWidget(std::shared_ptr<ViewStore> store,
    std::function<State()> currentState, double minTranslationHeight, QWidget* parent,
    FrameClock* clock)
    : QWidget(parent)
    , m_store(std::move(store))
    , m_current(std::move(currentState))
    , m_model(MenuBar::iconSize, minTranslationHeight)
    , m_card(new ScrollDataEntryWidget(this, clock))
    , m_measuringCard(new ScrollDataEntryWidget(this, clock))
    , m_collapseTime(0.0, clock)
{
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
    // Laid out, never shown: it only says how high the open card is.
    m_measuringCard->hide();

    m_card->setPrimaryAction([this] { save(); });
    m_card->setSecondaryAction([this] { cancel(); });
    m_card->setOnTitleEdited([this](const std::string& title) {
        std::optional<AnyReminder> reminder = current().reminder;
        if (reminder)
            reminder->title = title;
        m_store->dispatch(A::Reminder { reminder });
    });
    connect(m_card, &ScrollDataEntryWidget::modelChanged, this, [this] { place(); });
    connect(m_card, &ScrollDataEntryWidget::shownChanged, this, [this] {
        place();
        if (m_collapseStep == 4 && !m_card->isAnimating())
            endCollapse();
    });
    m_reader = new ScrollGestureView(
        [this](Size delta) { m_store->dispatch(A::DeltaTranslation { delta }); }, this);
    m_reader->raise();
    m_collapseToken = m_collapseTime.onFrame([this](const double& time) {
        if (m_collapseStep > 0)
            advanceCollapse(time, true);
    });

    m_shown = m_store->state();
    display(m_shown);
    measure();
    m_stateToken
        = m_store->statePublisher().sink([this](const State& state) { stateChanged(state); });
    place();
}

YoyoScrollFrontWidget::~YoyoScrollFrontWidget() = default;

YoyoScrollFrontWidget::State YoyoScrollFrontWidget::current() const
{
    return m_current ? m_current() : m_store->state();
}

void YoyoScrollFrontWidget::measure()
{
    Model open = Model::expanded(Model::infinity);
    m_measuringCard->setFormatter(m_shown.formatter);
    m_measuringCard->setTimes(m_shown.startDate, measuredInterval);
    m_model.height = m_measuringCard->sizeFor(open).height;
    m_card->setModel(m_model);
}

void YoyoScrollFrontWidget::display(const State& state)
{
    // Between entries "now" moves with every change of the state: the card at rest shows no
    // time, so it is left alone.
    if (!state.reminder)
        return;
    m_card->setFormatter(state.formatter);
    m_card->setTimes(state.startDate, state.timeInterval);
    m_card->setTitle(state.reminder->title);
}

void YoyoScrollFrontWidget::stateChanged(const State& state)
{
    // The view's store repeats its state after each of the view's own actions, before the
    // main store's answer arrives: nothing to show then (least of all the title as it was
    // before the keystroke that sent it).
    if (state == m_shown)
        return;
    const State old = m_shown;
    m_shown = state;
    display(state);
    if (!(state.startFrame == old.startFrame))
        place();
    // Each delta counts once, however like the one before it.
    if (state.deltaCount != old.deltaCount)
        scrolled(state.deltaTranslation);
    if (old.isPresented && !state.isPresented && current().dataEntryIsPresented)
        save();
}

void YoyoScrollFrontWidget::scrolled(Size delta)
{
    // A delta while the card collapses starts a new entry from a card at rest.
    if (m_collapseStep > 0)
        finishCollapse();
    const bool hadLabel = m_model.labelIsPresented;
    withAnimation(Animation::interactiveSpring(YoyoScrollFrontView::response,
                      YoyoScrollFrontView::dampingFraction, YoyoScrollFrontView::blendDuration),
        [&] {
            m_model.update(delta);
            m_card->setModel(m_model);
        });
    for (const Action& action :
        YoyoScrollFrontView::actionsAfterDelta(m_model, current().isPresented))
        m_store->dispatch(action);
    if (m_model.labelIsPresented && !hadLabel)
        wantKeyboard();
}

void YoyoScrollFrontWidget::save()
{
    const State state = current();
    if (!state.reminder || state.reminder->id == m_handled)
        return;
    const AnyReminder reminder = *state.reminder;
    m_handled = reminder.id;
    m_store->dispatch(A::Save { reminder });
    m_store->dispatch(A::DataEntryIsPresented { false });
    collapse();
}

void YoyoScrollFrontWidget::cancel()
{
    if (const State state = current(); state.reminder)
        m_handled = state.reminder->id;
    m_store->dispatch(A::DataEntryIsPresented { false });
    collapse();
}

void YoyoScrollFrontWidget::collapse()
{
    if (m_collapseStep > 0)
        return;
    m_collapseStep = 1;
    withAnimation(cardSpring(), [&] {
        m_model.hideControls();
        m_card->setModel(m_model);
    });
    m_collapseTime.jump(0);
    m_collapseTime.setTarget(resetAt, Animation::linear(resetAt));
}

void YoyoScrollFrontWidget::advanceCollapse(double time, bool animated)
{
    auto step = [&](std::optional<Animation> animation, auto change) {
        withAnimation(animated ? animation : std::nullopt, [&] {
            change();
            m_card->setModel(m_model);
        });
    };
    if (m_collapseStep == 1 && time >= hideLabelAt) {
        m_collapseStep = 2;
        step(cardSpring(), [&] { m_model.hideLabel(); });
    }
    if (m_collapseStep == 2 && time >= shrinkAt) {
        m_collapseStep = 3;
        step(Animation::easeInOut(0.2), [&] { m_model.shrinkToIcon(); });
    }
    if (m_collapseStep == 3 && time >= resetAt) {
        m_collapseStep = 4;
        step(cardSpring(), [&] { m_model.resetTranslation(); });
        if (!m_card->isAnimating())
            endCollapse();
    }
}

void YoyoScrollFrontWidget::finishCollapse()
{
    if (m_collapseStep == 0)
        return;
    advanceCollapse(resetAt, false);
    if (m_collapseStep > 0)
        endCollapse();
}

void YoyoScrollFrontWidget::endCollapse()
{
    m_collapseStep = 0;
    m_collapseTime.jump(0);
    m_model.resetSum();
    m_card->setModel(m_model);
    if (current().isPresented)
        m_store->dispatch(A::IsPresented { false });
}

Rect YoyoScrollFrontWidget::cardFrame() const
{
    const Size size = m_card->shownSize();
    const Point centre = m_shown.startFrame.center();
    double left = centre.x - size.width / 2;
    // An item near the screen's edge would push the open card off it: the card stays on
    // the screen, as near under the item as it fits.
    if (width() > 0 && size.width <= width())
        left = std::clamp(left, 0.0, width() - size.width);
    return { left, centre.y + m_card->shownTranslation() - size.height / 2, size.width,
        size.height };
}

YoyoScrollFrontView::Reach YoyoScrollFrontWidget::reach() const
{
    return { m_model.height, m_model.minTranslationHeight,
        double(ScrollDataEntryWidget::shadowMargin()) };
}

Rect YoyoScrollFrontWidget::inputRegion() const
{
    const bool atRest = m_model.translation.height <= 0 && m_card->shownTranslation() <= 0
        && !m_card->isAnimating();
    return atRest ? Rect {} : cardFrame();
}

QRegion YoyoScrollFrontWidget::paintedRegion() const
{
    if (inputRegion().isEmpty())
        return {};
    const int margin = ScrollDataEntryWidget::shadowMargin();
    return QRegion(toQRect(cardFrame()).adjusted(-margin, -margin, margin, margin));
}

void YoyoScrollFrontWidget::setOnRegionsChanged(
    std::function<void(const Rect&, const QRegion&)> callback)
{
    m_regions.setCallback(std::move(callback), inputRegion(), paintedRegion());
}

void YoyoScrollFrontWidget::setOnWantsKeyboard(std::function<void()> callback)
{
    m_onWantsKeyboard = std::move(callback);
}

void YoyoScrollFrontWidget::wantKeyboard()
{
    if (m_onWantsKeyboard)
        m_onWantsKeyboard();
}

void YoyoScrollFrontWidget::place()
{
    // A hidden window lays nothing out: showing it places the card from here.
    if (!hiddenInWindow(this)) {
        const int margin = ScrollDataEntryWidget::shadowMargin();
        const QRect frame = toQRect(cardFrame()).adjusted(-margin, -margin, margin, margin);
        if (m_card->geometry() != frame)
            m_card->setGeometry(frame);
        const QRect reader = toQRect(m_shown.startFrame);
        if (m_reader->geometry() != reader)
            m_reader->setGeometry(reader);
    }
    if (m_regions.isSet())
        m_regions.report(inputRegion(), paintedRegion());
}

void YoyoScrollFrontWidget::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    place();
    if (m_model.labelIsPresented)
        wantKeyboard();
}

void YoyoScrollFrontWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    place();
}

void YoyoScrollFrontWidget::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        measure();
}

} // namespace tidemark
