#include "toolkit/MaterialView.hpp"

#include "platform/ui/BlurBehind.hpp"
#include "toolkit/ContinuousCorners.hpp"

#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>

namespace tidemark {

namespace {

double tintOpacity(Material material, bool blurred)
{
    switch (material) {
    case Material::popover:
        return blurred ? 0.78 : 0.94;
    case Material::fullScreenUI:
        return blurred ? 0.70 : 0.92;
    case Material::underWindowBackground:
        return blurred ? 0.84 : 0.96;
    }
    return 1;
}

constexpr const char* blurPendingProperty = "tidemarkBlurRegionPending";

// Every behind-window material of the window, as one region, handed to the compositor once
// per turn of the loop however many materials changed.
void scheduleBlurRegion(QWidget* window)
{
    if (!window || !blur::isAvailable() || window->property(blurPendingProperty).toBool())
        return;
    window->setProperty(blurPendingProperty, true);
    QTimer::singleShot(0, window, [window] {
        window->setProperty(blurPendingProperty, false);
        QRegion region;
        if (window->testAttribute(Qt::WA_TranslucentBackground)) {
            for (MaterialView* material : window->findChildren<MaterialView*>()) {
                if (!material->isVisibleTo(window)
                    || material->blendingMode() != BlendingMode::behindWindow)
                    continue;
                const QPoint origin = material->mapTo(window, QPoint(0, 0));
                const QPainterPath shape = continuousRoundedRect(
                    QRectF(origin, QSizeF(material->size())), material->cornerRadius());
                region += QRegion(shape.toFillPolygon().toPolygon());
            }
        }
        blur::setRegion(window, region);
    });
}

} // namespace

QColor materialTint(Material material, ColorScheme scheme, const QPalette& palette, bool blurred)
{
    QColor base = palette.color(QPalette::Active, QPalette::Window);
    // A dark scheme's material is a little darker than its windows, a light one's lighter.
    base = scheme == ColorScheme::dark ? base.darker(115) : base.lighter(103);
    return withOpacity(base, tintOpacity(material, blurred));
}

MaterialView::MaterialView(Material material, BlendingMode blendingMode, QWidget* parent)
    : QWidget(parent)
    , m_material(material)
    , m_blendingMode(blendingMode)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void MaterialView::setMaterial(Material material)
{
    if (material == m_material)
        return;
    m_material = material;
    update();
}

void MaterialView::setBlendingMode(BlendingMode mode)
{
    if (mode == m_blendingMode)
        return;
    m_blendingMode = mode;
    update();
    blurRegionChanged();
}

void MaterialView::setCornerRadius(double radius)
{
    if (radius == m_cornerRadius)
        return;
    m_cornerRadius = radius;
    update();
    blurRegionChanged();
}

bool MaterialView::isBlurredBehind() const
{
    return m_blendingMode == BlendingMode::behindWindow && blur::isAvailable()
        && window()->testAttribute(Qt::WA_TranslucentBackground);
}

QColor MaterialView::tint() const
{
    return materialTint(m_material, colorScheme(palette()), palette(), isBlurredBehind());
}

void MaterialView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    fillContinuousRoundedRect(painter, QRectF(rect()), m_cornerRadius, tint());
}

bool MaterialView::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::ParentChange:
        blurRegionChanged();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void MaterialView::blurRegionChanged()
{
    scheduleBlurRegion(window());
}

namespace {

// Keeps a background view the size of its view and beneath the view's other children.
class BackgroundFollower final : public QObject {
public:
    BackgroundFollower(QWidget* view, QWidget* background)
        : QObject(background)
        , m_background(background)
    {
        view->installEventFilter(this);
        background->setGeometry(view->rect());
        background->lower();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            m_background->setGeometry(static_cast<QWidget*>(watched)->rect());
        else if (event->type() == QEvent::ChildAdded)
            m_background->lower();
        return false;
    }

private:
    QWidget* m_background;
};

} // namespace

MaterialView* visualEffectBackground(QWidget* view, Material material, BlendingMode blendingMode)
{
    auto* background = new MaterialView(material, blendingMode, view);
    new BackgroundFollower(view, background);
    background->show();
    return background;
}

} // namespace tidemark
