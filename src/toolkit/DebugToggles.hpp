#pragma once

#include "toolkit/DebugToggledSliders.hpp"
#include "toolkit/Toggled.hpp"

#include <concepts>
#include <string>

namespace tidemark {

// Tunes a Toggled<T> (T a floating-point type) over lower…upper.
template <std::floating_point T>
class DebugToggledViewRangeValue final : public DebugToggledSliders {
public:
    DebugToggledViewRangeValue(
        std::string title, Binding<Toggled<T>> toggled, T lower, T upper, QWidget* parent = nullptr)
        : DebugToggledSliders(QString::fromStdString(title), double(lower), double(upper),
            asDouble(onBinding(toggled)), asDouble(offBinding(toggled)), parent)
    {
    }

private:
    static Value asDouble(Binding<T> binding)
    {
        return { [binding] { return double(binding.get()); },
            [binding](double value) { binding.set(T(value)); } };
    }
};

// Tunes a Toggled<Angle>; the sliders, lower and upper are in degrees.
template <std::floating_point T>
class DebugToggledViewAngleRangeValue final : public DebugToggledSliders {
public:
    DebugToggledViewAngleRangeValue(std::string title, Binding<Toggled<Angle>> toggled, T lower,
        T upper, QWidget* parent = nullptr)
        : DebugToggledSliders(QString::fromStdString(title), double(lower), double(upper),
            inDegrees(onBinding(toggled)), inDegrees(offBinding(toggled)), parent)
    {
    }

private:
    static Value inDegrees(Binding<Angle> binding)
    {
        return { [binding] { return double(T(binding.get().degrees())); },
            [binding](double value) { binding.set(Angle::degrees(double(T(value)))); } };
    }
};

} // namespace tidemark
