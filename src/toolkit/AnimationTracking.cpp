#include "toolkit/AnimationTracking.hpp"

#include <QResizeEvent>

#include <cmath>

namespace tidemark {

AnimatableHeightModifier::AnimatableHeightModifier(
    QWidget* content, double height, QWidget* parent, FrameClock* clock)
    : QWidget(parent)
    , m_content(content)
    , m_height(height, clock)
{
    if (m_content)
        m_content->setParent(this);
    m_token = m_height.onFrame([this](const double& value) { apply(value); });
    apply(height);
}

QSize AnimatableHeightModifier::sizeHint() const
{
    const int width = m_content ? m_content->sizeHint().width() : 0;
    return { width, int(std::ceil(m_shownHeight)) };
}

void AnimatableHeightModifier::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutContent();
}

void AnimatableHeightModifier::apply(double height)
{
    m_shownHeight = std::isfinite(height) ? std::max(0.0, height) : 0.0;
    const int shown = int(std::ceil(m_shownHeight));
    setMinimumHeight(shown);
    setMaximumHeight(shown);
    resize(width(), shown);
    updateGeometry();
    layoutContent();
}

void AnimatableHeightModifier::layoutContent()
{
    if (!m_content)
        return;
    // The content hangs from the top at its own height; the widget's bounds clip it.
    const int contentHeight = std::max(m_content->sizeHint().height(), m_content->minimumHeight());
    m_content->setGeometry(0, 0, width(), contentHeight);
}

} // namespace tidemark
