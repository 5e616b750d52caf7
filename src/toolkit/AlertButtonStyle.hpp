#pragma once

#include "platform/ui/ColorScheme.hpp"

#include <QColor>
#include <QProxyStyle>
#include <QSizeF>

class QAbstractButton;
class QPainter;
class QRectF;

namespace tidemark {

// What a button is for, where the platform's buttons carry no such role.
enum class ButtonRole {
    none,
    cancel,
    destructive,
};

// A button's role: the one set with setButtonRole, else the one its QDialogButtonBox gives it
// (DestructiveRole, RejectRole), else none.
ButtonRole buttonRole(const QAbstractButton* button);
void setButtonRole(QAbstractButton* button, ButtonRole role);

// What decides how an alert button looks.
struct AlertButtonAppearance {
    // The button that answers the Return key (QPushButton::isDefault).
    bool isDefault = false;
    bool isEnabled = true;
    bool isPressed = false;
    ButtonRole role = ButtonRole::none;
    ColorScheme colorScheme = ColorScheme::light;

    bool operator==(const AlertButtonAppearance&) const = default;
};

// The label: white on the default button (even disabled), else the text colour at half
// opacity when disabled, else red for a destructive button, else the text colour.
QColor alertButtonLabelColor(const AlertButtonAppearance& appearance, const QPalette& palette);
// The plate: the accent colour (Highlight) on the default button, else white at 0.25 in the
// dark scheme, else black at 0.0755.
QColor alertButtonPlateColor(const AlertButtonAppearance& appearance, const QPalette& palette);
// The red of a destructive label in each scheme.
QColor destructiveColor(ColorScheme scheme);

// The button's size for a label of `labelSize`: 8 × progress of padding on the left and the
// right, at least 22 × progress wide and high.
QSizeF alertButtonSize(const QSizeF& labelSize, double progress);

inline constexpr double alertButtonCornerRadius = 6;
inline constexpr double alertButtonPressedOverlay = 0.1;

// The plate of a button filling `rect`, with the pressed darkening over it, clipped together
// to a continuous rounded rectangle of radius 6. The default button's accent is drawn with
// the SourceAtop composition, so it tints what lies beneath it.
void paintAlertButtonPlate(QPainter& painter, const QRectF& rect,
    const AlertButtonAppearance& appearance, const QPalette& palette);

// The compact button of the application's cards and pages: a label on a rounded, lightly
// tinted plate. `progress` scales its padding and minimum size, so a card that grows in
// grows its buttons with it (1: full size, 0: no padding and no minimum).
class AlertButtonStyle final : public QProxyStyle {
    Q_OBJECT
public:
    // `progress` applies to the buttons that carry none of their own (see apply).
    explicit AlertButtonStyle(double progress = 1);

    double progress() const { return m_progress; }

    // Gives `button` the style with its own `progress`; calling it again changes the
    // progress. All such buttons share one style object, which lives with the application.
    static AlertButtonStyle* apply(QAbstractButton* button, double progress = 1);
    // The progress the style draws `widget` with.
    double progress(const QWidget* widget) const;
    static AlertButtonAppearance appearance(const QStyleOption* option, const QWidget* widget);

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
        const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
        const QWidget* widget = nullptr) const override;
    int pixelMetric(
        PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;

private:
    double m_progress;
};

} // namespace tidemark
