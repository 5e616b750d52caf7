#include "toolkit/ViewExtensions.hpp"

#include "toolkit/Availability.hpp"
#include "toolkit/HoveringEventsView.hpp"

#include <QImage>
#include <QLayout>
#include <QPainter>
#include <QWidget>

namespace tidemark {

HoveringEventsView* onHoverEvents(QWidget* view, std::function<void(bool)> perform)
{
    return new HoveringEventsView(view, std::move(perform));
}

QRectF alignedRect(const QSizeF& size, const QRectF& bounds, Qt::Alignment alignment)
{
    double x = bounds.x() + (bounds.width() - size.width()) / 2;
    double y = bounds.y() + (bounds.height() - size.height()) / 2;
    if (alignment & Qt::AlignLeft)
        x = bounds.left();
    else if (alignment & Qt::AlignRight)
        x = bounds.right() - size.width();
    if (alignment & Qt::AlignTop)
        y = bounds.top();
    else if (alignment & Qt::AlignBottom)
        y = bounds.bottom() - size.height();
    return { x, y, size.width(), size.height() };
}

void eraseWithMask(
    QImage& image, const QRectF& bounds, Qt::Alignment alignment, const MaskShape& mask)
{
    if (!mask.paint || image.isNull())
        return;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QSizeF imageSize = image.deviceIndependentSize();
    painter.scale(imageSize.width() / std::max(bounds.width(), 1e-9),
        imageSize.height() / std::max(bounds.height(), 1e-9));
    painter.translate(-bounds.topLeft());
    painter.setCompositionMode(QPainter::CompositionMode_DestinationOut);
    const QRectF frame = mask.size.isEmpty() ? bounds : alignedRect(mask.size, bounds, alignment);
    mask.paint(painter, frame);
}

ReverseMaskEffect::ReverseMaskEffect(Qt::Alignment alignment, MaskShape mask, QObject* parent)
    : QGraphicsEffect(parent)
    , m_alignment(alignment)
    , m_mask(std::move(mask))
{
}

void ReverseMaskEffect::draw(QPainter* painter)
{
    QPoint offset;
    const QPixmap source = sourcePixmap(Qt::LogicalCoordinates, &offset, NoPad);
    if (source.isNull())
        return;
    QImage image = source.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QRectF bounds = sourceBoundingRect(Qt::LogicalCoordinates);
    eraseWithMask(image, bounds, m_alignment, m_mask);
    painter->drawImage(offset, image);
}

ReverseMaskEffect* reverseMask(QWidget* view, Qt::Alignment alignment, MaskShape mask)
{
    auto* effect = new ReverseMaskEffect(alignment, std::move(mask), view);
    view->setGraphicsEffect(effect);
    return effect;
}

void availableWindowResizability(QWidget* window, WindowResizability_Available resizability)
{
    if (!window || !window->layout()
        || !allowsNewerFacility(window, AvailabilityTest::runningSystem))
        return;
    switch (resizability) {
    case WindowResizability_Available::automatic:
        window->layout()->setSizeConstraint(QLayout::SetDefaultConstraint);
        break;
    case WindowResizability_Available::contentSize:
        window->layout()->setSizeConstraint(QLayout::SetFixedSize);
        break;
    case WindowResizability_Available::contentMinSize:
        window->layout()->setSizeConstraint(QLayout::SetMinimumSize);
        break;
    }
}

} // namespace tidemark
