#pragma once

#include "entry/ScrollEntry.hpp"
#include "platform/foundation/Date.hpp"
#include "platform/ui/Animator.hpp"
#include "toolkit/DropShadow.hpp"

#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QGraphicsOpacityEffect;

namespace tidemark {

class DataEntryControls;
class DateComponentsFormatter;
class FrameClock;
class TimeViewWidget;

// The scroll entry's card, drawn from its animation model: a capsule the size of the icon
// that grows with the scroll; from a width of 171 the reminder's time and title field enter
// from the trailing edge, from 230 the cancel-and-save row from the top (each in 0.1 s), on
// the popover material with the model's corner radius (a capsule while it is infinite) and a
// light shadow while the label shows. Each change of the model moves the card in the current
// transaction's animation; every change of the controls puts the focus into the title field.
// The widget leaves room for its shadow around the card.
class ScrollDataEntryWidget final : public QWidget {
    Q_OBJECT
public:
    using Model = ScrollDataEntryView::AnimationViewModel;

    // `clock`: the frame clock the card moves to (the program's when none).
    explicit ScrollDataEntryWidget(QWidget* parent = nullptr, FrameClock* clock = nullptr);
    ~ScrollDataEntryWidget() override;

    const Model& model() const { return m_model; }
    // Takes a new model and announces it (modelChanged).
    void setModel(const Model& model);

    void setTimes(Date startDate, TimeInterval timeInterval);
    void setTitle(const std::string& title);
    void setFormatter(std::shared_ptr<DateComponentsFormatter> formatter);
    void setPrimaryAction(std::function<void()> action);
    void setSecondaryAction(std::function<void()> action);
    // Every edit of the title, as typed.
    void setOnTitleEdited(std::function<void(const std::string&)> onTitleEdited);

    // The card's size for `model` with the present fonts and texts: the model's maximum
    // width, and its maximum height where the content is not smaller.
    Size sizeFor(const Model& model) const;
    // The card as it stands in this frame: its size and how far below its resting place.
    Size shownSize() const { return m_size.value(); }
    double shownTranslation() const { return m_translation.value(); }
    bool isAnimating() const;

    // Room on every side for the shadow: the card itself is the widget's rect less this.
    static int shadowMargin();

    TimeViewWidget* timeView() const { return m_timeView; }
    DataEntryControls* controls() const { return m_controls; }
    // Where the capsule, the label and the controls stand in the widget (empty when hidden).
    QRectF capsuleRect() const { return m_capsule; }
    QRect labelRect() const;
    QRect controlsRect() const;

Q_SIGNALS:
    void modelChanged();
    // The card moved or changed on screen: each frame of an animation and each jump.
    void shownChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void arrange();
    void frameMoved();

    Model m_model;
    TimeViewWidget* m_timeView;
    DataEntryControls* m_controls;
    QGraphicsOpacityEffect* m_labelOpacity;
    QGraphicsOpacityEffect* m_controlsOpacity;
    Animated<Size> m_size;
    Animated<double> m_translation;
    Animated<double> m_padding;
    Animated<double> m_label;
    Animated<double> m_controlsShown;
    Animated<double> m_shadow;
    std::vector<rx::Cancellable> m_frames;
    bool m_movePending = false;
    QRectF m_capsule;
    // The card's surface, stretched to its size in each frame it grows.
    SurfaceCanvas m_surface;
};

} // namespace tidemark
