#include "onboarding/DragDemonstration.hpp"

namespace tidemark {

namespace T = DragDemonstrationTimings;

void DragInteractionDemoViewModel::reset()
{
    zevovozoStatus = ZevovozoStatus::idle;
    blobOpacity = 0;
    mouseCursorPosition = {};
    translation = {};
}

std::uint64_t DragInteractionDemoViewModel::restart()
{
    reset();
    mouseCursorPosition
        = iconFrame.center().offsetBy(downwardsTranslation.width, downwardsTranslation.height);
    return ++id;
}

void DragInteractionDemoViewModel::moveCursorToIcon()
{
    mouseCursorPosition = iconFrame.center();
    translation = {};
}

void DragInteractionDemoViewModel::startDragging()
{
    zevovozoStatus = ZevovozoStatus::dragging;
    blobOpacity = 1;
}

void DragInteractionDemoViewModel::dragDown()
{
    translation = downwardsTranslation;
    mouseCursorPosition
        = mouseCursorPosition.offsetBy(downwardsTranslation.width, downwardsTranslation.height);
}

void DragInteractionDemoViewModel::dragBackUp()
{
    translation = upwardsTranslation;
    zevovozoStatus = ZevovozoStatus::hovering;
}

DragDemonstrationCycle::DragDemonstrationCycle(DragDemonstrationTimer& timer, OnChange onChange)
    : m_timer(timer)
    , m_onChange(std::move(onChange))
{
}

const Animation& DragDemonstrationCycle::hoverSpring()
{
    static const Animation spring = Animation::spring(0.45, 0.775, 0);
    return spring;
}

void DragDemonstrationCycle::playbackChanged(bool isPlaying)
{
    const std::uint64_t id = m_model.restart();
    change(std::nullopt);
    if (!isPlaying) {
        // Nothing is left to wait for: the timer stops rather than waking up for nothing.
        m_running.reset();
        m_timer.stop();
        return;
    }
    m_running = id;
    run(DragDemonstrationStep::moveCursorToIcon);
}

void DragDemonstrationCycle::stop()
{
    m_running.reset();
    m_timer.stop();
}

void DragDemonstrationCycle::change(const std::optional<Animation>& animation)
{
    if (m_onChange)
        m_onChange(m_model, animation);
}

void DragDemonstrationCycle::run(DragDemonstrationStep step)
{
    using S = DragDemonstrationStep;
    m_step = step;
    switch (step) {
    case S::moveCursorToIcon:
        m_model.moveCursorToIcon();
        change(Animation::easeInOut(T::moveMouseToIconDuration));
        return waitThen(T::moveMouseToIconDuration + T::hoveringAfterDelay, S::hover);
    case S::hover:
        m_model.setStatus(ZevovozoStatus::hovering);
        change(hoverSpring());
        return waitThen(T::hoveringDuration, S::drag);
    case S::drag:
        m_model.startDragging();
        change(Animation::defaultAnimation());
        m_model.dragDown();
        change(Animation::easeInOut(T::translationDuration));
        return waitThen(T::translationDuration, S::dragBackUp);
    case S::dragBackUp:
        m_model.dragBackUp();
        change(Animation::easeInOut(T::translationZeroDuration));
        return waitThen(T::translationZeroDuration, S::hideBlob);
    case S::hideBlob:
        m_model.hideBlob();
        change(std::nullopt);
        return waitThen(T::hideBlobDuration, S::rest);
    case S::rest:
        m_model.setStatus(ZevovozoStatus::idle);
        change(hoverSpring());
        return waitThen(T::initialDelay, S::moveCursorToIcon);
    }
}

void DragDemonstrationCycle::waitThen(double seconds, DragDemonstrationStep next)
{
    if (!m_running)
        return;
    const std::uint64_t id = *m_running;
    m_timer.start(seconds, [this, id, next] {
        // A wait of a replaced or stopped pass ends it.
        if (m_running != id || m_model.id != id)
            return;
        run(next);
    });
}

} // namespace tidemark
