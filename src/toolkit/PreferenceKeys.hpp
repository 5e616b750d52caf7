#pragma once

#include "platform/foundation/Geometry.hpp"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <any>
#include <functional>
#include <optional>
#include <vector>

namespace tidemark {

// Views report values upwards (their frame, their size) to an ancestor that reads them.
// Every view may publish a value under a key; an ancestor that reads the key gets the values
// of its whole subtree folded in tree order (children in their order, each view's own value
// after those of its content) by the key's rule, starting from the key's default. A change is
// gathered on the next turn of the event loop, however many views changed, and the reader hears it
// only when the folded value differs from the last it heard; it always hears the first one.
//
// A key is a type with `Value`, `static Value defaultValue()` and
// `static void reduce(Value& value, const Value& next)`.

// An optional frame: a present next value replaces the one gathered so far; an absent one
// leaves it.
struct FramePreferenceKey {
    using Value = std::optional<Rect>;
    static Value defaultValue() { return std::nullopt; }
    static void reduce(Value& value, const Value& next)
    {
        if (next)
            value = next;
    }
};

// A size: the next value always replaces the one gathered so far.
struct SizePreferenceKey {
    using Value = Size;
    static Value defaultValue() { return {}; }
    static void reduce(Value& value, const Value& next) { value = next; }
};

namespace detail {

template <class Key> const void* preferenceKeyId()
{
    static const char id = 0;
    return &id;
}

} // namespace detail

// One view's value under one key. A child of the view.
class PreferenceWriter : public QObject {
    Q_OBJECT
public:
    PreferenceWriter(QWidget* view, const void* keyId, std::any value);
    ~PreferenceWriter() override;

    QWidget* view() const { return m_view; }
    const void* keyId() const { return m_keyId; }
    const std::any& value() const { return m_value; }
    // Replaces the value and tells the reading ancestors.
    void setAnyValue(std::any value);

    // Tells every reader of `keyId` above `view` that something below it changed.
    static void notifyReaders(QWidget* view, const void* keyId);

private:
    QWidget* m_view;
    const void* m_keyId;
    std::any m_value;
};

// An ancestor's reading of one key. A child of the ancestor.
class PreferenceReader : public QObject {
    Q_OBJECT
public:
    using Fold = std::function<std::any(const std::vector<const std::any*>& values)>;
    using Equal = std::function<bool(const std::any&, const std::any&)>;

    PreferenceReader(QWidget* ancestor, const void* keyId, Fold fold, Equal equal,
        std::function<void(const std::any&)> onChange);
    ~PreferenceReader() override;

    const void* keyId() const { return m_keyId; }
    // Gathers on the next turn of the loop (once, however often asked before).
    void setNeedsUpdate();
    // Gathers now.
    void updateNow();

private:
    void collect(const QWidget* widget, std::vector<const std::any*>& values) const;

    QWidget* m_ancestor;
    const void* m_keyId;
    Fold m_fold;
    Equal m_equal;
    std::function<void(const std::any&)> m_onChange;
    std::optional<std::any> m_last;
    bool m_pending = false;
};

// Publishes `value` under `Key` for `view` (replacing what the view published before).
template <class Key> PreferenceWriter* setPreference(QWidget* view, typename Key::Value value)
{
    const void* id = detail::preferenceKeyId<Key>();
    for (QObject* child : view->children()) {
        auto* writer = qobject_cast<PreferenceWriter*>(child);
        if (writer && writer->keyId() == id) {
            writer->setAnyValue(std::move(value));
            return writer;
        }
    }
    return new PreferenceWriter(view, id, std::move(value));
}

// Reads `Key` over `ancestor`'s subtree.
template <class Key>
PreferenceReader* onPreferenceChange(
    QWidget* ancestor, std::function<void(const typename Key::Value&)> action)
{
    using Value = typename Key::Value;
    return new PreferenceReader(
        ancestor, detail::preferenceKeyId<Key>(),
        [](const std::vector<const std::any*>& values) {
            Value folded = Key::defaultValue();
            for (const std::any* value : values)
                Key::reduce(folded, std::any_cast<const Value&>(*value));
            return std::any(std::move(folded));
        },
        [](const std::any& a, const std::any& b) {
            return std::any_cast<const Value&>(a) == std::any_cast<const Value&>(b);
        },
        [action = std::move(action)](
            const std::any& value) { action(std::any_cast<const Value&>(value)); });
}

// Publish the modified view's frame under FramePreferenceKey: in its own coordinates
// (its bounds), or in its window's coordinates. Both follow the view's moves and resizes
// (the window frame also those of its ancestors below the window).
PreferenceWriter* applyLocalFrameModifier(QWidget* view);
PreferenceWriter* applyGlobalFrameModifier(QWidget* view);
// Publishes the modified view's size under SizePreferenceKey.
PreferenceWriter* applySizeModifier(QWidget* view);

} // namespace tidemark
