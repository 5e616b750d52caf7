#include "menubar/BlobIconViewModel.hpp"

#include "menubar/StatusItemState.hpp"

#include <limits>

namespace tidemark {

namespace {

constexpr double beat = 0.1;

} // namespace

BlobIconViewModel::BlobIconViewModel()
    : m_state(BlobIcon::State::large())
    , m_initial(BlobIcon::State::large())
{
}

const Animation& BlobIconViewModel::animation()
{
    static const Animation spring = Animation::spring(0.4, 0.5, 0.25);
    return spring;
}

std::vector<BlobIconViewModel::Step> BlobIconViewModel::setLarge(bool isLarge)
{
    if (isLarge == m_isLarge)
        return {};
    m_isLarge = isLarge;
    const BlobIcon::State& preset = isLarge ? BlobIcon::State::large() : BlobIcon::State::small();
    m_state = preset;
    m_initial = preset;
    return { { animation(), m_state } };
}

std::vector<BlobIconViewModel::Step> BlobIconViewModel::update(
    ZevovozoStatus status, const Animation& animation)
{
    std::vector<Step> steps;
    if (isResting(status)) {
        m_state.centerCircleLength = m_initial.centerCircleLength;
        m_state.shadowOpacity = m_initial.shadowOpacity;
        steps.push_back({ animation, m_state });
        m_state.cornerRadius = m_initial.cornerRadius;
        m_state.tintColor = m_initial.tintColor;
        m_state.circle.yOffset = m_initial.circle.yOffset;
        m_state.circle.diameter = m_initial.circle.diameter;
        steps.push_back({ animation.delayed(beat), m_state });
        return steps;
    }
    m_state.circle.yOffset = 0.0;
    m_state.circle.diameter = m_state.circle.mergedDiameter;
    m_state.cornerRadius = std::numeric_limits<double>::infinity();
    m_state.tintColor = BlobIcon::Tint::accent;
    steps.push_back({ animation, m_state });
    m_state.centerCircleLength = 16;
    m_state.shadowOpacity = 0.4;
    steps.push_back({ animation.delayed(beat), m_state });
    if (status == ZevovozoStatus::dragging) {
        m_state.centerCircleLength = 8;
        steps.push_back({ animation.delayed(beat), m_state });
    }
    return steps;
}

} // namespace tidemark
