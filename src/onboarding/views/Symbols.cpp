#include "onboarding/views/Symbols.hpp"

#include "platform/ui/ColorScheme.hpp"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>

#include <cmath>
#include <numbers>

namespace tidemark {

namespace {

// Each symbol is drawn in a box `symbolAspectRatio` wide and 1 high.

QPainterPath stroked(const QPainterPath& path, double width)
{
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(path);
}

QPainterPath circle(QPointF centre, double radius)
{
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

QPainterPath bellBadge()
{
    const double cx = 0.44;
    QPainterPath bell;
    bell.moveTo(0.10, 0.71);
    bell.quadTo(0.18, 0.62, 0.18, 0.50);
    bell.lineTo(0.18, 0.38);
    bell.cubicTo(0.18, 0.22, 0.29, 0.13, cx, 0.13);
    bell.cubicTo(0.59, 0.13, 0.70, 0.22, 0.70, 0.38);
    bell.lineTo(0.70, 0.50);
    bell.quadTo(0.70, 0.62, 0.78, 0.71);
    bell.closeSubpath();
    QPainterPath rim;
    rim.addRoundedRect(QRectF(0.05, 0.69, 0.78, 0.09), 0.045, 0.045);
    bell = bell.united(rim);
    bell = bell.united(circle({ cx, 0.11 }, 0.055));
    QPainterPath clapper;
    clapper.moveTo(cx - 0.10, 0.80);
    clapper.arcTo(QRectF(cx - 0.10, 0.70, 0.20, 0.20), 180, 180);
    clapper.closeSubpath();
    bell = bell.united(clapper);
    // The badge sits in a gap cut around it.
    const QPointF badge(0.79, 0.19);
    bell = bell.subtracted(circle(badge, 0.235));
    return bell.united(circle(badge, 0.165));
}

QPainterPath arrowHead(QPointF tip, double angle, double size)
{
    // A triangle pointing along `angle` (radians, y downwards) with its tip at `tip`.
    const QPointF along(std::cos(angle), std::sin(angle));
    const QPointF across(-along.y(), along.x());
    QPainterPath head;
    head.moveTo(tip);
    head.lineTo(tip - along * size + across * size * 0.75);
    head.lineTo(tip - along * size - across * size * 0.75);
    head.closeSubpath();
    return head;
}

QPainterPath syncCircle()
{
    const QPointF centre(0.5, 0.5);
    QPainterPath disc = circle(centre, 0.5);
    const double radius = 0.25;
    const QRectF arcBox(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    QPainterPath arrows;
    // Two arcs, each turning clockwise on screen, ending in a head.
    for (const double start : { 160.0, -20.0 }) {
        const double sweep = -125;
        QPainterPath arc;
        arc.arcMoveTo(arcBox, start);
        arc.arcTo(arcBox, start, sweep);
        arrows = arrows.united(stroked(arc, 0.085));
        const double end = (start + sweep) * std::numbers::pi / 180;
        const QPointF tip = centre + QPointF(std::cos(end), -std::sin(end)) * radius;
        // Tangent of a clockwise turn on screen at that point.
        const double heading = std::atan2(std::cos(end), std::sin(end));
        arrows = arrows.united(
            arrowHead(tip + QPointF(std::cos(heading), std::sin(heading)) * 0.07, heading, 0.11));
    }
    return disc.subtracted(arrows);
}

QPainterPath personCircle()
{
    const QPointF centre(0.5, 0.5);
    QPainterPath disc = circle(centre, 0.5);
    QPainterPath person = circle({ 0.5, 0.39 }, 0.165);
    QPainterPath shoulders;
    shoulders.addEllipse(QRectF(0.17, 0.66, 0.66, 0.52));
    person = person.united(shoulders.intersected(circle(centre, 0.5)));
    // A rim of the disc stays round the shoulders, as on a badge.
    return disc.subtracted(person.intersected(circle(centre, 0.44)));
}

QPainterPath checkmark()
{
    QPainterPath tick;
    tick.moveTo(0.12, 0.56);
    tick.lineTo(0.42, 0.86);
    tick.lineTo(0.98, 0.14);
    return stroked(tick, 0.14);
}

QPainterPath chevron(bool left)
{
    const double w = 0.36;
    QPainterPath path;
    const double outer = left ? w - 0.06 : 0.06;
    const double inner = left ? 0.06 : w - 0.06;
    path.moveTo(outer, 0.06);
    path.lineTo(inner, 0.5);
    path.lineTo(outer, 0.94);
    return stroked(path, 0.09);
}

QPainterPath symbolPath(Symbol symbol)
{
    switch (symbol) {
    case Symbol::bellBadge:
        return bellBadge();
    case Symbol::syncCircle:
        return syncCircle();
    case Symbol::personCircle:
        return personCircle();
    case Symbol::checkmark:
        return checkmark();
    case Symbol::chevronCompactLeft:
        return chevron(true);
    case Symbol::chevronCompactRight:
        return chevron(false);
    }
    return {};
}

// The paths are made in a box 100 high: the united and subtracted outlines are flattened
// into polygons, finely enough at that size to stay round when drawn larger.
constexpr double pathScale = 100;

QPainterPath scaledPath(Symbol symbol)
{
    return QTransform::fromScale(pathScale, pathScale).map(symbolPath(symbol));
}

const QPainterPath& cachedPath(Symbol symbol)
{
    static const QPainterPath paths[] = {
        scaledPath(Symbol::bellBadge),
        scaledPath(Symbol::syncCircle),
        scaledPath(Symbol::personCircle),
        scaledPath(Symbol::checkmark),
        scaledPath(Symbol::chevronCompactLeft),
        scaledPath(Symbol::chevronCompactRight),
    };
    return paths[int(symbol)];
}

double textScale(TextStyle style)
{
    switch (style) {
    case TextStyle::body:
        return 1;
    case TextStyle::largeTitle:
        return 26.0 / 13;
    case TextStyle::title:
        return 22.0 / 13;
    case TextStyle::title2:
        return 17.0 / 13;
    case TextStyle::description:
        return 15.0 / 13;
    case TextStyle::footnote:
        return 10.0 / 13;
    }
    return 1;
}

} // namespace

double symbolAspectRatio(Symbol symbol)
{
    switch (symbol) {
    case Symbol::bellBadge:
        return 1.0;
    case Symbol::syncCircle:
    case Symbol::personCircle:
        return 1.0;
    case Symbol::checkmark:
        return 1.1;
    case Symbol::chevronCompactLeft:
    case Symbol::chevronCompactRight:
        return 0.36;
    }
    return 1;
}

void paintSymbol(QPainter& painter, Symbol symbol, const QRectF& rect, const QColor& color)
{
    const double aspect = symbolAspectRatio(symbol);
    if (rect.isEmpty())
        return;
    const double height = std::min(rect.height(), rect.width() / aspect);
    const QRectF box(rect.center().x() - height * aspect / 2, rect.center().y() - height / 2,
        height * aspect, height);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(box.topLeft());
    painter.scale(height / pathScale, height / pathScale);
    painter.fillPath(cachedPath(symbol), color);
    painter.restore();
}

SymbolView::SymbolView(Symbol symbol, double height, QWidget* parent)
    : QWidget(parent)
    , m_symbol(symbol)
    , m_height(height)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setFixedHeight(int(std::lround(height)));
}

void SymbolView::setTint(Tint tint)
{
    m_tint = std::move(tint);
    update();
}

QColor SymbolView::color() const
{
    return m_tint ? m_tint(palette()) : palette().color(QPalette::Highlight);
}

QSize SymbolView::sizeHint() const
{
    return { int(std::ceil(m_height * symbolAspectRatio(m_symbol))), int(std::lround(m_height)) };
}

void SymbolView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintSymbol(painter, m_symbol, rect(), color());
}

QFont styledFont(const QFont& body, TextStyle style, bool bold)
{
    QFont font = body;
    if (body.pointSizeF() > 0)
        font.setPointSizeF(body.pointSizeF() * textScale(style));
    else
        font.setPixelSize(int(std::lround(body.pixelSize() * textScale(style))));
    font.setBold(bold);
    return font;
}

StyledLabel::StyledLabel(const QString& text, TextStyle style, bool bold, QWidget* parent)
    : QLabel(text, parent)
    , m_style(style)
    , m_bold(bold)
{
    setTextFormat(Qt::PlainText);
}

void StyledLabel::setCentredWrapping()
{
    setWordWrap(true);
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
}

bool StyledLabel::event(QEvent* event)
{
    if (event->type() == QEvent::Polish) {
        const QFont body = parentWidget() ? parentWidget()->font() : font();
        setFont(styledFont(body, m_style, m_bold));
        if (m_secondary) {
            QPalette colours = parentWidget() ? parentWidget()->palette() : palette();
            colours.setColor(QPalette::WindowText, secondaryColor(colours));
            setPalette(colours);
        }
    }
    return QLabel::event(event);
}

QColor secondaryColor(const QPalette& palette)
{
    return withOpacity(palette.color(QPalette::WindowText), 0.55);
}

QColor successGreen(const QPalette& palette)
{
    return colorScheme(palette) == ColorScheme::dark ? QColor(48, 209, 88) : QColor(40, 180, 70);
}

} // namespace tidemark
