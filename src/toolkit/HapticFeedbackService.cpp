#include "toolkit/HapticFeedbackService.hpp"

#include "platform/haptics/HapticFeedbackPerformer.hpp"

namespace tidemark {

HapticFeedbackService::HapticFeedbackService()
    : m_performer(&HapticFeedbackManager::defaultPerformer())
{
}

HapticFeedbackService::HapticFeedbackService(HapticFeedbackPerformer& performer)
    : m_performer(&performer)
{
}

void HapticFeedbackService::performAlignmentFeedback()
{
    m_performer->performFeedbackPattern(
        HapticFeedbackPattern::alignment, HapticFeedbackPerformanceTime::defaultTime);
}

void HapticFeedbackService::performGenericFeedback()
{
    m_performer->performFeedbackPattern(
        HapticFeedbackPattern::generic, HapticFeedbackPerformanceTime::defaultTime);
}

} // namespace tidemark
