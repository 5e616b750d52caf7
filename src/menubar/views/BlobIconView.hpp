#pragma once

#include "entry/BlobIcon.hpp"
#include "menubar/BlobIconViewModel.hpp"
#include "platform/ui/Animator.hpp"

#include <QColor>
#include <QWidget>

#include <functional>
#include <vector>

class QPainter;

namespace tidemark {

// Draws one look of the blob icon in `area`: the two dots and the bar between them in
// `tint`, and the centre dot over them with its black shadow.
void paintBlobIcon(
    QPainter& painter, const QRectF& area, const BlobIcon::State& state, const QColor& tint);

// The blob icon's look on screen: the view model's steps played on the frame clock. Every
// number of the look moves on its own animated value, so a step that changes some fields
// leaves the motions of the others alone; the colour the icon is tinted with moves too.
class AnimatedBlobIcon {
public:
    explicit AnimatedBlobIcon(FrameClock* clock = nullptr);

    BlobIconViewModel& model() { return m_model; }
    const BlobIconViewModel& model() const { return m_model; }

    // Plays the model's steps for a status, a preset switch or anything else that gives
    // steps.
    void play(const std::vector<BlobIconViewModel::Step>& steps);
    void update(ZevovozoStatus status)
    {
        play(m_model.update(status, BlobIconViewModel::animation()));
    }
    void setLarge(bool isLarge) { play(m_model.setLarge(isLarge)); }
    // Rests at the model's look at once.
    void jump();

    // The look as it stands in this frame (a dot offset that is computed from the area is
    // resolved for an area `height` high).
    BlobIcon::State shown(double height) const;
    // Whether the accent colour tints the shown look (0 not at all, 1 fully).
    double accent() const { return m_accent.value(); }
    bool isAnimating() const;

    // Called with every value written.
    void setOnFrame(std::function<void()> onFrame) { m_onFrame = std::move(onFrame); }

private:
    void moved();

    BlobIconViewModel m_model;
    Animated<double> m_barWidth;
    Animated<double> m_diameter;
    Animated<double> m_mergedOffset; // 1: the dots merged at the centre, 0: at rest
    Animated<double> m_centerCircle;
    Animated<double> m_cornerRadius; // infinity stands as 1000
    Animated<double> m_padding;
    Animated<double> m_shadowOpacity;
    Animated<double> m_background;
    Animated<double> m_accent;
    std::vector<rx::Cancellable> m_tokens;
    std::function<void()> m_onFrame;
};

// A blob icon on its own, 16 × 16, tinted with the text colour (the accent when active).
class BlobIconView final : public QWidget {
    Q_OBJECT
public:
    explicit BlobIconView(QWidget* parent = nullptr);

    AnimatedBlobIcon& icon() { return m_icon; }
    QSize sizeHint() const override { return { 16, 16 }; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    AnimatedBlobIcon m_icon;
};

} // namespace tidemark
