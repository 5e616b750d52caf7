#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>

class QPainter;

namespace tidemark {

// The barely tinted plate behind an editable text run: `color` at 0.05 in a continuous
// rounded rectangle of radius 4.
void paintEditingPlate(QPainter& painter, const QRectF& rect, const QColor& color);

// Marks an editable text run: pads its content by 4 px left and right and 2 px above and
// below (always), and shows the plate behind it while it is being edited, or, when
// `highlightOnHover`, while the pointer is over it. An invalid colour (QColor()) stands for
// the primary text colour of the view's palette, so the plate follows the colour scheme.
class EditingViewModifier final : public QWidget {
    Q_OBJECT
public:
    static constexpr int horizontalPadding = 4;
    static constexpr int verticalPadding = 2;
    static constexpr double cornerRadius = 4;
    static constexpr double plateOpacity = 0.05;

    EditingViewModifier(QWidget* content, bool isEditing, const QColor& color,
        bool highlightOnHover, QWidget* parent = nullptr);

    QWidget* content() const { return m_content; }
    bool isEditing() const { return m_isEditing; }
    void setEditing(bool isEditing);
    bool isHovering() const { return m_privateIsEditing; }
    // Whether the plate shows now.
    bool showsPlate() const { return m_isEditing || m_privateIsEditing; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void setHovering(bool hovering);

    QPointer<QWidget> m_content;
    bool m_isEditing;
    QColor m_color;
    bool m_highlightOnHover;
    bool m_privateIsEditing = false;
};

} // namespace tidemark
