#include "menubar/views/PopoverKeys.hpp"

#include <QKeyEvent>
#include <QKeySequence>

namespace tidemark {

bool isUndoKey(const QKeyEvent* event)
{
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    return (event->key() == Qt::Key_Z && modifiers == Qt::ControlModifier)
        || event->matches(QKeySequence::Undo);
}

bool isRedoKey(const QKeyEvent* event)
{
    // Ctrl+Shift+Z whatever the desktop's key scheme says (some name only Ctrl+Y).
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    return (event->key() == Qt::Key_Z && modifiers == (Qt::ControlModifier | Qt::ShiftModifier))
        || event->matches(QKeySequence::Redo);
}

} // namespace tidemark
