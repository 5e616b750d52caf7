#include "platform/ui/Environment.hpp"

#include <QCoreApplication>
#include <QObject>

#include <unordered_map>

namespace tidemark {

namespace detail {

namespace {

// A widget's own values. It is a child of the widget, so it goes with it.
class EnvironmentStore final : public QObject {
public:
    explicit EnvironmentStore(QWidget* widget);
    ~EnvironmentStore() override;

    std::unordered_map<const void*, std::unique_ptr<EnvironmentEntry>> entries;

private:
    const QWidget* m_widget;
};

std::unordered_map<const QWidget*, EnvironmentStore*>& stores()
{
    static std::unordered_map<const QWidget*, EnvironmentStore*> all;
    return all;
}

EnvironmentStore::EnvironmentStore(QWidget* widget)
    : QObject(widget)
    , m_widget(widget)
{
    stores()[widget] = this;
}

EnvironmentStore::~EnvironmentStore()
{
    stores().erase(m_widget);
}

const EnvironmentEntry* entryOf(const QWidget* widget, const void* key)
{
    const auto store = stores().find(widget);
    if (store == stores().end())
        return nullptr;
    const auto entry = store->second->entries.find(key);
    return entry == store->second->entries.end() ? nullptr : entry->second.get();
}

void tellSubtree(QWidget* widget)
{
    QEvent event(environmentChangeEventType());
    QCoreApplication::sendEvent(widget, &event);
    const auto children = widget->children();
    for (QObject* child : children) {
        if (child->isWidgetType())
            tellSubtree(static_cast<QWidget*>(child));
    }
}

} // namespace

const EnvironmentEntry* ownEnvironmentEntry(const QWidget* widget, const void* key)
{
    return widget ? entryOf(widget, key) : nullptr;
}

const EnvironmentEntry* inheritedEnvironmentEntry(const QWidget* widget, const void* key)
{
    if (stores().empty())
        return nullptr;
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (const auto* entry = entryOf(w, key))
            return entry;
    }
    return nullptr;
}

void storeEnvironmentEntry(
    QWidget* widget, const void* key, std::unique_ptr<EnvironmentEntry> entry)
{
    if (!widget)
        return;
    auto found = stores().find(widget);
    EnvironmentStore* store = found != stores().end()
        ? found->second
        : (entry ? new EnvironmentStore(widget) : nullptr);
    if (!store)
        return;
    if (entry)
        store->entries[key] = std::move(entry);
    else
        store->entries.erase(key);
    tellSubtree(widget);
}

} // namespace detail

QEvent::Type environmentChangeEventType()
{
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

} // namespace tidemark
