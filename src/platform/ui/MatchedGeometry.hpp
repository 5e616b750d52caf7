#pragma once

#include "platform/ui/Animator.hpp"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace tidemark {

// Frames shared under identifiers, so that one view can take the place and size of another and
// move there smoothly: a source publishes its frame under an id, followers of that id are
// carried to it (animated under the publishing transaction's animation, at once outside one).
// Frames are in screen coordinates, so source and followers may sit in different windows.
// Copies of a namespace are the same namespace; it lives while any copy does. Main thread.
class MatchedGeometryNamespace {
public:
    explicit MatchedGeometryNamespace(FrameClock* clock = nullptr);

    // A source's frame under `id`. The first frame ever published under an id places its
    // followers at once; later ones move them from where they stand.
    void publish(const std::string& id, const Rect& frame);
    void publish(
        const std::string& id, const Rect& frame, const std::optional<Animation>& animation);
    // The source of `id` is gone; its followers stay where it was last.
    void withdraw(const std::string& id);
    bool hasSource(const std::string& id) const;

    // Where the followers of `id` stand now; none before anything was published under it.
    std::optional<Rect> frame(const std::string& id) const;
    // Calls `onFrame` with every frame the followers of `id` take, first with the present one
    // when there is one.
    rx::Cancellable follow(const std::string& id, std::function<void(const Rect&)> onFrame);

    bool operator==(const MatchedGeometryNamespace& other) const
    {
        return m_state == other.m_state;
    }

private:
    struct Entry;
    struct State;
    Entry& entry(const std::string& id);
    std::shared_ptr<State> m_state;
};

// Ties a widget to an id of a namespace: a source publishes its frame whenever it moves,
// resizes or is shown, and withdraws when hidden; a follower takes the frame published there
// (mapped into its parent). Owned by the widget.
class MatchedGeometryEffect final : public QObject {
public:
    MatchedGeometryEffect(
        QWidget* widget, MatchedGeometryNamespace space, std::string id, bool isSource = true);
    ~MatchedGeometryEffect() override;

    bool isSource() const { return m_isSource; }
    const std::string& id() const { return m_id; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void publish();
    void follow(const Rect& frame);

    QPointer<QWidget> m_widget;
    MatchedGeometryNamespace m_space;
    std::string m_id;
    bool m_isSource;
    rx::Cancellable m_following;
};

} // namespace tidemark
