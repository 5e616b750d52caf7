#include "entry/BlobIcon.hpp"

#include "core/SharedValues.hpp"

namespace tidemark {

namespace {

BlobIcon::State preset(
    double barWidth, BlobIcon::State::Circle circle, double padding, bool backgroundIsPresented)
{
    BlobIcon::State state;
    state.bridge.width = barWidth;
    state.bridge.circleYOffSet = [circle](Size size) { return circle.offset(size); };
    state.circle = circle;
    state.centerCircleLength = 2;
    state.cornerRadius = 6;
    state.padding = padding;
    state.backgroundIsPresented = backgroundIsPresented;
    state.shadowOpacity = 0;
    return state;
}

Rect centred(Point center, double width, double height)
{
    Rect r({}, { width, height });
    setCenter(r, center);
    return r;
}

} // namespace

double BlobIcon::State::Circle::offset(Size size) const
{
    if (yOffset)
        return *yOffset;
    return (size.height - diameter) * 0.5 - padding;
}

bool BlobIcon::State::sameLook(const State& other) const
{
    return bridge.width == other.bridge.width && circle == other.circle
        && centerCircleLength == other.centerCircleLength && cornerRadius == other.cornerRadius
        && padding == other.padding && tintColor == other.tintColor
        && backgroundIsPresented == other.backgroundIsPresented
        && shadowOpacity == other.shadowOpacity;
}

const BlobIcon::State& BlobIcon::State::small()
{
    static const State state = preset(2, { 4, 1.5, 6, std::nullopt }, 2, true);
    return state;
}

const BlobIcon::State& BlobIcon::State::large()
{
    static const State state = preset(3, { 5, 2.5, 7, std::nullopt }, 0, false);
    return state;
}

BlobIcon::Shapes BlobIcon::shapes(const State& state, Size size)
{
    const Point c { size.width / 2, size.height / 2 };
    const double d = state.circle.offset(size);
    const double bar = state.bridge.circleYOffSet ? state.bridge.circleYOffSet(size) : d;
    const double dot = state.circle.diameter;
    return {
        centred({ c.x, c.y - d }, dot, dot),
        centred(c, state.bridge.width, std::max(0.0, 2 * bar)),
        centred({ c.x, c.y + d }, dot, dot),
        centred(c, state.centerCircleLength, state.centerCircleLength),
    };
}

} // namespace tidemark
