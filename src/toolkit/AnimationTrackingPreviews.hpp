#pragma once

#include "toolkit/AnimationTracking.hpp"

#include <QWidget>

#include <memory>

class QLabel;

namespace tidemark {

// Shows the animation observer at work: a blue bar slides in from the left over five seconds
// (ease in), a label counts its progress, "Done!" appears when it arrives, and "Reload" runs
// it again.
class AnimationObserverTest : public QWidget {
public:
    explicit AnimationObserverTest(QWidget* parent = nullptr, FrameClock* clock = nullptr);

    // Starts the run from the left edge again.
    void reload();

    double progress() const { return m_progress; }
    bool isDone() const { return m_done; }

    // The caption shown from halfway on, until the run is done.
    static constexpr const char* halfwayCaption = "Halfway there";

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void render();

    double m_spanStart = 0;
    double m_spanEnd = 0;
    double m_progress = 0;
    double m_lastReported = 0;
    bool m_done = false;
    Animated<double> m_offset;
    AnimationObserverModifier<double> m_observer;
    QLabel* m_loading = nullptr;
    QWidget* m_track = nullptr;
    QWidget* m_bar = nullptr;
    QLabel* m_caption = nullptr;
    bool m_started = false;
    rx::Cancellable m_frameToken;
};

// The preview of the observer: the view above, sized for a window.
std::unique_ptr<QWidget> animationProgressTestPreviews();

} // namespace tidemark
