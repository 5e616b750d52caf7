#pragma once

#include <QColor>
#include <QLabel>
#include <QWidget>

#include <functional>

class QPainter;
class QRectF;

namespace tidemark {

// The symbols the onboarding and what's-new windows show, drawn as paths so that they stay
// sharp at every scale and take any colour.
enum class Symbol {
    bellBadge, // notifications: a bell with a badge
    syncCircle, // sync: two turning arrows cut out of a disc
    personCircle, // open at login: a person cut out of a disc
    checkmark, // set-up complete
    chevronCompactLeft, // what's new: back
    chevronCompactRight, // what's new: forward
};

// Width to height.
double symbolAspectRatio(Symbol symbol);

// Draws the symbol as large as fits in `rect`, centred, keeping its aspect ratio.
void paintSymbol(QPainter& painter, Symbol symbol, const QRectF& rect, const QColor& color);

// A symbol filling its frame as far as its aspect ratio allows, in a colour taken from the
// palette when it paints (the accent, Highlight, unless told otherwise).
class SymbolView final : public QWidget {
public:
    using Tint = std::function<QColor(const QPalette&)>;

    SymbolView(Symbol symbol, double height, QWidget* parent = nullptr);

    Symbol symbol() const { return m_symbol; }
    void setTint(Tint tint);
    QColor color() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Symbol m_symbol;
    double m_height;
    Tint m_tint;
};

// The text styles of the two windows, relative to the body text of the widget's parent:
// large title 2×, title 1.7×, second title 1.3×, the pictures' descriptions 15 / 13 and
// footnotes 10 / 13.
enum class TextStyle {
    body,
    largeTitle,
    title,
    title2,
    description,
    footnote,
};

// A label in a text style, bold or not, in the text colour or the secondary one. It takes its
// size and colour from its parent when it is first shown, so a larger text size or a dark
// palette set around the view reaches it as well.
class StyledLabel final : public QLabel {
public:
    StyledLabel(const QString& text, TextStyle style, bool bold, QWidget* parent = nullptr);

    void setSecondary(bool secondary) { m_secondary = secondary; }

    // Wraps at the label's width, each line centred.
    void setCentredWrapping();

protected:
    bool event(QEvent* event) override;

private:
    TextStyle m_style;
    bool m_bold;
    bool m_secondary = false;
};

// The font of a text style for a body font.
QFont styledFont(const QFont& body, TextStyle style, bool bold);

// Secondary text and symbols: the text colour at reduced opacity.
QColor secondaryColor(const QPalette& palette);
// The green of a completed task, in the palette's scheme.
QColor successGreen(const QPalette& palette);

} // namespace tidemark
