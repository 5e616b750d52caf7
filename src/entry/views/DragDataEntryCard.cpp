#include "entry/views/DragDataEntryCard.hpp"

#include "core/SharedValues.hpp"
#include "entry/YoyoLayout.hpp"
#include "entry/views/DataEntryControls.hpp"
#include "entry/views/TimeViewWidget.hpp"
#include "platform/foundation/Animation.hpp"
#include "toolkit/ContinuousCorners.hpp"
#include "toolkit/DropShadow.hpp"

#include <QPainter>
#include <QResizeEvent>
#include <QVBoxLayout>

#include <cmath>

namespace tidemark {

namespace {

Shadow cardShadow(double progress)
{
    QColor colour(0, 0, 0);
    colour.setAlphaF(float(translucentBlack.alpha * std::clamp(progress, 0.0, 1.0)));
    return { colour, DragDataEntryCardLook::shadowRadius, {} };
}

} // namespace

// The accent cover over the whole card, which fades as the content fades in.
class DragDataEntryView::Cover final : public QWidget {
public:
    explicit Cover(QWidget* parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    void setOpacity(double opacity)
    {
        if (opacity == m_opacity)
            return;
        m_opacity = opacity;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (m_opacity <= 0)
            return;
        QPainter painter(this);
        QColor accent = palette().color(QPalette::Active, QPalette::Highlight);
        accent.setAlphaF(float(std::min(1.0, m_opacity)));
        fillContinuousRoundedRect(
            painter, QRectF(rect()), DragDataEntryCardLook::cornerRadius, accent);
    }

private:
    double m_opacity = 0;
};

int DragDataEntryView::shadowMargin()
{
    return int(std::ceil(shadowExtent(cardShadow(1))));
}

DragDataEntryView::DragDataEntryView(QWidget* parent)
    : QWidget(parent)
    , m_content(new QWidget(this))
    , m_timeView(new TimeViewWidget)
    , m_controls(new DataEntryControls)
    , m_cover(new Cover(this))
{
    auto* column = new QVBoxLayout(m_content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_timeView);
    column->addWidget(m_controls);
    m_timeView->setExpanded(true);
    m_controls->setCornerRadius(DragDataEntryCardLook::cornerRadius);
    apply();
}

void DragDataEntryView::setProgress(double progress)
{
    if (progress == m_progress)
        return;
    m_progress = progress;
    apply();
}

QSize DragDataEntryView::cardSizeHint() const
{
    const int width = int(DragDataEntryCardLook::width);
    const int height = m_content->layout()->hasHeightForWidth()
        ? m_content->layout()->heightForWidth(width)
        : m_content->sizeHint().height();
    return { width, height };
}

void DragDataEntryView::apply()
{
    const auto look = DragDataEntryCardLook::of(m_progress);
    const int inset = int(std::lround(look.inset));
    const int vertical = int(std::lround(look.inset + look.verticalInset));
    m_timeView->setContentsMargins(inset, vertical, inset, vertical);
    m_timeView->setProgress(m_progress);
    m_controls->setProgress(m_progress);
    m_cover->setOpacity(look.coverOpacity);
    m_content->adjustSize();
    QResizeEvent resize(size(), size());
    resizeEvent(&resize);
    update();
}

void DragDataEntryView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int margin = shadowMargin();
    const QRect card = rect().adjusted(margin, margin, -margin, -margin);
    // The content keeps its own size, from the card's top-left corner, and is cut off where
    // the card is smaller (while it grows out of the blob).
    m_content->setGeometry(QRect(card.topLeft(),
        QSize(std::max(card.width(), int(DragDataEntryCardLook::width)),
            std::max(card.height(), m_content->sizeHint().height()))));
    m_cover->setGeometry(card);
    m_cover->raise();
}

void DragDataEntryView::paintEvent(QPaintEvent* event)
{
    const int margin = shadowMargin();
    const QRectF card = QRectF(rect()).adjusted(margin, margin, -margin, -margin);
    QPainter painter(this);
    m_surface.paint(painter, card,
        dataEntrySurface(this, DragDataEntryCardLook::cornerRadius, cardShadow(m_progress)),
        event->region());
}

void DragDataEntryView::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_surface.release();
}

DragDataEntryConnectingWidget::DragDataEntryConnectingWidget(
    std::shared_ptr<CardStore> store, std::function<State()> currentState, QWidget* parent)
    : QWidget(parent)
    , m_store(std::move(store))
    , m_current(std::move(currentState))
    , m_id(QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString())
    , m_card(new DragDataEntryView(this))
{
    auto* fill = new QVBoxLayout(this);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(m_card);

    TimeViewWidget* time = m_card->timeView();
    time->setId(m_id);
    time->setFocusBinding({ [this] { return m_focus; },
        [this](const std::optional<TimeView::Focusable>& focus) { m_focus = focus; } });
    // Typing a title replaces the reminder being entered; with none, it says so.
    time->setOnTitleEdited([this](const std::string& title) {
        std::optional<AnyReminder> reminder = current().reminder;
        if (reminder)
            reminder->title = title;
        m_store->dispatch(Action::Reminder { reminder });
    });
    time->setOnSubmit([this] { primaryAction(); });
    m_card->controls()->setPrimaryAction([this] { primaryAction(); });
    m_card->controls()->setSecondaryAction([this] { secondaryAction(); });

    m_wasPresented = m_store->state().isPresented;
    display(m_store->state());
    m_token = m_store->statePublisher().sink([this](const State& state) { display(state); });
}

DragDataEntryConnectingWidget::State DragDataEntryConnectingWidget::current() const
{
    return m_current ? m_current() : m_store->state();
}

void DragDataEntryConnectingWidget::setProgress(double progress)
{
    m_card->setProgress(progress);
}

void DragDataEntryConnectingWidget::display(const State& state)
{
    TimeViewWidget* time = m_card->timeView();
    time->setFormatter(state.formatter);
    if (state.reminder) {
        time->setTimes(startDate(*state.reminder), duration(*state.reminder));
        time->setTitle(state.reminder->title);
    } else {
        time->setTimes(std::nullopt, std::nullopt);
        time->setTitle({});
    }
    const bool dismissed = m_wasPresented && !state.isPresented;
    m_wasPresented = state.isPresented;
    // However the card was hidden, what it holds and nobody handled is saved.
    if (dismissed)
        primaryAction();
}

void DragDataEntryConnectingWidget::primaryAction()
{
    const State state = current();
    if (!state.reminder)
        return;
    if (state.saved == state.reminder->id)
        return;
    const AnyReminder reminder = *state.reminder;
    m_store->dispatch(Action::SaveID { reminder.id });
    m_store->dispatch(Action::Save { reminder });
    secondaryAction();
}

void DragDataEntryConnectingWidget::secondaryAction()
{
    const State state = current();
    if (state.reminder)
        m_store->dispatch(Action::SaveID { state.reminder->id });
    withAnimation(Animation(dragDataEntrySpring()),
        [&] { m_store->dispatch(Action::IsPresented { false }); });
}

} // namespace tidemark
