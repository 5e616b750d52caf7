#pragma once

#include <QEvent>
#include <QWidget>

#include <memory>
#include <utility>

namespace tidemark {

// Values that a widget hands down to its whole subtree, such as the version the views take
// the system for or the form style in force. A widget reads the value set on itself or on its
// nearest ancestor that set one (nearest wins); where none did, the key's default.
//
// Keys are objects with a stable address, declared once (`inline const EnvironmentKey<T>`).
template <class T> class EnvironmentKey {
public:
    using Value = T;
    constexpr EnvironmentKey(const char* name, T (*defaultValue)())
        : m_name(name)
        , m_defaultValue(defaultValue)
    {
    }
    EnvironmentKey(const EnvironmentKey&) = delete;
    EnvironmentKey& operator=(const EnvironmentKey&) = delete;

    const char* name() const { return m_name; }
    T defaultValue() const { return m_defaultValue(); }

private:
    const char* m_name;
    T (*m_defaultValue)();
};

namespace detail {

// A stored value of any type, compared through its own operator==.
struct EnvironmentEntry {
    virtual ~EnvironmentEntry() = default;
};
template <class T> struct TypedEnvironmentEntry final : EnvironmentEntry {
    explicit TypedEnvironmentEntry(T v)
        : value(std::move(v))
    {
    }
    T value;
};

// The entry `widget` itself holds for `key`, or null.
const EnvironmentEntry* ownEnvironmentEntry(const QWidget* widget, const void* key);
// The entry of `widget` or of its nearest ancestor that holds one, or null.
const EnvironmentEntry* inheritedEnvironmentEntry(const QWidget* widget, const void* key);
// Stores the entry (null removes it) and tells the subtree.
void storeEnvironmentEntry(QWidget* widget, const void* key, std::unique_ptr<EnvironmentEntry>);

} // namespace detail

// The event every widget of a subtree receives, itself first, when a value of the environment
// changes at its root. Views that depend on the environment look at it again then, and when
// their own or an ancestor's parent changes.
QEvent::Type environmentChangeEventType();
inline bool isEnvironmentChange(const QEvent* event)
{
    return event->type() == environmentChangeEventType();
}

template <class T> T environmentValue(const QWidget* widget, const EnvironmentKey<T>& key)
{
    if (const auto* entry = detail::inheritedEnvironmentEntry(widget, &key))
        return static_cast<const detail::TypedEnvironmentEntry<T>*>(entry)->value;
    return key.defaultValue();
}

// Sets the value for `widget` and its subtree. Setting the value the widget already holds
// changes nothing and tells nobody.
template <class T> void setEnvironmentValue(QWidget* widget, const EnvironmentKey<T>& key, T value)
{
    if (const auto* entry = detail::ownEnvironmentEntry(widget, &key)) {
        if (static_cast<const detail::TypedEnvironmentEntry<T>*>(entry)->value == value)
            return;
    }
    detail::storeEnvironmentEntry(
        widget, &key, std::make_unique<detail::TypedEnvironmentEntry<T>>(std::move(value)));
}

// Removes the value set on `widget`; the subtree reads its ancestors' (or the default) again.
template <class T> void resetEnvironmentValue(QWidget* widget, const EnvironmentKey<T>& key)
{
    if (detail::ownEnvironmentEntry(widget, &key))
        detail::storeEnvironmentEntry(widget, &key, nullptr);
}

} // namespace tidemark
