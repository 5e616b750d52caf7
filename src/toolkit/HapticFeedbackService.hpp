#pragma once

namespace tidemark {

class HapticFeedbackPerformer;

// Plays the taps of time entry: one when the live time label of a pull appears or goes,
// one when the scroll entry's card is shown or hidden. `flag` remembers the last value that
// played (or would have played) a tap, shared by both, so a value that did not change plays
// nothing.
class HapticFeedbackService {
public:
    // Taps go to the process's default performer.
    HapticFeedbackService();
    // Taps go to `performer`, which must outlive the service.
    explicit HapticFeedbackService(HapticFeedbackPerformer& performer);
    virtual ~HapticFeedbackService() = default;

    bool flag() const { return m_flag; }
    void setFlag(bool flag) { m_flag = flag; }

    virtual void performAlignmentFeedback();
    virtual void performGenericFeedback();

private:
    HapticFeedbackPerformer* m_performer;
    bool m_flag = false;
};

} // namespace tidemark
