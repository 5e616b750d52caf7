#include "toolkit/GoldenControl.hpp"

#include "core/SharedValues.hpp"

#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace tidemark {

std::pair<double, double> goldenControlWidths(double width)
{
    return { goldenMinor(width), goldenMajor(width) };
}

const Size& Popover::contentSize()
{
    static const Size size { 230, goldenRatioMultiple(230.0) - 102 };
    return size;
}

GoldenControl::GoldenControl(std::function<void()> cancellableAction,
    const QString& cancellableLabel, std::function<void()> primaryAction,
    const QString& primaryLabel, QWidget* parent)
    : QWidget(parent)
    , m_cancellable(new QPushButton(cancellableLabel, this))
    , m_primary(new QPushButton(primaryLabel, this))
{
    for (QPushButton* button : { m_cancellable, m_primary }) {
        button->setFlat(true);
        button->setAutoDefault(false);
    }
    connect(m_cancellable, &QPushButton::clicked, this, [action = std::move(cancellableAction)] {
        if (action)
            action();
    });
    connect(m_primary, &QPushButton::clicked, this, [action = std::move(primaryAction)] {
        if (action)
            action();
    });
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layoutButtons();
}

QSize GoldenControl::sizeHint() const
{
    const QSize cancellable = m_cancellable->sizeHint();
    const QSize primary = m_primary->sizeHint();
    // Wide enough that each label fits its share.
    const int width = int(std::ceil(
        std::max(cancellable.width() / goldenMinorFactor, primary.width() / goldenMajorFactor)));
    return { width, std::max(cancellable.height(), primary.height()) };
}

void GoldenControl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutButtons();
}

void GoldenControl::layoutButtons()
{
    // Whole pixels: the cancelling share rounded, the primary one the rest, so the two still
    // span the whole width.
    const int cancellable = int(std::lround(goldenControlWidths(width()).first));
    m_cancellable->setGeometry(0, 0, cancellable, height());
    m_primary->setGeometry(cancellable, 0, width() - cancellable, height());
}

} // namespace tidemark
