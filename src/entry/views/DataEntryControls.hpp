#pragma once

#include "toolkit/DropShadow.hpp"

#include <QPushButton>
#include <QWidget>

#include <functional>

namespace tidemark {

// The cancel-and-save row at the foot of a data-entry card. Everything in it follows
// `progress`: at 0 it has no height, at 1 its buttons stand 22 points high (scaled with the
// text) inside 11 points of padding and 4 more on top. Escape presses cancel and Return
// presses save while the row's window has the keyboard.
class DataEntryControls final : public QWidget {
    Q_OBJECT
public:
    explicit DataEntryControls(QWidget* parent = nullptr);

    double progress() const { return m_progress; }
    void setProgress(double progress);
    // The save step and the cancel step; without one its button does nothing.
    void setPrimaryAction(std::function<void()> action) { m_primaryAction = std::move(action); }
    void setSecondaryAction(std::function<void()> action) { m_secondaryAction = std::move(action); }

    // The corner radius of the card the row stands at the foot of: its background follows
    // the card's two lower corners.
    void setCornerRadius(double radius);

    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* saveButton() const { return m_save; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void apply();
    double textScale() const;

    double m_progress = 1;
    double m_cornerRadius = 0;
    QPushButton* m_cancel;
    QPushButton* m_save;
    std::function<void()> m_primaryAction;
    std::function<void()> m_secondaryAction;
};

// The surface of a data-entry card in `widget`'s colours: the popover material in a
// continuous rounded rectangle, with the faint border just inside its edge, over `shadow`.
SurfaceLook dataEntrySurface(const QWidget* widget, double cornerRadius, const Shadow& shadow);

} // namespace tidemark
