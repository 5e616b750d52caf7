#pragma once

#include <QWidget>

#include <functional>

namespace tidemark {

// The animated demonstration the empty view shows, and how to tell it whether to play.
struct PopoverEmptyDemonstration {
    QWidget* view = nullptr;
    std::function<void(bool isPlaying)> setPlaying;
};
using PopoverEmptyDemonstrationFactory = std::function<PopoverEmptyDemonstration(bool isPlaying)>;

// The demonstration lives with the onboarding, which builds on these views; the application
// hands its maker in at start-up. Without one the empty view stays blank.
void setPopoverEmptyDemonstrationFactory(PopoverEmptyDemonstrationFactory factory);

// What the popover shows when it has no reminder to list: the demonstration of how a
// reminder is set, by pulling down from the status icon, and nothing else.
class PopoverEmptyView final : public QWidget {
public:
    explicit PopoverEmptyView(QWidget* parent = nullptr);

    bool isPlaying() const { return m_isPlaying; }
    void setPlaying(bool isPlaying);
    QWidget* demonstration() const { return m_demonstration.view; }

    QSize sizeHint() const override;

private:
    bool m_isPlaying = false;
    PopoverEmptyDemonstration m_demonstration;
};

} // namespace tidemark
