#pragma once

#include <QWidget>

namespace tidemark {

// What the popover shows when it has no reminder to list: how a reminder is set, by pulling
// down from the status icon. The moving demonstration belongs to the onboarding; until it
// comes, this is a still picture of the pull, which takes `isPlaying` all the same.
class PopoverEmptyView final : public QWidget {
public:
    explicit PopoverEmptyView(QWidget* parent = nullptr);

    bool isPlaying() const { return m_isPlaying; }
    void setPlaying(bool isPlaying);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_isPlaying = false;
};

} // namespace tidemark
