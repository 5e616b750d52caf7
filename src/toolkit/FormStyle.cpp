#include "toolkit/FormStyle.hpp"

#include "platform/ui/AncestorEvents.hpp"
#include "toolkit/Availability.hpp"

#include <QWidget>

namespace tidemark {

std::optional<FormStyle> defaultFormStyle()
{
    return std::nullopt;
}

FormStyleGroupedModifier::FormStyleGroupedModifier(QWidget* view)
    : QObject(view)
    , m_view(view)
{
    new AncestorEventFilter(
        view,
        [this](QWidget* watched, QEvent* event) {
            if (event->type() == QEvent::ParentChange
                || (watched == m_view && isEnvironmentChange(event)))
                update();
        },
        this);
    update();
}

void FormStyleGroupedModifier::update()
{
    m_grouped = allowsNewerFacility(m_view, AvailabilityTest::runningSystemAndPreviewVersion);
    if (m_grouped)
        setEnvironmentValue(m_view, formStyleKey, std::optional<FormStyle>(FormStyle::grouped));
    else
        resetEnvironmentValue(m_view, formStyleKey);
}

FormStyleGroupedModifier* groupedFormStyle(QWidget* view)
{
    if (auto* existing
        = view->findChild<FormStyleGroupedModifier*>(QString(), Qt::FindDirectChildrenOnly))
        return existing;
    return new FormStyleGroupedModifier(view);
}

} // namespace tidemark
