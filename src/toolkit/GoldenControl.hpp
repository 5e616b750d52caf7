#pragma once

#include "platform/foundation/Geometry.hpp"

#include <QWidget>

#include <functional>
#include <utility>

class QPushButton;

namespace tidemark {

// The widths of the two buttons of a GoldenControl `width` wide: the golden minor share for
// the cancelling button, the golden major share for the primary one; they add up to `width`.
std::pair<double, double> goldenControlWidths(double width);

namespace Popover {
// The size of the menu-bar popover's content: 230 wide, the golden-ratio multiple of that
// less 102 high (270.14782). Computed once.
const Size& contentSize();
} // namespace Popover

// A cancelling button and a primary one side by side, without spacing, sharing the width by
// the golden ratio; each label centred in its share. Borderless (flat) buttons. Pressing a
// button runs its action and nothing else.
class GoldenControl final : public QWidget {
    Q_OBJECT
public:
    GoldenControl(std::function<void()> cancellableAction, const QString& cancellableLabel,
        std::function<void()> primaryAction, const QString& primaryLabel,
        QWidget* parent = nullptr);

    QPushButton* cancellableButton() const { return m_cancellable; }
    QPushButton* primaryButton() const { return m_primary; }

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutButtons();

    QPushButton* m_cancellable;
    QPushButton* m_primary;
};

} // namespace tidemark
