#pragma once

#include <QColor>
#include <Qt>

class QAbstractItemView;
class QAbstractScrollArea;

namespace tidemark {

// Lists and scroll areas draw an opaque background and show scroll bars; lists on translucent
// material must let it show through. Each shim has the newer system's behaviour and the
// older one's, chosen by the running system alone.

// Newer: the container stops painting its own background (the viewport no longer fills) and
// the rows keep theirs. Older: the rows lose their backgrounds (no alternating colours, the
// row widgets of a scroll area stop filling) and the container keeps its own.
void hideListBackground(QAbstractScrollArea* list);

// Gives the list's rows area the colour `color`. A fully transparent colour also stops the
// list's scroll area from painting its background, so the list is transparent; any other
// colour leaves that to the scroll area's own setting. The same on every system.
void clearTableBackground(QAbstractItemView* list, const QColor& color);

// Newer: hides the scroll bars of the given orientations only. Older: hides both, whatever
// the orientations.
void hideScrollIndicators(QAbstractScrollArea* area, Qt::Orientations orientations);

} // namespace tidemark
