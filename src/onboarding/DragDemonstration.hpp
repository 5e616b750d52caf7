#pragma once

#include "entry/ZevovozoStatus.hpp"
#include "platform/foundation/Animation.hpp"
#include "platform/foundation/Geometry.hpp"

#include <cstdint>
#include <functional>
#include <optional>

// The drag demonstration's picture and the loop that moves it: a pointer moves onto a copy of
// the menu-bar icon, the icon reacts to hovering, the pointer pulls the blob down, lets it
// go, and after a pause it all starts again.

namespace tidemark {

namespace DragDemonstrationTimings {
inline constexpr double initialDelay = 1.5; // the pause at the end of each pass
inline constexpr double moveMouseToIconDuration = 1.0;
inline constexpr double hoveringAfterDelay = 0.2;
inline constexpr double hoveringDuration = 1.0;
inline constexpr double translationDuration = 1.0;
inline constexpr double translationZeroDuration = 0.4;
inline constexpr double hideBlobDuration = 0.1;
// One whole pass.
inline constexpr double pass = moveMouseToIconDuration + hoveringAfterDelay + hoveringDuration
    + translationDuration + translationZeroDuration + hideBlobDuration + initialDelay;
} // namespace DragDemonstrationTimings

// What the demonstration shows; the view animates towards each new picture. `id` is the
// generation of the running pass: every restart makes a new one, and a pass that finds
// another id after a wait has been replaced and does nothing more.
struct DragInteractionDemoViewModel {
    static constexpr Size downwardsTranslation { 0, 50 };
    static constexpr Size upwardsTranslation { 0, 1 };

    std::uint64_t id = 0;
    // The icon's 16 × 16 content square in the demonstration's coordinates.
    Rect iconFrame;
    ZevovozoStatus zevovozoStatus = ZevovozoStatus::idle;
    double blobOpacity = 0;
    Point mouseCursorPosition;
    Size translation;
    // Handed to the time label; the loop never shows it.
    bool timeViewIsPresented = false;
    bool translationDistanceIsGreaterThanMinimum = false;

    bool operator==(const DragInteractionDemoViewModel&) const = default;

    void reset();
    // Resets, puts the pointer 50 below the icon's centre and starts a new generation.
    std::uint64_t restart();
    void moveCursorToIcon();
    void setStatus(ZevovozoStatus status) { zevovozoStatus = status; }
    void startDragging();
    void dragDown();
    void dragBackUp();
    void hideBlob() { blobOpacity = 0; }
};

// The steps of one pass, in order; after `rest` the pass begins again at `moveCursorToIcon`.
enum class DragDemonstrationStep {
    moveCursorToIcon,
    hover,
    drag,
    dragBackUp,
    hideBlob,
    rest,
};

// The one timer the loop waits on: a wait replaces the one before.
class DragDemonstrationTimer {
public:
    virtual ~DragDemonstrationTimer() = default;
    virtual void start(double seconds, std::function<void()> done) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

// The loop as a small state machine on one timer. Each step changes the picture in one or
// two transactions (handed to `onChange` with their animation, none for a jump) and then
// waits. A wait that ends for another generation than its own ends the pass; stopping
// cancels the wait. Nothing nests: a pass ends by starting the first step of the next.
class DragDemonstrationCycle {
public:
    using OnChange = std::function<void(
        const DragInteractionDemoViewModel& model, const std::optional<Animation>& animation)>;

    DragDemonstrationCycle(DragDemonstrationTimer& timer, OnChange onChange);

    const DragInteractionDemoViewModel& model() const { return m_model; }
    // The icon's square, measured by the view; it takes effect at the next step.
    void setIconFrame(const Rect& frame) { m_model.iconFrame = frame; }

    // The demonstration appeared (it plays then, whatever its playing flag says) or its
    // playing flag changed: a new generation from the reset picture, playing or not. A pass
    // already under way ends at its next wait.
    void playbackChanged(bool isPlaying);
    // The demonstration left the screen: the wait is cancelled, the picture stays.
    void stop();

    bool isRunning() const { return m_running.has_value(); }
    // The step whose wait is under way.
    std::optional<DragDemonstrationStep> step() const
    {
        return m_running ? std::optional(m_step) : std::nullopt;
    }

    // The animation each step's transaction moves with.
    static const Animation& hoverSpring();

private:
    void run(DragDemonstrationStep step);
    void waitThen(double seconds, DragDemonstrationStep next);
    void change(const std::optional<Animation>& animation);

    DragDemonstrationTimer& m_timer;
    OnChange m_onChange;
    DragInteractionDemoViewModel m_model;
    // The generation the pass under way belongs to.
    std::optional<std::uint64_t> m_running;
    DragDemonstrationStep m_step = DragDemonstrationStep::moveCursorToIcon;
};

} // namespace tidemark
