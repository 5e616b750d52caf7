#include "platform/haptics/HapticFeedbackPerformer.hpp"

namespace tidemark {

void HapticFeedbackPerformer::performFeedbackPattern(
    HapticFeedbackPattern pattern, HapticFeedbackPerformanceTime performanceTime)
{
    std::lock_guard lock(m_mutex);
    m_requests.push_back({ pattern, performanceTime, std::chrono::system_clock::now() });
}

std::vector<HapticFeedbackRequest> HapticFeedbackPerformer::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

void HapticFeedbackPerformer::clearRequests()
{
    std::lock_guard lock(m_mutex);
    m_requests.clear();
}

HapticFeedbackPerformer& HapticFeedbackManager::defaultPerformer()
{
    static HapticFeedbackPerformer performer;
    return performer;
}

} // namespace tidemark
