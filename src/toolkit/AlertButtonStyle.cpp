#include "toolkit/AlertButtonStyle.hpp"

#include "toolkit/ContinuousCorners.hpp"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QVariant>

#include <algorithm>
#include <cmath>

namespace tidemark {

namespace {

constexpr const char* roleProperty = "tidemarkButtonRole";
constexpr const char* progressProperty = "tidemarkAlertButtonProgress";

} // namespace

ButtonRole buttonRole(const QAbstractButton* button)
{
    if (!button)
        return ButtonRole::none;
    const QVariant set = button->property(roleProperty);
    if (set.isValid())
        return ButtonRole(set.toInt());
    for (QWidget* w = button->parentWidget(); w; w = w->parentWidget()) {
        if (auto* box = qobject_cast<QDialogButtonBox*>(w)) {
            switch (box->buttonRole(const_cast<QAbstractButton*>(button))) {
            case QDialogButtonBox::DestructiveRole:
                return ButtonRole::destructive;
            case QDialogButtonBox::RejectRole:
                return ButtonRole::cancel;
            default:
                return ButtonRole::none;
            }
        }
    }
    return ButtonRole::none;
}

void setButtonRole(QAbstractButton* button, ButtonRole role)
{
    button->setProperty(roleProperty, int(role));
    button->update();
}

QColor destructiveColor(ColorScheme scheme)
{
    return scheme == ColorScheme::dark ? QColor(255, 69, 58) : QColor(255, 59, 48);
}

QColor alertButtonLabelColor(const AlertButtonAppearance& appearance, const QPalette& palette)
{
    if (appearance.isDefault)
        return Qt::white;
    const QColor primary = palette.color(QPalette::Active, QPalette::WindowText);
    if (!appearance.isEnabled)
        return withOpacity(primary, 0.5);
    if (appearance.role == ButtonRole::destructive)
        return destructiveColor(appearance.colorScheme);
    return primary;
}

QColor alertButtonPlateColor(const AlertButtonAppearance& appearance, const QPalette& palette)
{
    if (appearance.isDefault)
        return palette.color(QPalette::Active, QPalette::Highlight);
    if (appearance.colorScheme == ColorScheme::dark)
        return withOpacity(Qt::white, 0.25);
    return withOpacity(Qt::black, 0.0755);
}

QSizeF alertButtonSize(const QSizeF& labelSize, double progress)
{
    const double padding = 8 * progress;
    const double minimum = 22 * progress;
    return { std::max(labelSize.width() + 2 * padding, minimum),
        std::max(labelSize.height(), minimum) };
}

void paintAlertButtonPlate(QPainter& painter, const QRectF& rect,
    const AlertButtonAppearance& appearance, const QPalette& palette)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QPainterPath shape = continuousRoundedRect(rect, alertButtonCornerRadius);
    if (appearance.isDefault)
        painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    painter.fillPath(shape, alertButtonPlateColor(appearance, palette));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (appearance.isPressed)
        painter.fillPath(shape, withOpacity(Qt::black, alertButtonPressedOverlay));
    painter.restore();
}

AlertButtonStyle::AlertButtonStyle(double progress)
    : m_progress(progress)
{
}

AlertButtonStyle* AlertButtonStyle::apply(QAbstractButton* button, double progress)
{
    // One style for every such button: a proxy makes its own instance of the desktop's style,
    // which is too heavy to make per button.
    static QPointer<AlertButtonStyle> shared;
    if (!shared) {
        shared = new AlertButtonStyle;
        shared->setParent(QCoreApplication::instance());
    }
    const QVariant previous = button->property(progressProperty);
    button->setProperty(progressProperty, progress);
    if (button->style() != shared) {
        button->setStyle(shared);
        button->setAttribute(Qt::WA_Hover);
    } else if (previous.isValid() && previous.toDouble() == progress) {
        return shared;
    }
    // Buttons keep their measured size until their style is said to have changed.
    QEvent styleChange(QEvent::StyleChange);
    QCoreApplication::sendEvent(button, &styleChange);
    button->updateGeometry();
    button->update();
    return shared;
}

double AlertButtonStyle::progress(const QWidget* widget) const
{
    const QVariant own = widget ? widget->property(progressProperty) : QVariant();
    return own.isValid() ? own.toDouble() : m_progress;
}

AlertButtonAppearance AlertButtonStyle::appearance(
    const QStyleOption* option, const QWidget* widget)
{
    AlertButtonAppearance appearance;
    if (const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option))
        appearance.isDefault = button->features.testFlag(QStyleOptionButton::DefaultButton);
    appearance.isEnabled = option->state.testFlag(QStyle::State_Enabled);
    appearance.isPressed = option->state.testFlag(QStyle::State_Sunken);
    appearance.role = buttonRole(qobject_cast<const QAbstractButton*>(widget));
    appearance.colorScheme = colorScheme(option->palette);
    return appearance;
}

void AlertButtonStyle::drawControl(ControlElement element, const QStyleOption* option,
    QPainter* painter, const QWidget* widget) const
{
    const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
    if (element != CE_PushButton || !button) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const AlertButtonAppearance look = appearance(option, widget);
    paintAlertButtonPlate(*painter, QRectF(option->rect), look, option->palette);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::TextAntialiasing);
    const QColor labelColor = alertButtonLabelColor(look, option->palette);
    const QRect area = option->rect;
    int textWidth = button->text.isEmpty()
        ? 0
        : option->fontMetrics.horizontalAdvance(QString(button->text).remove(QLatin1Char('&')));
    const bool hasIcon = !button->icon.isNull();
    const QSize iconSize = hasIcon ? button->iconSize : QSize();
    const int gap = hasIcon && textWidth > 0 ? 4 : 0;
    int x = area.x() + (area.width() - (iconSize.width() + gap + textWidth)) / 2;
    if (hasIcon) {
        const QIcon::Mode mode = look.isEnabled ? QIcon::Normal : QIcon::Disabled;
        const QRect iconRect(x, area.y() + (area.height() - iconSize.height()) / 2,
            iconSize.width(), iconSize.height());
        button->icon.paint(painter, iconRect, Qt::AlignCenter, mode);
        x += iconSize.width() + gap;
    }
    if (textWidth > 0) {
        painter->setPen(labelColor);
        painter->drawText(
            QRect(x, area.y(), std::max(textWidth, area.right() + 1 - x), area.height()),
            Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, button->text);
    }
    painter->restore();
}

QSize AlertButtonStyle::sizeFromContents(
    ContentsType type, const QStyleOption* option, const QSize& size, const QWidget* widget) const
{
    if (type != CT_PushButton)
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    const QSizeF result = alertButtonSize(QSizeF(size), progress(widget));
    return { int(std::ceil(result.width())), int(std::ceil(result.height())) };
}

int AlertButtonStyle::pixelMetric(
    PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    switch (metric) {
    case PM_ButtonShiftHorizontal:
    case PM_ButtonShiftVertical:
    case PM_ButtonMargin:
    case PM_ButtonDefaultIndicator:
        return 0;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

} // namespace tidemark
