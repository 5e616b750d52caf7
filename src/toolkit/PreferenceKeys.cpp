#include "toolkit/PreferenceKeys.hpp"

#include "platform/ui/AncestorEvents.hpp"

#include <QEvent>

#include <algorithm>
#include <vector>

namespace tidemark {

namespace {

std::vector<PreferenceReader*>& readers()
{
    static std::vector<PreferenceReader*> all;
    return all;
}

} // namespace

PreferenceWriter::PreferenceWriter(QWidget* view, const void* keyId, std::any value)
    : QObject(view)
    , m_view(view)
    , m_keyId(keyId)
    , m_value(std::move(value))
{
    notifyReaders(view, keyId);
}

PreferenceWriter::~PreferenceWriter()
{
    // The view may be going too, so its ancestry is not asked: every reader of the key looks
    // again, and only those whose value changes hear of it.
    for (PreferenceReader* reader : readers()) {
        if (reader->keyId() == m_keyId)
            reader->setNeedsUpdate();
    }
}

void PreferenceWriter::setAnyValue(std::any value)
{
    m_value = std::move(value);
    notifyReaders(m_view, m_keyId);
}

void PreferenceWriter::notifyReaders(QWidget* view, const void* keyId)
{
    if (readers().empty())
        return;
    for (QWidget* w = view; w; w = w->parentWidget()) {
        for (PreferenceReader* reader : readers()) {
            if (reader->keyId() == keyId && reader->parent() == w)
                reader->setNeedsUpdate();
        }
    }
}

PreferenceReader::PreferenceReader(QWidget* ancestor, const void* keyId, Fold fold, Equal equal,
    std::function<void(const std::any&)> onChange)
    : QObject(ancestor)
    , m_ancestor(ancestor)
    , m_keyId(keyId)
    , m_fold(std::move(fold))
    , m_equal(std::move(equal))
    , m_onChange(std::move(onChange))
{
    readers().push_back(this);
    setNeedsUpdate();
}

PreferenceReader::~PreferenceReader()
{
    std::erase(readers(), this);
}

void PreferenceReader::setNeedsUpdate()
{
    if (m_pending)
        return;
    m_pending = true;
    QMetaObject::invokeMethod(this, &PreferenceReader::updateNow, Qt::QueuedConnection);
}

void PreferenceReader::collect(const QWidget* widget, std::vector<const std::any*>& values) const
{
    const auto& children = widget->children();
    for (const QObject* child : children) {
        if (child->isWidgetType())
            collect(static_cast<const QWidget*>(child), values);
    }
    // A view's own value comes after its content's, as a modifier wraps its content.
    for (const QObject* child : children) {
        const auto* writer = qobject_cast<const PreferenceWriter*>(child);
        if (writer && writer->keyId() == m_keyId)
            values.push_back(&writer->value());
    }
}

void PreferenceReader::updateNow()
{
    m_pending = false;
    std::vector<const std::any*> values;
    collect(m_ancestor, values);
    std::any folded = m_fold(values);
    if (m_last && m_equal(*m_last, folded))
        return;
    m_last = folded;
    if (m_onChange)
        m_onChange(folded);
}

namespace {

Rect boundsOf(const QWidget* view)
{
    return { 0, 0, double(view->width()), double(view->height()) };
}

Rect frameInItsWindow(const QWidget* view)
{
    const QPoint origin = positionInWindow(view);
    return { double(origin.x()), double(origin.y()), double(view->width()),
        double(view->height()) };
}

} // namespace

PreferenceWriter* applyLocalFrameModifier(QWidget* view)
{
    PreferenceWriter* writer = setPreference<FramePreferenceKey>(view, boundsOf(view));
    new AncestorEventFilter(
        view,
        [view, writer](QWidget* watched, QEvent* event) {
            if (watched == view && event->type() == QEvent::Resize)
                writer->setAnyValue(FramePreferenceKey::Value(boundsOf(view)));
        },
        writer);
    return writer;
}

PreferenceWriter* applyGlobalFrameModifier(QWidget* view)
{
    PreferenceWriter* writer = setPreference<FramePreferenceKey>(view, frameInItsWindow(view));
    new AncestorEventFilter(
        view,
        [view, writer](QWidget* watched, QEvent* event) {
            if (watched->isWindow() && watched != view)
                return;
            const auto type = event->type();
            if (type == QEvent::Move || type == QEvent::Resize || type == QEvent::ParentChange)
                writer->setAnyValue(FramePreferenceKey::Value(frameInItsWindow(view)));
        },
        writer);
    return writer;
}

PreferenceWriter* applySizeModifier(QWidget* view)
{
    PreferenceWriter* writer = setPreference<SizePreferenceKey>(
        view, Size { double(view->width()), double(view->height()) });
    new AncestorEventFilter(
        view,
        [view, writer](QWidget* watched, QEvent* event) {
            if (watched == view && event->type() == QEvent::Resize)
                writer->setAnyValue(Size { double(view->width()), double(view->height()) });
        },
        writer);
    return writer;
}

} // namespace tidemark
