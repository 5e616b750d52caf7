#pragma once

#include "core/Store.hpp"
#include "platform/foundation/Geometry.hpp"

#include <concepts>
#include <utility>

namespace tidemark {

// A pair of values for an element's "on" and "off" states, tuned live while the application
// runs.
template <class T> struct Toggled {
    using ValueType = T;
    struct Values {
        T on;
        T off;
        bool operator==(const Values&) const = default;
    };
    Values values;

    Toggled(T on, T off)
        : values { std::move(on), std::move(off) }
    {
    }
    T value(bool isOn) const { return isOn ? values.on : values.off; }
    bool operator==(const Toggled&) const = default;
};

// What the debug views need of such a pair.
template <class C>
concept ToggleInterface = requires(C c, bool isOn)
{
    typename C::ValueType;
    c.values.on;
    c.values.off;
    {
        c.value(isOn)
        } -> std::convertible_to<typename C::ValueType>;
};

// A binding to one element of a bound pair: reading reads that element; writing reads the
// whole pair, replaces that element and writes the pair back, the other element as read.
template <ToggleInterface C> Binding<typename C::ValueType> onBinding(const Binding<C>& toggled)
{
    return { [toggled] { return toggled.get().values.on; },
        [toggled](const typename C::ValueType& value) {
            C pair = toggled.get();
            pair.values.on = value;
            toggled.set(pair);
        } };
}
template <ToggleInterface C> Binding<typename C::ValueType> offBinding(const Binding<C>& toggled)
{
    return { [toggled] { return toggled.get().values.off; },
        [toggled](const typename C::ValueType& value) {
            C pair = toggled.get();
            pair.values.off = value;
            toggled.set(pair);
        } };
}

} // namespace tidemark
