#include "entry/ScrollEntry.hpp"

#include <algorithm>
#include <cmath>

namespace tidemark {

namespace {

// One notch of the wheel: 120 eighths of a degree, scrolled as three lines of 8 points.
constexpr double anglePerNotch = 120;
constexpr double pointsPerNotch = 24;

} // namespace

Size scrollDeltaTranslation(const WheelDeltas& deltas)
{
    if (deltas.pixel.width != 0 || deltas.pixel.height != 0)
        return { -deltas.pixel.width, -deltas.pixel.height };
    return { -deltas.angle.width / anglePerNotch * pointsPerNotch,
        -deltas.angle.height / anglePerNotch * pointsPerNotch };
}

using Model = ScrollDataEntryView::AnimationViewModel;

Model::AnimationViewModel(Size initial, double minTranslation)
    : maxSize(initial)
    , height(initial.height)
    , initialSize(initial)
    , minTranslationHeight(minTranslation)
{
}

Model Model::expanded(double amount)
{
    Model model(Size { 0, 0 }, 0);
    model.update(Size { 0, amount });
    return model;
}

void Model::update(Size delta)
{
    const double weight = controlsArePresented ? 1 : 10;
    additiveTranslation.width += delta.width;
    additiveTranslation.height += delta.height * weight;
    translation.height = std::max(0.0, std::min(additiveTranslation.height, threshold()));
    layout(additiveTranslation.height);
}

void Model::layout(double additiveHeight)
{
    const double grown = std::max(0.0, additiveHeight - threshold());
    const double width = initialSize.width + grown;
    maxSize = Size { std::min(width, maxWidth), initialSize.height + grown };
    controlsArePresented = width >= maxWidth;
    labelIsPresented = width + iconMaxLength >= maxWidth;
    iconMaxWidth = labelIsPresented ? std::optional<double>(iconMaxLength) : std::nullopt;
    cornerRadius = labelIsPresented ? 16 : infinity;
    iconPadding = labelIsPresented ? maxIconPadding : 0;
}

void Model::hideControls()
{
    controlsArePresented = false;
}

void Model::hideLabel()
{
    labelIsPresented = false;
    iconMaxWidth.reset();
    cornerRadius = infinity;
    iconPadding = 0;
}

void Model::shrinkToIcon()
{
    maxSize = Size { iconMaxLength, iconMaxLength };
    translation.height = std::max(0.0, threshold());
}

void Model::resetTranslation()
{
    layout(0);
    translation.height = std::max(0.0, std::min(threshold(), 0.0));
}

std::vector<YoyoScrollFrontView::Action> YoyoScrollFrontView::actionsAfterDelta(
    const ScrollDataEntryView::AnimationViewModel& model, bool isPresented)
{
    using A = YoyoScrollFrontViewActionCases;
    const double height = model.translation.height;
    if (height > 0)
        return { A::IsPresented { true }, A::DataEntryIsPresented { true } };
    std::vector<Action> actions { A::DataEntryIsPresented { false } };
    if (isPresented)
        actions.push_back(A::IsPresented { false });
    return actions;
}

Rect YoyoScrollFrontView::windowFrame(const Rect& screen, const Rect& itemFrame, const Reach& reach)
{
    if (itemFrame.isEmpty() || screen.isEmpty() || !screen.contains(itemFrame.center()))
        return screen;
    // A spring of this damping overshoots a step by about an eighth; half again is room to
    // spare for steps that follow each other.
    constexpr double overshoot = 1.5;
    // In whole points: the window stands on whole pixels, and its frame is what the item is
    // measured against.
    const double width = std::min(
        std::ceil(
            std::max(Model::maxWidth * overshoot + 2 * reach.shadowMargin, itemFrame.width())),
        screen.width());
    const double left = std::clamp(
        std::floor(itemFrame.midX() - width / 2), screen.minX(), screen.maxX() - width);
    // The card's centre goes down to the threshold below the item's centre.
    const double threshold = reach.openHeight * 0.5 + reach.minTranslationHeight;
    const double lowest
        = itemFrame.midY() + (threshold + reach.openHeight / 2) * overshoot + reach.shadowMargin;
    const double bottom = std::min(std::ceil(std::max(lowest, itemFrame.maxY())), screen.maxY());
    return { left, screen.minY(), width, bottom - screen.minY() };
}

} // namespace tidemark
