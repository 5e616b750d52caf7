#pragma once

#include <QObject>
#include <QPoint>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <functional>

namespace tidemark {

// Turns a press on a view into a repeating signal that the press is still held: from the
// start of a press a timer calls `perform(true)` every `minimumDuration −
// longPressMinimumDuration` seconds, and when the press ends after at least one such call,
// `perform(false)` follows once. A press ends when the button is released, when the pointer
// moves more than 10 px from where it was pressed, or when the view hides. A child of the
// view.
class OnLongHoldGestureViewModifier final : public QObject {
    Q_OBJECT
public:
    static constexpr double longPressMinimumDuration = 0.5;
    static constexpr double maximumDistance = 10;
    // The shortest interval the timer runs at: an interval of 0 would fire on every turn of
    // the event loop and keep a core busy for as long as the press lasts.
    static constexpr std::chrono::milliseconds minimumInterval { 10 };

    OnLongHoldGestureViewModifier(
        QWidget* view, double minimumDuration, std::function<void(bool)> perform);

    // The timer's interval for a minimum duration.
    static std::chrono::milliseconds interval(double minimumDuration);

    bool isPressing() const { return m_timer.isActive(); }
    bool isHolding() const { return m_isHolding; }
    // The interval of the current (or last) press's timer.
    std::chrono::milliseconds timerInterval() const { return m_timer.intervalAsDuration(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pressing(bool isPressing);
    void tick();

    double m_minimumDuration;
    std::function<void(bool)> m_perform;
    QTimer m_timer;
    QPoint m_pressPosition;
    bool m_isHolding = false;
};

} // namespace tidemark
