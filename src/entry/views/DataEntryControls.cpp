#include "entry/views/DataEntryControls.hpp"

#include "entry/YoyoLayout.hpp"
#include "platform/foundation/StringTables.hpp"
#include "platform/ui/ColorScheme.hpp"
#include "toolkit/AlertButtonStyle.hpp"
#include "toolkit/ContinuousCorners.hpp"
#include "toolkit/MaterialView.hpp"
#include "toolkit/VisualEffectBorder.hpp"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QShortcut>

#include <cmath>

namespace tidemark {

namespace {

QString controlsText(const char* key)
{
    return QString::fromStdString(localized("Controls", key));
}

} // namespace

DataEntryControls::DataEntryControls(QWidget* parent)
    : QWidget(parent)
    , m_cancel(new QPushButton(controlsText("cancel_label"), this))
    , m_save(new QPushButton(controlsText("save_label"), this))
{
    setButtonRole(m_cancel, ButtonRole::cancel);
    m_save->setDefault(true);
    for (QPushButton* button : { m_cancel, m_save }) {
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        button->setFocusPolicy(Qt::NoFocus);
    }
    auto* row = new QHBoxLayout(this);
    row->setSpacing(8);
    row->addWidget(m_cancel);
    row->addWidget(m_save);

    connect(m_cancel, &QPushButton::clicked, this, [this] {
        if (m_secondaryAction)
            m_secondaryAction();
    });
    connect(m_save, &QPushButton::clicked, this, [this] {
        if (m_primaryAction)
            m_primaryAction();
    });
    // The keyboard's cancel and default actions, wherever the focus is in the window.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, m_cancel, &QPushButton::click);
    for (int key : { int(Qt::Key_Return), int(Qt::Key_Enter) }) {
        auto* enter = new QShortcut(QKeySequence(key), this);
        enter->setContext(Qt::WindowShortcut);
        connect(enter, &QShortcut::activated, m_save, &QPushButton::click);
    }
    apply();
}

void DataEntryControls::setCornerRadius(double radius)
{
    if (radius == m_cornerRadius)
        return;
    m_cornerRadius = radius;
    update();
}

void DataEntryControls::setProgress(double progress)
{
    if (progress == m_progress)
        return;
    m_progress = progress;
    apply();
}

double DataEntryControls::textScale() const
{
    const double base = QApplication::font().pointSizeF();
    const double own = font().pointSizeF();
    return base > 0 && own > 0 ? own / base : 1.0;
}

void DataEntryControls::apply()
{
    const auto metrics = DataEntryControlsMetrics::of(m_progress, textScale());
    const int padding = int(std::lround(metrics.padding));
    layout()->setContentsMargins(
        padding, padding + int(std::lround(metrics.topPadding)), padding, padding);
    const int height = int(std::lround(metrics.height));
    for (QPushButton* button : { m_cancel, m_save }) {
        AlertButtonStyle::apply(button, std::max(0.0, m_progress));
        button->setFixedHeight(height);
        button->setVisible(height > 0);
    }
    updateGeometry();
    update();
}

QSize DataEntryControls::sizeHint() const
{
    const auto metrics = DataEntryControlsMetrics::of(m_progress, textScale());
    const int width = std::max(m_cancel->sizeHint().width(), m_save->sizeHint().width()) * 2 + 8;
    const double height = metrics.height + 2 * metrics.padding + metrics.topPadding;
    return { int(std::lround(width + 2 * metrics.padding)), int(std::lround(height)) };
}

void DataEntryControls::paintEvent(QPaintEvent*)
{
    if (height() <= 0)
        return;
    QPainter painter(this);
    const QColor background
        = QColor::fromRgbF(1, 1, 1, float(DataEntryControlsMetrics::backgroundWhiteOpacity));
    if (m_cornerRadius > 0) {
        // Only the lower corners are the card's: the shape reaches above the row.
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF shape(0, -2 * m_cornerRadius, width(), height() + 2 * m_cornerRadius);
        painter.setClipRect(rect());
        fillContinuousRoundedRect(painter, shape, m_cornerRadius, background);
        painter.setClipping(false);
    } else {
        painter.fillRect(rect(), background);
    }
    const bool dark = colorScheme(this) == ColorScheme::dark;
    painter.fillRect(QRectF(0, DataEntryControlsMetrics::hairlineOffset, width(),
                         DataEntryControlsMetrics::hairlineHeight),
        QColor::fromRgbF(1, 1, 1, float(DataEntryControlsMetrics::hairlineOpacity(dark))));
}

void DataEntryControls::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        apply();
    QWidget::changeEvent(event);
}

SurfaceLook dataEntrySurface(const QWidget* widget, double cornerRadius, const Shadow& shadow)
{
    const ColorScheme scheme = colorScheme(widget);
    SurfaceLook look;
    look.cornerRadius = cornerRadius;
    look.shadow = shadow;
    look.fill = materialTint(Material::popover, scheme, widget->palette(), false);
    look.border = visualEffectBorderColor(scheme, 1);
    look.borderWidth = 1;
    return look;
}

} // namespace tidemark
