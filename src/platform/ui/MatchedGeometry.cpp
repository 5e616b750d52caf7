#include "platform/ui/MatchedGeometry.hpp"

#include "platform/ui/QtGeometry.hpp"

#include <QEvent>

namespace tidemark {

struct MatchedGeometryNamespace::Entry {
    explicit Entry(FrameClock* clock)
        : frame(Rect {}, clock)
    {
    }
    Animated<Rect> frame;
    bool everPublished = false;
    bool hasSource = false;
};

struct MatchedGeometryNamespace::State {
    FrameClock* clock;
    std::map<std::string, std::unique_ptr<Entry>> entries;
};

MatchedGeometryNamespace::MatchedGeometryNamespace(FrameClock* clock)
    : m_state(std::make_shared<State>(State { clock, {} }))
{
}

MatchedGeometryNamespace::Entry& MatchedGeometryNamespace::entry(const std::string& id)
{
    auto found = m_state->entries.find(id);
    if (found == m_state->entries.end())
        found = m_state->entries.emplace(id, std::make_unique<Entry>(m_state->clock)).first;
    return *found->second;
}

void MatchedGeometryNamespace::publish(const std::string& id, const Rect& frame)
{
    publish(id, frame, currentTransaction().animation);
}

void MatchedGeometryNamespace::publish(
    const std::string& id, const Rect& frame, const std::optional<Animation>& animation)
{
    Entry& e = entry(id);
    e.hasSource = true;
    if (!e.everPublished) {
        e.everPublished = true;
        e.frame.jump(frame);
        return;
    }
    e.frame.setTarget(frame, animation);
}

void MatchedGeometryNamespace::withdraw(const std::string& id)
{
    const auto found = m_state->entries.find(id);
    if (found != m_state->entries.end())
        found->second->hasSource = false;
}

bool MatchedGeometryNamespace::hasSource(const std::string& id) const
{
    const auto found = m_state->entries.find(id);
    return found != m_state->entries.end() && found->second->hasSource;
}

std::optional<Rect> MatchedGeometryNamespace::frame(const std::string& id) const
{
    const auto found = m_state->entries.find(id);
    if (found == m_state->entries.end() || !found->second->everPublished)
        return std::nullopt;
    return found->second->frame.value();
}

rx::Cancellable MatchedGeometryNamespace::follow(
    const std::string& id, std::function<void(const Rect&)> onFrame)
{
    Entry& e = entry(id);
    if (e.everPublished)
        onFrame(e.frame.value());
    return e.frame.onFrame(std::move(onFrame));
}

MatchedGeometryEffect::MatchedGeometryEffect(
    QWidget* widget, MatchedGeometryNamespace space, std::string id, bool isSource)
    : QObject(widget)
    , m_widget(widget)
    , m_space(std::move(space))
    , m_id(std::move(id))
    , m_isSource(isSource)
{
    if (!widget)
        return;
    if (m_isSource) {
        widget->installEventFilter(this);
        if (widget->isVisible())
            publish();
    } else {
        m_following = m_space.follow(m_id, [this](const Rect& frame) { follow(frame); });
    }
}

MatchedGeometryEffect::~MatchedGeometryEffect()
{
    m_following.cancel();
    if (m_isSource)
        m_space.withdraw(m_id);
}

bool MatchedGeometryEffect::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_widget) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
            if (m_widget->isVisible())
                publish();
            break;
        case QEvent::Hide:
            m_space.withdraw(m_id);
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void MatchedGeometryEffect::publish()
{
    const QPoint origin = m_widget->mapToGlobal(QPoint(0, 0));
    m_space.publish(m_id, { fromQt(origin), fromQt(m_widget->size()) });
}

void MatchedGeometryEffect::follow(const Rect& frame)
{
    if (!m_widget)
        return;
    QWidget* parent = m_widget->parentWidget();
    const QPointF origin = parent ? QPointF(parent->mapFromGlobal(toQPointF(frame.origin)))
                                  : toQPointF(frame.origin);
    m_widget->setGeometry(toQRect({ fromQt(origin), frame.size }));
}

} // namespace tidemark
