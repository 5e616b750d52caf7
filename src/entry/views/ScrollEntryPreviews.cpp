#include "entry/views/ScrollEntryPreviews.hpp"

#include "core/RelativeTimeFormatter.hpp"
#include "entry/views/ScrollDataEntryCard.hpp"

#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tidemark {

namespace {

using Model = ScrollDataEntryView::AnimationViewModel;

// The front view's model: the icon's size, the strip's threshold, an open card 135 high.
Model restingModel()
{
    Model model(Size { 16, 16 }, 17);
    model.height = 135;
    return model;
}

Model scrolled(double points)
{
    Model model = restingModel();
    model.update(Size { 0, points });
    return model;
}

// The card for `model`, standing still, with a reminder of seven minutes from ten o'clock.
QWidget* card(const Model& model)
{
    auto* view = new ScrollDataEntryWidget;
    view->setFormatter(sharedRelativeTimeFormatter());
    view->setTimes(dateFromTimeIntervalSince1970(36000), 420);
    view->setTitle("Call back");
    view->setModel(model);
    const Size size = view->sizeFor(model);
    const int margin = ScrollDataEntryWidget::shadowMargin();
    view->setFixedSize(
        int(std::ceil(size.width)) + 2 * margin, int(std::ceil(size.height)) + 2 * margin);
    return view;
}

} // namespace

void registerScrollEntryPreviews(PreviewRegistry& registry)
{
    const Model open = scrolled(60);
    std::vector<std::pair<std::string, Model>> states {
        { "at rest", restingModel() },
        { "following the scroll", scrolled(5) },
        { "growing", scrolled(15) },
        { "label shown", scrolled(28) },
        { "controls shown", open },
    };
    Model further = open;
    further.update(Size { 0, 40 });
    states.emplace_back("scrolled further", further);
    Model collapsing = open;
    collapsing.hideControls();
    states.emplace_back("collapse 1: controls hidden", collapsing);
    collapsing.hideLabel();
    states.emplace_back("collapse 2: label hidden", collapsing);
    collapsing.shrinkToIcon();
    states.emplace_back("collapse 3: shrunk to the icon", collapsing);
    collapsing.resetTranslation();
    states.emplace_back("collapse 4: back at rest", collapsing);

    PreviewProvider provider { "ScrollDataEntryView", {} };
    for (const auto& [name, model] : states)
        provider.states.push_back({ name, [model = model] { return card(model); } });
    registry.add(std::move(provider));
}

} // namespace tidemark
