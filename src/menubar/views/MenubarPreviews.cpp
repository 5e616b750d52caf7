#include "menubar/views/MenubarPreviews.hpp"

#include "entry/ZevovozoStatus.hpp"
#include "menubar/ZevovozoConfiguring.hpp"
#include "menubar/ZevovozoViewModel.hpp"
#include "menubar/views/ZevovozoView.hpp"
#include "platform/foundation/Clock.hpp"
#include "platform/foundation/Date.hpp"
#include "platform/foundation/Geometry.hpp"
#include "platform/reactive/Publisher.hpp"

#include <memory>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

namespace tidemark {

namespace {

// A reminder due at ten past ten, an hour after it was set; the previews look at it when 40 %
// of the hour has passed.
ZevovozoViewModel::Current tenPastTen()
{
    constexpr double turn = 2 * std::numbers::pi;
    return { Angle { (10 + 10.0 / 60) / 12 * turn }, Angle { 10.0 / 60 * turn },
        dateFromTimeIntervalSince1970(0), dateFromTimeIntervalSince1970(3600) };
}

std::shared_ptr<const Clock> previewClock()
{
    return std::make_shared<ManualClock>(dateFromTimeIntervalSince1970(0.4 * 3600));
}

struct Configuration {
    std::string name;
    std::shared_ptr<const ZevovozoConfiguring> config;
};

std::vector<Configuration> configurations()
{
    return { { "menu bar", std::make_shared<const MenubarZevovozoConfiguration>() },
        { "list item", std::make_shared<const ListItemZevovozoConfiguration>() } };
}

} // namespace

void registerMenubarPreviews(PreviewRegistry& registry)
{
    const std::pair<ZevovozoStatus, const char*> statuses[] = {
        { ZevovozoStatus::idle, "idle" },
        { ZevovozoStatus::selected, "selected" },
        { ZevovozoStatus::hovering, "hovering" },
        { ZevovozoStatus::longHold, "longHold" },
        { ZevovozoStatus::dragging, "dragging" },
    };
    PreviewProvider byStatus { "ZevovozoContainerView", {} };
    for (const Configuration& configuration : configurations()) {
        for (const auto& [status, name] : statuses) {
            const ZevovozoViewModel model { status, configuration.config, tenPastTen() };
            byStatus.states.push_back({ configuration.name + ", " + name, [model] {
                                           return new ZevovozoContainerView(
                                               model, rx::Silent<rx::Unit>(), previewClock());
                                       } });
        }
    }
    registry.add(std::move(byStatus));

    const std::pair<double, const char*> progresses[] = {
        { 1, "progress 1" },
        { 0.5, "progress 0.5" },
        { 0, "progress 0" },
        { -0.2, "progress -0.2 (past due)" },
        { 1.3, "progress 1.3" },
    };
    PreviewProvider byProgress { "ZevovozoView", {} };
    for (const Configuration& configuration : configurations()) {
        const ZevovozoViewModel model { ZevovozoStatus::idle, configuration.config, tenPastTen() };
        for (const auto& [progress, name] : progresses) {
            byProgress.states.push_back({ configuration.name + ", " + name,
                [parameters = model.parameters(), progress = progress] {
                    return new ZevovozoView(parameters, progress);
                } });
        }
    }
    registry.add(std::move(byProgress));
}

} // namespace tidemark
