#include "toolkit/ListAppearance.hpp"

#include "toolkit/Availability.hpp"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QScrollArea>

namespace tidemark {

void hideListBackground(QAbstractScrollArea* list)
{
    if (!list)
        return;
    if (allowsNewerFacility(list, AvailabilityTest::runningSystem)) {
        list->setAutoFillBackground(false);
        list->viewport()->setAutoFillBackground(false);
        return;
    }
    if (auto* view = qobject_cast<QAbstractItemView*>(list)) {
        view->setAlternatingRowColors(false);
        QPalette palette = view->palette();
        palette.setColor(QPalette::AlternateBase, Qt::transparent);
        view->setPalette(palette);
    } else if (auto* area = qobject_cast<QScrollArea*>(list); area && area->widget()) {
        QWidget* rows = area->widget();
        rows->setAutoFillBackground(false);
        for (QObject* child : rows->children()) {
            if (child->isWidgetType())
                static_cast<QWidget*>(child)->setAutoFillBackground(false);
        }
    }
}

void clearTableBackground(QAbstractItemView* list, const QColor& color)
{
    if (!list)
        return;
    QPalette palette = list->palette();
    for (const auto group : { QPalette::Active, QPalette::Inactive, QPalette::Disabled })
        palette.setColor(group, QPalette::Base, color);
    list->setPalette(palette);
    list->viewport()->setPalette(palette);
    if (color.alpha() == 0) {
        list->setAutoFillBackground(false);
        list->viewport()->setAutoFillBackground(false);
    }
}

void hideScrollIndicators(QAbstractScrollArea* area, Qt::Orientations orientations)
{
    if (!area)
        return;
    if (!allowsNewerFacility(area, AvailabilityTest::runningSystem))
        orientations = Qt::Horizontal | Qt::Vertical;
    if (orientations.testFlag(Qt::Vertical))
        area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    if (orientations.testFlag(Qt::Horizontal))
        area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

} // namespace tidemark
