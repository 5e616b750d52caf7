#pragma once

#include "platform/foundation/Geometry.hpp"
#include "platform/reactive/Publisher.hpp"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

namespace tidemark {

// Tells when the pointer enters a view (true) and leaves it (false), whether or not the
// application is active. The tracked area is the view's own bounds; the view's children are
// part of it. A child of the view.
class HoveringEventsView final : public QObject {
    Q_OBJECT
public:
    HoveringEventsView(QWidget* view, std::function<void(bool)> action);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(bool)> m_action;
};

// Publishes where a view sits in its window: `rect` (the view's bounds when none is given)
// moved by the view's top-left corner in its window's coordinates, so it follows the view
// when the view or any of its ancestors moves or resizes. The size is always `rect`'s. Until
// the first such change `frame` is the zero rectangle.
class ViewPublisher final : public QObject {
    Q_OBJECT
public:
    ViewPublisher(std::optional<Rect> rect, QWidget* view);
    ~ViewPublisher() override;

    Rect frame() const { return m_frame.value(); }
    // The current frame first, then every new one.
    rx::Publisher<Rect> framePublisher() const { return m_frame.publisher(); }

    Rect rect() const { return m_rect; }
    QWidget* view() const { return m_view; }
    // Observes `view` instead; the previous view is no longer observed.
    void setView(QWidget* view);

    // Equal when the frames, the rectangles and the views are.
    bool operator==(const ViewPublisher& other) const;

private:
    void observe();
    void update();

    rx::CurrentValueSubject<Rect> m_frame { Rect() };
    Rect m_rect;
    QPointer<QWidget> m_view;
    QPointer<QObject> m_observation;
};

} // namespace tidemark
