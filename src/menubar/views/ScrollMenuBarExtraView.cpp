#include "menubar/views/ScrollMenuBarExtraView.hpp"

#include "core/connectors/TimeEntryConnectors.hpp"
#include "entry/views/ScrollGestureView.hpp"
#include "platform/ui/PinnedLayout.hpp"
#include "platform/ui/QtGeometry.hpp"
#include "platform/ui/StatusBar.hpp"

#include <QEvent>
#include <QPainter>

#include <cmath>

namespace tidemark {

ScrollMenuBarExtraView::ScrollMenuBarExtraView(std::function<void(std::optional<Rect>)> frame,
    std::function<void(Size)> deltaTranslation, QWidget* parent)
    : QWidget(parent)
    , m_frame(std::move(frame))
{
    setAttribute(Qt::WA_TranslucentBackground);
    // Over everything, the reader takes the wheel wherever the pointer is in the view.
    addPinnedSubview(this, new ScrollGestureView(std::move(deltaTranslation)));
}

QSize ScrollMenuBarExtraView::sizeHint() const
{
    return { int(std::ceil(margin + circleSize + spacing + squareSize + margin)),
        int(std::ceil(itemHeight)) };
}

std::optional<Rect> ScrollMenuBarExtraView::frameOnScreen() const
{
    // Before its first layout the view has no width yet: it stands nowhere.
    if (!isVisible() || width() <= 0 || height() <= 0)
        return std::nullopt;
    return Rect(fromQt(mapToGlobal(QPoint(0, 0))), fromQt(size()));
}

void ScrollMenuBarExtraView::reportFrame()
{
    const std::optional<Rect> frame = frameOnScreen();
    if (!frame || frame == m_reported)
        return;
    m_reported = frame;
    if (m_frame)
        m_frame(frame);
}

bool ScrollMenuBarExtraView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && event->type() == QEvent::Move)
        reportFrame();
    return QWidget::eventFilter(watched, event);
}

void ScrollMenuBarExtraView::followButton()
{
    // Its window's moves move it on screen as well.
    if (m_window != window()) {
        if (m_window)
            m_window->removeEventFilter(this);
        m_window = window();
        if (m_window != this)
            m_window->installEventFilter(this);
        else
            m_window = nullptr;
    }
    QObject::disconnect(m_moves);
    for (QWidget* ancestor = parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
        if (auto* button = qobject_cast<StatusBarButton*>(ancestor)) {
            m_moves = connect(button, &StatusBarButton::moved, this, [this] { reportFrame(); });
            return;
        }
    }
}

bool ScrollMenuBarExtraView::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    switch (event->type()) {
    case QEvent::Show:
        // Hosted by now: the item's moves (the strip's, or its neighbours') move the view
        // without moving it in its parent.
        followButton();
        reportFrame();
        break;
    case QEvent::Move:
    case QEvent::Resize:
        reportFrame();
        break;
    default:
        break;
    }
    return handled;
}

void ScrollMenuBarExtraView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().color(QPalette::Active, QPalette::WindowText));
    const double total = circleSize + spacing + squareSize;
    const double left = (width() - total) / 2;
    const double middle = QWidget::height() / 2.0;
    painter.drawEllipse(QRectF(left, middle - circleSize / 2, circleSize, circleSize));
    painter.drawRect(
        QRectF(left + circleSize + spacing, middle - squareSize / 2, squareSize, squareSize));
}

ScrollMenuBarExtraConnectingWidget::ScrollMenuBarExtraConnectingWidget(
    std::shared_ptr<ViewStore> store, QWidget* parent)
    : QWidget(parent)
    , m_store(std::move(store))
{
    std::weak_ptr<ViewStore> weak = m_store;
    m_view = new ScrollMenuBarExtraView(
        [weak](std::optional<Rect> frame) {
            auto store = weak.lock();
            if (store && frame)
                store->dispatch(Action::Frame { *frame });
        },
        [weak](Size delta) {
            if (auto store = weak.lock())
                store->dispatch(Action::DeltaTranslation { delta });
        });
    addPinnedSubview(this, m_view);
}

QWidget* makeScrollMenuBarExtraContainerView(const AppStoreRef& store)
{
    auto* view = new ScrollMenuBarExtraConnectingWidget(
        store->connect(Connectors::ScrollMenuBarExtraConnector {}));
    view->setObjectName(QStringLiteral("ScrollMenuBarExtraView"));
    return view;
}

} // namespace tidemark
