#pragma once

#include <QColor>
#include <QPalette>

class QWidget;

namespace tidemark {

// Light or dark appearance. A widget's scheme follows its palette: dark when its window
// colour is darker than its text, so a dark desktop theme, a dark palette set on a subtree
// and the preview program's dark variant all read as dark.
enum class ColorScheme {
    light,
    dark,
};

ColorScheme colorScheme(const QPalette& palette);
ColorScheme colorScheme(const QWidget* widget);

// A complete dark palette, as the preview program shows views in Dark Mode; also used by
// tests that need the dark branch of a view.
QPalette darkPalette();
// The light counterpart, independent of the desktop's theme.
QPalette lightPalette();

// `color` with its alpha multiplied by `opacity` (0…1).
QColor withOpacity(QColor color, double opacity);

} // namespace tidemark
