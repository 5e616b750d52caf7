#pragma once

#include "entry/ScrollEntry.hpp"

#include <QWidget>

#include <functional>

class QWheelEvent;

namespace tidemark {

// The wheel deltas of a Qt event.
WheelDeltas wheelDeltas(const QWheelEvent& event);

// A transparent widget that hands every wheel event over it first to QWidget (which passes
// it on to the parent) and then, as one delta in points (scrollDeltaTranslation), to its
// closure: no threshold, no filter, no phase test, momentum events included. The closure is
// set once, when the widget is made.
class ScrollGestureView final : public QWidget {
    Q_OBJECT
public:
    using ScrollEvent = std::function<void(Size)>;

    explicit ScrollGestureView(ScrollEvent scrollEvent = {}, QWidget* parent = nullptr);

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    ScrollEvent m_scrollEvent;
};

} // namespace tidemark
