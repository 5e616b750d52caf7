#include "toolkit/EditingHighlight.hpp"

#include "platform/ui/ColorScheme.hpp"
#include "toolkit/ContinuousCorners.hpp"

#include <QPainter>
#include <QVBoxLayout>

namespace tidemark {

void paintEditingPlate(QPainter& painter, const QRectF& rect, const QColor& color)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(continuousRoundedRect(rect, EditingViewModifier::cornerRadius),
        withOpacity(color, EditingViewModifier::plateOpacity));
    painter.restore();
}

EditingViewModifier::EditingViewModifier(
    QWidget* content, bool isEditing, const QColor& color, bool highlightOnHover, QWidget* parent)
    : QWidget(parent)
    , m_content(content)
    , m_isEditing(isEditing)
    , m_color(color)
    , m_highlightOnHover(highlightOnHover)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(
        horizontalPadding, verticalPadding, horizontalPadding, verticalPadding);
    layout->setSpacing(0);
    layout->addWidget(content);
}

void EditingViewModifier::setEditing(bool isEditing)
{
    if (isEditing == m_isEditing)
        return;
    m_isEditing = isEditing;
    update();
}

void EditingViewModifier::paintEvent(QPaintEvent*)
{
    if (!showsPlate())
        return;
    QPainter painter(this);
    paintEditingPlate(painter, QRectF(rect()),
        m_color.isValid() ? m_color : palette().color(QPalette::WindowText));
}

void EditingViewModifier::enterEvent(QEnterEvent* event)
{
    setHovering(true);
    QWidget::enterEvent(event);
}

void EditingViewModifier::leaveEvent(QEvent* event)
{
    setHovering(false);
    QWidget::leaveEvent(event);
}

void EditingViewModifier::setHovering(bool hovering)
{
    if (!m_highlightOnHover || hovering == m_privateIsEditing)
        return;
    m_privateIsEditing = hovering;
    update();
}

} // namespace tidemark
