#pragma once

#include "menubar/ZevovozoViewModel.hpp"
#include "platform/reactive/Cancellable.hpp"
#include "platform/reactive/Publisher.hpp"
#include "platform/ui/Animator.hpp"
#include "platform/ui/FrameClock.hpp"
#include "toolkit/ClockView.hpp"
#include "toolkit/DevicePixels.hpp"

#include <QColor>
#include <QImage>
#include <QPalette>
#include <QWidget>

#include <memory>

class QPainter;

namespace tidemark {

class Clock;

// The clock-hand icon: a ring in the icon's colour at 0.3 with an accent arc from the top,
// clockwise, as long as the timer's progress, and inside it the clock (hands and centre dot
// from the drawing parameters), framed to at most `clockSize` and casting a shadow of black at
// 0.33 with `shadowRadius`. All of it is framed to at most `contentSize`, centred; the view's
// ideal and largest size is `size`. Colours come from the palette: primary is the text colour,
// accent the highlight.
class ZevovozoView final : public QWidget {
public:
    using Parameters = ZevovozoViewModel::Parameters;

    ZevovozoView(const Parameters& parameters, double timerIndicatorProgress,
        QWidget* parent = nullptr, FrameClock* clock = nullptr);

    const Parameters& parameters() const { return m_parameters; }
    void setParameters(const Parameters& parameters);
    // Kept as given: at or below 0 no arc shows, from 1 on the whole ring.
    double timerIndicatorProgress() const { return m_progress; }
    void setTimerIndicatorProgress(double progress);

    // The clock inside the ring, for a look at its hands.
    const ClockFace& clock() const { return m_clock; }

    static QColor color(ZevovozoViewModel::Color color, const QPalette& palette);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void applyToClock();
    void paintRing(
        QPainter& painter, const QRectF& content, const QColor& tint, const QColor& accent) const;

    Parameters m_parameters;
    double m_progress;
    ClockFace m_clock;
    // The ring as last drawn, and what for.
    struct RingKey {
        DevicePixels device;
        QRgb tint = 0;
        QRgb accent = 0;
        double lineWidth = 0;
        double progress = 0;
        bool operator==(const RingKey&) const = default;
    };
    RingKey m_ringKey;
    QImage m_ring;
    // The clock's shadow as last blurred, and the outline of the clock it was made from.
    QImage m_shadow;
    std::uint64_t m_shadowOutline = 0;
    double m_shadowRadius = 0;
};

// The icon with its ring kept up to date: the progress of the model's reminder, computed when
// the container is made and again on every tick of `timer`, each change moving the ring with
// the default ease-in-out. A new status or new reminder values make a new container.
class ZevovozoContainerView final : public QWidget {
public:
    ZevovozoContainerView(ZevovozoViewModel viewModel, rx::Publisher<rx::Unit> timer,
        std::shared_ptr<const Clock> clock, QWidget* parent = nullptr,
        FrameClock* frameClock = nullptr);

    const ZevovozoViewModel& viewModel() const { return m_viewModel; }
    // The progress as it stands in this frame (the ring shows it).
    double timerIndicatorProgress() const { return m_progress.value(); }
    ZevovozoView* view() const { return m_view; }

private:
    ZevovozoViewModel m_viewModel;
    std::shared_ptr<const Clock> m_clock;
    Animated<double> m_progress;
    ZevovozoView* m_view = nullptr;
    rx::Cancellable m_progressFrames;
    rx::Cancellable m_ticks;
};

} // namespace tidemark
