#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

namespace tidemark {

// Hears the events of a view and of each of its ancestors up to and including its window,
// and follows the view when it or an ancestor is given another parent. Helpers that depend on
// where a view sits (its window, its position in that window, its environment) build on it.
// It never consumes an event. It is a child of `owner` (the view when none is given) and goes
// with it; an owner whose handler reaches into itself deletes the filter first when it goes.
class AncestorEventFilter final : public QObject {
    Q_OBJECT
public:
    // `handler` gets each event with the widget it was sent to; a parent change arrives after
    // the filter has moved to the new ancestors.
    using Handler = std::function<void(QWidget* watched, QEvent* event)>;

    AncestorEventFilter(QWidget* view, Handler handler, QObject* owner = nullptr);
    ~AncestorEventFilter() override;

    QWidget* view() const { return m_view; }
    // The view and its ancestors, the view first, its window last.
    std::vector<QWidget*> chain() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watchChain();

    QWidget* m_view;
    Handler m_handler;
    std::vector<QPointer<QWidget>> m_watched;
};

// The view's top-left corner in its window's coordinates.
QPoint positionInWindow(const QWidget* view);

} // namespace tidemark
