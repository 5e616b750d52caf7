#pragma once

#include <chrono>
#include <mutex>
#include <vector>

namespace tidemark {

// The kind of tap asked for.
enum class HapticFeedbackPattern {
    generic = 0,
    alignment = 1,
    levelChange = 2,
};

// When the tap should be felt.
enum class HapticFeedbackPerformanceTime {
    // As the system sees fit.
    defaultTime = 0,
    now = 1,
    drawCompleted = 2,
};

struct HapticFeedbackRequest {
    HapticFeedbackPattern pattern = HapticFeedbackPattern::generic;
    HapticFeedbackPerformanceTime performanceTime = HapticFeedbackPerformanceTime::defaultTime;
    std::chrono::system_clock::time_point requestedAt;

    // Requests compare by what was asked for, not by when.
    bool operator==(const HapticFeedbackRequest& other) const
    {
        return pattern == other.pattern && performanceTime == other.performanceTime;
    }
};

// Plays haptic taps. Linux desktops have no haptic trackpads to drive, so a tap is felt
// nowhere; the performer keeps every request so that tests (and a debug view) can see what
// the application asked for.
class HapticFeedbackPerformer {
public:
    virtual ~HapticFeedbackPerformer() = default;

    virtual void performFeedbackPattern(
        HapticFeedbackPattern pattern, HapticFeedbackPerformanceTime performanceTime);

    // Every request since the last clear, oldest first.
    std::vector<HapticFeedbackRequest> requests() const;
    void clearRequests();

private:
    mutable std::mutex m_mutex;
    std::vector<HapticFeedbackRequest> m_requests;
};

struct HapticFeedbackManager {
    // The performer of the process.
    static HapticFeedbackPerformer& defaultPerformer();
};

} // namespace tidemark
