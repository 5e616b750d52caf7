#pragma once

class QKeyEvent;

namespace tidemark {

// The popover's undo and redo keys: Ctrl+Z, and Ctrl+Shift+Z (or the desktop's own redo).
bool isUndoKey(const QKeyEvent* event);
bool isRedoKey(const QKeyEvent* event);

} // namespace tidemark
