#include "toolkit/AnimationTrackingPreviews.hpp"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QResizeEvent>
#include <QVBoxLayout>

#include <cmath>
#include <cstdio>

namespace tidemark {

AnimationObserverTest::AnimationObserverTest(QWidget* parent, FrameClock* clock)
    : QWidget(parent)
    , m_offset(0.0, clock)
    , m_observer(
          m_offset,
          [self = QPointer<AnimationObserverTest>(this)](const double& value) {
              if (!self)
                  return;
              self->m_lastReported = value;
              const double span = self->m_spanEnd - self->m_spanStart;
              self->m_progress = span != 0 ? std::abs(value - self->m_spanStart) * 100 / span : 0;
              self->render();
          },
          [self = QPointer<AnimationObserverTest>(this)] {
              // The jump back to the start of a run arrives too; only the end of the span counts.
              if (!self || self->m_lastReported != self->m_spanEnd)
                  return;
              self->m_done = true;
              self->render();
          })
{
    auto* layout = new QVBoxLayout(this);
    m_loading = new QLabel(this);
    m_track = new QWidget(this);
    m_track->setFixedHeight(50);
    m_bar = new QWidget(m_track);
    m_bar->setAutoFillBackground(true);
    QPalette palette = m_bar->palette();
    palette.setColor(QPalette::Window, Qt::blue);
    m_bar->setPalette(palette);
    m_caption = new QLabel(this);
    auto* reloadButton = new QPushButton(QStringLiteral("Reload"), this);
    connect(reloadButton, &QPushButton::clicked, this, [this] { reload(); });
    layout->addWidget(m_loading);
    layout->addWidget(m_track);
    layout->addWidget(m_caption);
    layout->addWidget(reloadButton);
    m_frameToken = m_offset.onFrame([this](const double&) { render(); });
    render();
}

void AnimationObserverTest::reload()
{
    m_started = true;
    m_done = false;
    // The track spans the view inside its margins; before it is laid out, the view stands in.
    const double width = m_track->width() > 0 ? m_track->width() : this->width();
    m_offset.jump(-width);
    m_spanStart = -width;
    m_spanEnd = 0;
    withAnimation(Animation::easeIn(5), [this] { m_offset.set(0); });
    render();
}

void AnimationObserverTest::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!m_started && width() > 0)
        reload();
    render();
}

void AnimationObserverTest::render()
{
    char percent[64];
    std::snprintf(percent, sizeof percent, "%lf", m_progress);
    m_loading->setText(QStringLiteral("Loading: ") + QString::fromLatin1(percent) + u'%');
    m_bar->setGeometry(int(std::lround(m_offset.value())), 0, m_track->width(), 50);
    if (m_done)
        m_caption->setText(QStringLiteral("Done!"));
    else if (m_progress >= 50)
        m_caption->setText(QString::fromLatin1(halfwayCaption));
    else
        m_caption->clear();
}

std::unique_ptr<QWidget> animationProgressTestPreviews()
{
    auto view = std::make_unique<AnimationObserverTest>();
    view->resize(400, 200);
    return view;
}

} // namespace tidemark
